#include "settings/ini.h"

#include "settings/executable_folder.h"

namespace lomi {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

}  // namespace

std::string IniFilePathIn(const std::string& folder) { return PathIn(folder, "Lomi.ini"); }

std::string PathIn(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += kSeparator;
    return path + name;
}

}  // namespace lomi
