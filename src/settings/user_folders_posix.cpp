#include "settings/user_folders.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace lomi {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::string UserConfigFolder() {
    // A relative $XDG_CONFIG_HOME is invalid and ignored, as the base
    // directory rules ask.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.config";
}

std::string ProgramCacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return std::string(cache) + "/lomi";
    const std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.cache/lomi";
}

bool MayWrite(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

}  // namespace lomi
