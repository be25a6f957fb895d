#pragma once

#include <sys/stat.h>

#include "data/cache_files.h"

namespace lomi {

// The stamp of a file as stat or fstat describe it.
inline FileStamp StampOf(const struct stat& info) {
    return FileStamp{
        static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

}  // namespace lomi
