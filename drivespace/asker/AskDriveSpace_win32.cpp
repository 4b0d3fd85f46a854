#include "drivespace/asker/AskDriveSpace_win32.h"

#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/NoCriticalErrorBox_win32.h"
#include "drivespace/asker/TimedDriveQuery.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <set>
#include <utility>

namespace {

// The drives found to be fixed local disks. Asking a drive's type can itself
// block on a dead network drive, so it is asked on the worker thread, with the
// drive's first query.
struct FixedDrives {
    std::mutex mutex;
    std::set<std::string, std::less<>> paths;

    [[nodiscard]] bool contains(const std::string& rootPath)
    {
        const std::lock_guard guard(mutex);
        return paths.contains(rootPath);
    }
    void note(const std::string& rootPath, bool fixed)
    {
        const std::lock_guard guard(mutex);
        if (fixed)
            paths.insert(rootPath);
        else
            paths.erase(rootPath);
    }
};

} // namespace

AskDriveSpace driveSpaceAskerOver(AnswerQuery query)
{
    auto fixed = std::make_shared<FixedDrives>();
    auto workers =
        std::make_shared<TimedDriveQuery>([fixed, query](DriveAnswer& answer, const std::string& rootPath) {
            const NoCriticalErrorBox quiet;
            const std::wstring widePath(rootPath.begin(), rootPath.end());
            fixed->note(rootPath, GetDriveTypeW(widePath.c_str()) == DRIVE_FIXED);
            query(answer, rootPath);
        });
    return [fixed, workers, query](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                                   LateDriveAnswer late) {
        if (!fixed->contains(rootPath))
            return workers->ask(answer, rootPath, wait, std::move(late));
        const NoCriticalErrorBox quiet;
        query(answer, rootPath);
        if (answer.capacity == FailureValue)
            fixed->note(rootPath, false); // gone or changed: the next ask decides again
        return true;
    };
}

// A Windows process can always be ended, whatever its threads wait for.
AskDriveSpace platformDriveSpaceAsker()
{
    return driveSpaceAskerOver([](DriveAnswer& answer, const std::string& rootPath) {
        GetDiskSpace::QueryDriveSpace(answer, rootPath);
    });
}
