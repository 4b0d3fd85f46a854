#include "drivespace/asker/AskDriveSpace.h"

#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/HelperDriveQuery.h"
#include "drivespace/mounts/MountTableWatch.h"

#include <memory>
#include <utility>

// Local disks are asked in place: they answer from memory and never hang. A
// path counts as one only while the mount table, read again whenever it
// changes, says the kernel's lookup of it crosses local mounts alone. Every
// other drive is asked in a process of its own, the helper program or, where
// it cannot be run, a child of this program, so that a drive stuck in the
// kernel never holds the program.
AskDriveSpace platformDriveSpaceAsker()
{
    auto mounts = std::make_shared<MountTableWatch>();
    auto helpers = std::make_shared<HelperDriveQuery>(
        HelperProgram::Path(), std::chrono::seconds(HelperProtocol::ProgramIdleLimitSeconds), mounts);
    return [mounts, helpers](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                             LateDriveAnswer late) {
        if (mounts->mountAt(rootPath).local) {
            GetDiskSpace::QueryDriveSpace(answer, rootPath);
            return true;
        }
        return helpers->ask(answer, rootPath, wait, std::move(late));
    };
}
