#pragma once

#include <windows.h>

namespace lomi {

// While it lives, asking a drive without a medium (a card reader, a disc
// drive) fails quietly on this thread instead of making Windows show its
// own "insert a disk" box.
class NoCriticalErrorBoxes {
public:
    NoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~NoCriticalErrorBoxes() { SetThreadErrorMode(previous_, nullptr); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;

private:
    DWORD previous_ = 0;
};

}  // namespace lomi
