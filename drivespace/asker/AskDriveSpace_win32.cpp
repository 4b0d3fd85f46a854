#include "drivespace/asker/AskDriveSpace_win32.h"

#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/NoCriticalErrorBox_win32.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ThreadTransport.h"

#include <memory>
#include <utility>

namespace {

using namespace std::chrono_literals;

// A worker not asked for this long ends; the next ask of its drive starts one.
constexpr auto IdleWorkerLife = 30s;

} // namespace

// Every drive is asked on a worker thread of its own, the caller waiting no
// longer than it asked to. A call that never returns cannot be abandoned, and
// any drive may stop answering while shown: a fixed one too (a USB or iSCSI
// disk; under wine every drive letter counts as fixed).
AskDriveSpace driveSpaceAskerOver(AnswerQuery query)
{
    auto threads = std::make_shared<ThreadTransport<DriveAnswer>>(
        [query = std::move(query)](DriveAnswer& answer, const std::string& rootPath) {
            const NoCriticalErrorBox quiet;
            query(answer, rootPath);
        },
        IdleWorkerLife);
    auto rule =
        std::make_shared<OneQueryPerPath<DriveAnswer>>(std::move(threads), OneQueryPerPath<DriveAnswer>::Options{});
    return [rule](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                  LateDriveAnswer late) { return rule->ask(answer, rootPath, wait, std::move(late)); };
}

// A Windows process can always be ended, whatever its threads wait for.
AskDriveSpace platformDriveSpaceAsker()
{
    return driveSpaceAskerOver(
        [](DriveAnswer& answer, const std::string& rootPath) { GetDiskSpace::QueryDriveSpace(answer, rootPath); });
}
