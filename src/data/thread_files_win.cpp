#include "data/thread_files.h"

namespace lomi {

// Windows keeps one handle table per process.
void UseOwnFileTable() {}

}  // namespace lomi
