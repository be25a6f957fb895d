#pragma once

namespace lomi {

// Gives the calling thread a table of open files of its own, so that
// threads that each open and close many files do not contend for the one
// table of the process (its lock and its bitmap of free numbers). For
// threads started for such work and ended with it: files the thread opens
// are not seen by the others, and those open before the call stay open for
// it until it ends. Does nothing where the platform has no such table of a
// thread. Platform files: thread_files_posix.cpp, thread_files_win.cpp.
void UseOwnFileTable();

}  // namespace lomi
