#pragma once

#include <cstddef>
#include <optional>

namespace lomi::bench {

// Resident memory of this process in bytes, or nothing when the platform
// does not tell. Platform files: machine_info_posix.cpp, machine_info_win.cpp.
std::optional<std::size_t> ResidentBytes();

// The highest resident memory of this process since it started or since
// the last ResetPeakResident (where the platform allows a reset), in bytes.
std::optional<std::size_t> PeakResidentBytes();
void ResetPeakResident();

// The one-minute load average of the machine, or nothing when unknown: the
// figures of a busy machine are read with it in mind.
std::optional<double> LoadAverage();

// Processor time (user and system) this process has used, in milliseconds.
double ProcessorMilliseconds();

}  // namespace lomi::bench
