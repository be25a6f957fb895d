#include "machine_info.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace lomi::bench {

std::optional<std::size_t> ResidentBytes() {
    // Linux: the second figure of statm is the resident page count.
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) return std::nullopt;
    unsigned long size = 0;
    unsigned long resident = 0;
    const int read = std::fscanf(file, "%lu %lu", &size, &resident);
    std::fclose(file);
    if (read != 2) return std::nullopt;
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::optional<std::size_t> PeakResidentBytes() {
    // Linux: VmHWM of status, in kB.
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (file == nullptr) return std::nullopt;
    char line[256];
    std::optional<std::size_t> peak;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        unsigned long kb = 0;
        if (std::sscanf(line, "VmHWM: %lu kB", &kb) == 1)
            peak = static_cast<std::size_t>(kb) * 1024;
    }
    std::fclose(file);
    return peak;
}

void ResetPeakResident() {
    // Linux: 5 in clear_refs sets the peak back to the present resident size.
    if (std::FILE* file = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", file);
        std::fclose(file);
    }
}

std::optional<double> LoadAverage() {
    double load[1] = {};
    if (getloadavg(load, 1) != 1) return std::nullopt;
    return load[0];
}

double ProcessorMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace lomi::bench
