#pragma once

#include <windows.h>

// While it lives, the thread that made it asks drives with Windows'
// critical-error box turned off: a drive without a medium (an empty card
// reader or CD drive) answers with an error, never with a box asking the user
// to insert a disk. Made on every thread that asks a drive, around the asking.
class NoCriticalErrorBox {
public:
    NoCriticalErrorBox() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous); }
    ~NoCriticalErrorBox() { SetThreadErrorMode(m_previous, nullptr); }
    NoCriticalErrorBox(const NoCriticalErrorBox&) = delete;
    NoCriticalErrorBox& operator=(const NoCriticalErrorBox&) = delete;

private:
    DWORD m_previous = 0;
};
