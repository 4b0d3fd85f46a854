#include "drivespace/asker/AskDriveSpace_win32.h"

#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/NoCriticalErrorBox_win32.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ThreadTransport.h"

#include <functional>
#include <memory>
#include <utility>

// Every drive is asked on a worker thread of its own: any drive may stop
// answering while shown, a fixed one too (a USB or iSCSI disk; under wine every
// drive letter counts as fixed), and a call that never returns cannot be abandoned.
AskDriveSpace driveSpaceAskerOver(AnswerQuery query)
{
    auto threads = std::make_shared<ThreadTransport<DriveAnswer>>(
        [query = std::move(query)](DriveAnswer& answer, const std::string& rootPath) {
            const NoCriticalErrorBox quiet;
            query(answer, rootPath);
        },
        std::chrono::seconds(30)); // a worker idle this long ends; the next ask starts one
    auto rule =
        std::make_shared<OneQueryPerPath<DriveAnswer>>(std::move(threads), OneQueryPerPath<DriveAnswer>::Options{});
    return std::bind_front(&OneQueryPerPath<DriveAnswer>::ask, std::move(rule));
}

// A Windows process can always be ended, whatever its threads wait for.
AskDriveSpace platformDriveSpaceAsker()
{
    return driveSpaceAskerOver(GetDiskSpace::QueryDriveSpace);
}
