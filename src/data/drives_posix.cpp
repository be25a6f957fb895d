#include "data/drives.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace lomi {
namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

}  // namespace

std::vector<Volume> ListVolumes() {
    std::ifstream in("/proc/self/mountinfo", std::ios::binary);
    std::ostringstream table;
    if (in) table << in.rdbuf();
    return VolumesFromMountInfo(table.str(), HomeFolder());
}

}  // namespace lomi
