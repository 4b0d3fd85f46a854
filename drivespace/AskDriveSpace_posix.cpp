#include "drivespace/AskDriveSpace.h"

#include "drivespace/HelperDriveQuery.h"

#include <memory>
#include <utility>

AskDriveSpace platformDriveSpaceAsker()
{
    auto helpers = std::make_shared<HelperDriveQuery>();
    return [helpers](Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
                     LateAnswer late) { return helpers->ask(capacity, free, rootPath, wait, std::move(late)); };
}
