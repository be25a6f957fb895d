#pragma once

#include <windows.h>

#include <cstdint>

namespace lomi {

// A Windows file time (100-nanosecond ticks since 1601) in the unit of
// FileStamp: nanoseconds since 1970.
inline std::int64_t FileTimeNanoseconds(const FILETIME& time) {
    constexpr std::int64_t kTicksTo1970 = 116'444'736'000'000'000;
    const std::int64_t ticks = static_cast<std::int64_t>(
        static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    return (ticks - kTicksTo1970) * 100;
}

}  // namespace lomi
