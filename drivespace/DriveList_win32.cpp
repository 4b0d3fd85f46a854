#include "drivespace/DriveList.h"

#include "common/WideText_win32.h"

#include <windows.h>
#include <winnetwk.h>

#include <string>

namespace {

// The volume label of a local drive that holds a medium; empty when it has none
// or cannot be read.
std::string volumeLabelOf(const std::wstring& root)
{
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return WideText::toUtf8(label);
}

// The share a network drive is connected to ("\\server\share"), also while the
// connection is down.
std::string remoteNameOf(const std::wstring& deviceName)
{
    wchar_t remote[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH + 1;
    if (WNetGetConnectionW(deviceName.c_str(), remote, &size) != NO_ERROR)
        return {};
    return WideText::toUtf8(remote);
}

// Whether the label may be asked for without a wait: fixed disks and RAM disks
// always answer at once; removable drives do except for floppy drives (A: and
// B:), which spin up first. Optical drives are left out for the same reason.
bool labelIsCheap(UINT type, wchar_t letter)
{
    switch (type) {
    case DRIVE_FIXED:
    case DRIVE_RAMDISK:
        return true;
    case DRIVE_REMOVABLE:
        return letter != L'A' && letter != L'B';
    default:
        return false;
    }
}

} // namespace

namespace DriveList {

std::vector<DriveEntry> ListDrives()
{
    // An empty card reader or floppy drive must answer with an error, not with a
    // system dialog asking for a disk.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);

    std::vector<DriveEntry> entries;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (DWORD{1} << i)))
            continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const std::wstring root = std::wstring(1, letter) + L":\\";
        const UINT type = GetDriveTypeW(root.c_str());

        std::string name;
        if (type == DRIVE_REMOTE)
            name = remoteNameOf(root.substr(0, 2));
        else if (labelIsCheap(type, letter))
            name = volumeLabelOf(root);

        std::string text{static_cast<char>('a' + i), ':'};
        if (!name.empty())
            text += " [" + name + "]";
        entries.push_back({std::move(text), std::string{static_cast<char>('A' + i), ':', '\\'}});
    }

    SetThreadErrorMode(previousMode, nullptr);
    return entries;
}

} // namespace DriveList
