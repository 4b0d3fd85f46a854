#include "drivespace/AskDriveSpace.h"

#include "drivespace/TimedDriveQuery.h"

#include <memory>
#include <utility>

// A Windows process can always be ended, whatever its threads wait for: the
// query stays in a thread of this process.
AskDriveSpace platformDriveSpaceAsker()
{
    auto workers = std::make_shared<TimedDriveQuery>();
    return [workers](Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
                     LateAnswer late) { return workers->ask(capacity, free, rootPath, wait, std::move(late)); };
}
