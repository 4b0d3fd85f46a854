#include "drivespace/CurrentDirectory.h"

#include "common/WideText_win32.h"

#include <windows.h>

std::string currentDirectory()
{
    std::wstring directory(MAX_PATH + 1, L'\0');
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    if (length >= directory.size()) {
        directory.resize(length);
        length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    }
    directory.resize(length < directory.size() ? length : 0);
    return WideText::toUtf8(directory);
}
