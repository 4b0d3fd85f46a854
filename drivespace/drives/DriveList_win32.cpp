#include "drivespace/drives/DriveList.h"

#include "common/WideText_win32.h"
#include "drivespace/asker/NoCriticalErrorBox_win32.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ThreadTransport.h"

#include <windows.h>
#include <winnetwk.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace {

// How long the list waits for the drives' names, all asked at once.
constexpr std::chrono::milliseconds NameWait{250};

// The name the list shows after a drive's letter. Every call here may block on
// a dead drive (a network drive for the network's time-out), so it runs on a
// worker thread of the drive asker, never on the window's.
std::string driveNameOf(const std::string& rootPath)
{
    const NoCriticalErrorBox quiet;
    const std::wstring root = WideText::fromUtf8(rootPath);
    const UINT type = GetDriveTypeW(root.c_str());
    // Labels are asked only of drives that answer at once: fixed, RAM and
    // removable ones, except floppy drives (A:, B:), which spin up first as optical drives do.
    const bool labelIsCheap =
        type == DRIVE_FIXED || type == DRIVE_RAMDISK || (type == DRIVE_REMOVABLE && root[0] != L'A' && root[0] != L'B');
    wchar_t name[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH + 1;
    bool named = false;
    if (type == DRIVE_REMOTE) // the share ("\\server\share"), also while the connection is down
        named = WNetGetConnectionW(root.substr(0, 2).c_str(), name, &size) == NO_ERROR;
    else if (labelIsCheap)
        named = GetVolumeInformationW(root.c_str(), name, size, nullptr, nullptr, nullptr, nullptr, 0) != 0;
    return named ? WideText::toUtf8(name) : std::string();
}

// "c: [SYSTEM]", or "c:" for a drive without a name.
std::string entryText(const std::string& rootPath, const std::string& name)
{
    std::string text{static_cast<char>(rootPath[0] - 'A' + 'a'), ':'};
    if (!name.empty())
        text += " [" + name + "]";
    return text;
}

// One building of the list: the names it still waits for. Once it has stopped
// waiting, a name that comes goes to the list's late receiver.
class NameBatch {
public:
    NameBatch(DriveList::LateDriveText late, const std::vector<std::string>& roots)
        : m_late(std::move(late)), m_pending(roots.begin(), roots.end())
    {}

    void answered(const std::string& rootPath, const std::string& name)
    {
        std::unique_lock lock(m_mutex);
        if (!m_closed) {
            m_pending.erase(rootPath);
            m_names[rootPath] = name;
            m_done.notify_all();
            return;
        }
        lock.unlock();
        if (m_late && !name.empty())
            m_late(rootPath, entryText(rootPath, name));
    }
    // The names in by the wait's end; the rest come late.
    [[nodiscard]] std::map<std::string, std::string> wait(std::chrono::milliseconds most)
    {
        std::unique_lock lock(m_mutex);
        m_done.wait_for(lock, most, [this] { return m_pending.empty(); });
        m_closed = true;
        return m_names;
    }

private:
    DriveList::LateDriveText m_late;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::set<std::string> m_pending;
    std::map<std::string, std::string> m_names;
    bool m_closed = false;
};

} // namespace

namespace DriveList {

std::vector<DriveEntry> ListDrives(const LateDriveText& late)
{
    // GetLogicalDrives asks no drive: the letters are had at once.
    std::vector<std::string> roots;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (drives & (DWORD{1} << i))
            roots.push_back(std::string{static_cast<char>('A' + i), ':', '\\'});
    }
    // The names, asked all at once under the drive asker's rule; a drive that
    // has no name, cannot be asked or is stuck past the deadline answers "".
    // Kept for the process's life: destroyed at exit, it would wake its
    // threads while the process is being torn down.
    static auto& rule = *new OneQueryPerPath<std::string>(
        std::make_shared<ThreadTransport<std::string>>(
            [](std::string& name, const std::string& rootPath) { name = driveNameOf(rootPath); },
            std::chrono::seconds(30)),
        {});
    const auto batch = std::make_shared<NameBatch>(late, roots);
    for (const std::string& root : roots) {
        const auto answered = [batch, root](const std::string& name) { batch->answered(root, name); };
        std::string name;
        if (rule.ask(name, root, std::chrono::milliseconds(0), answered))
            answered(name);
    }
    const std::map<std::string, std::string> names = batch->wait(NameWait);
    std::vector<DriveEntry> entries;
    for (const std::string& root : roots) {
        const auto found = names.find(root);
        entries.push_back({entryText(root, found == names.end() ? std::string() : found->second), root});
    }
    return entries;
}

} // namespace DriveList
