#include "data/thread_files.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace lomi {

void UseOwnFileTable() {
#if defined(__linux__) && !defined(__SANITIZE_THREAD__)
    // (Not under ThreadSanitizer, which keeps one table of descriptors for
    // the whole process: two threads each with their own descriptor 3 would
    // look to it like a race.)
    // Where it fails (memory running out, a sandbox that forbids the call),
    // the shared table serves as before.
    unshare(CLONE_FILES);
#endif
}

}  // namespace lomi
