#pragma once

#include <windows.h>

// Made around every ask of a drive: while it lives, its thread has Windows'
// critical-error box off, so a drive without a medium (an empty card reader or
// CD drive) answers with an error, never a box asking to insert a disk.
class NoCriticalErrorBox {
public:
    NoCriticalErrorBox() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous); }
    ~NoCriticalErrorBox() { SetThreadErrorMode(m_previous, nullptr); }
    NoCriticalErrorBox(const NoCriticalErrorBox&) = delete;
    NoCriticalErrorBox& operator=(const NoCriticalErrorBox&) = delete;

private:
    DWORD m_previous = 0;
};
