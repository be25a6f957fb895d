#pragma once

#include <string>

namespace lomi {

// A Windows private-profile ("INI") file in code page 932, read and written
// the way GetPrivateProfileStringA / WritePrivateProfileStringA do. Section,
// key and value texts are UTF-8; path is a UTF-8 file name.

// The value, cut to 254 bytes of code page 932; "" when the file, section
// or key is missing.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key);

struct WriteResult {
    bool ok = true;
    std::string message;  // Japanese, names the file, when !ok
};

// Replaces or adds the key, keeping every other line byte for byte. The
// file is written anew beside the old one and renamed over it, so a crash
// leaves either the old or the new file whole.
WriteResult WriteProfileString(const std::string& path, const std::string& section,
                               const std::string& key, const std::string& value);

}  // namespace lomi
