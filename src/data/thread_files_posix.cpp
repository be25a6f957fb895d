#include "data/thread_files.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace lomi {

void UseOwnFileTable() {
#if defined(__linux__)
    // Where it fails (memory running out, a sandbox that forbids the call),
    // the shared table serves as before.
    unshare(CLONE_FILES);
#endif
}

}  // namespace lomi
