#include "data/thread_files.h"

#if defined(__linux__)
#include <sched.h>
#endif

namespace lomi {

void UseOwnFileTable() {
#if defined(__linux__)
    // Fails only when memory runs out; the shared table then serves as before.
    unshare(CLONE_FILES);
#endif
}

}  // namespace lomi
