#pragma once

#include <string>
#include <vector>

namespace lomi {

// A Windows private-profile ("INI") file in code page 932, read and written
// the way the narrow Windows profile functions do (rules in
// profile_text.h). Section, key and value texts are UTF-8; path is a UTF-8
// file name.

// The value, cut to 254 bytes of code page 932 and before any NUL; "" when
// the file, section or key is missing or the file cannot be read.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key);

struct ProfileEntry {
    std::string key;
    std::string value;
};

struct WriteResult {
    // The file was written (or already held every value); false when it
    // could not be read or replaced, and then message, in Japanese, names
    // the file and the reason.
    bool ok = true;
    std::string message;
    // Keys left as they were in the file because a reader would not get
    // the value back: a character code page 932 lacks, a line break or NUL,
    // or more than 254 bytes.
    std::vector<std::string> keptKeys;
};

// Replaces or adds the key, keeping every other line byte for byte; a key
// that already reads as value is left as it stands. The
// file is written anew beside the old one and renamed over it, so a crash
// leaves either the old or the new file whole.
WriteResult WriteProfileString(const std::string& path, const std::string& section,
                               const std::string& key, const std::string& value);

// The same as writing the entries one after another with
// WriteProfileString, in one rewrite of the file.
WriteResult WriteProfileStrings(const std::string& path, const std::string& section,
                                const std::vector<ProfileEntry>& entries);

}  // namespace lomi
