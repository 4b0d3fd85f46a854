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

// The name the list shows after a drive's letter. Every call here may block on
// a dead drive (a network drive for the network's time-out), so it runs on a
// worker thread of the drive asker, never on the window's.
std::string driveNameOf(const std::string& rootPath)
{
    const NoCriticalErrorBox quiet;
    const std::wstring root = WideText::fromUtf8(rootPath);
    const UINT type = GetDriveTypeW(root.c_str());
    if (type == DRIVE_REMOTE)
        return remoteNameOf(root.substr(0, 2));
    return labelIsCheap(type, root[0]) ? volumeLabelOf(root) : std::string();
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
    explicit NameBatch(DriveList::LateDriveText late) : m_late(std::move(late)) {}

    void expect(const std::string& rootPath)
    {
        const std::lock_guard guard(m_mutex);
        m_pending.insert(rootPath);
    }
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

// The drives' names asked under the drive asker's rule: one question out per
// drive, on a thread of its own, and a drive still not answering after the
// deadline not asked again until it has answered. A drive that has no name or
// cannot be asked answers "".
class NameAsker {
public:
    // Asks every drive at once; each is in the batch's names, pending in it, or
    // (not answering since before the deadline) without a name.
    void askAll(const std::vector<std::string>& roots, const std::shared_ptr<NameBatch>& batch)
    {
        for (const std::string& root : roots) {
            batch->expect(root);
            const auto late = [batch, root](const std::string& name) { batch->answered(root, name); };
            std::string name;
            if (m_rule.ask(name, root, std::chrono::milliseconds(0), late))
                late(name);
        }
    }

private:
    OneQueryPerPath<std::string> m_rule{
        std::make_shared<ThreadTransport<std::string>>(
            [](std::string& name, const std::string& rootPath) { name = driveNameOf(rootPath); },
            std::chrono::seconds(30)),
        {}};
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
    // Kept for the process's life: destroyed at exit, it would wake its
    // threads while the process is being torn down.
    static NameAsker& asker = *new NameAsker;
    const auto batch = std::make_shared<NameBatch>(late);
    asker.askAll(roots, batch);
    const std::map<std::string, std::string> names = batch->wait(NameWait);

    std::vector<DriveEntry> entries;
    for (const std::string& root : roots) {
        const auto found = names.find(root);
        entries.push_back({entryText(root, found == names.end() ? std::string() : found->second), root});
    }
    return entries;
}

} // namespace DriveList
