#include "machine_info.h"

#include <psapi.h>
#include <windows.h>

namespace lomi::bench {

std::optional<std::size_t> ResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
    return static_cast<std::size_t>(counters.WorkingSetSize);
}

std::optional<std::size_t> PeakResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
    return static_cast<std::size_t>(counters.PeakWorkingSetSize);
}

// Windows keeps the peak for the life of the process.
void ResetPeakResident() {}

std::optional<double> LoadAverage() { return std::nullopt; }

double ProcessorMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ms = [](const FILETIME& t) {
        ULARGE_INTEGER v;
        v.LowPart = t.dwLowDateTime;
        v.HighPart = t.dwHighDateTime;
        return static_cast<double>(v.QuadPart) / 10000.0;  // 100 ns units
    };
    return ms(kernel) + ms(user);
}

}  // namespace lomi::bench
