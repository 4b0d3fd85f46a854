#include "drivespace/asker/AskDriveSpace.h"

#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/HelperProgram.h"
#include "drivespace/asker/HelperProtocol.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ProcessTransport.h"
#include "drivespace/mounts/MountTableWatch.h"

#include <memory>
#include <utility>

// Local disks are asked in place: they answer from memory and never hang. A
// path is one while the mount table (read again on every change) says its
// lookup crosses local mounts alone. Any other drive is asked in a process of
// its own (ProcessTransport); the table tells a remounted path from a dead one.
AskDriveSpace platformDriveSpaceAsker()
{
    auto mounts = std::make_shared<MountTableWatch>();
    OneQueryPerPath<DriveAnswer>::Options options;
    options.idleLimit = std::chrono::seconds(HelperProtocol::ProgramIdleLimitSeconds);
    options.mountIdentity = [mounts](const std::string& rootPath) { return mounts->mountAt(rootPath).id; };
    auto helpers = std::make_shared<OneQueryPerPath<DriveAnswer>>(
        std::make_shared<ProcessTransport>(HelperProgram::Path()), std::move(options));
    return [mounts, helpers](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                             LateDriveAnswer late) {
        if (mounts->mountAt(rootPath).local) {
            GetDiskSpace::QueryDriveSpace(answer, rootPath);
            return true;
        }
        return helpers->ask(answer, rootPath, wait, std::move(late));
    };
}
