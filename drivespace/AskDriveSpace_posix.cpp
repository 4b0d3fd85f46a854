#include "drivespace/AskDriveSpace.h"

#include "drivespace/HelperDriveQuery.h"
#include "drivespace/TimedDriveQuery.h"

#include <unistd.h>

#include <memory>
#include <utility>

AskDriveSpace platformDriveSpaceAsker()
{
    const std::string helperProgram = HelperDriveQuery::besideThisProgram();
    // A program copied somewhere without its helper still shows its drives,
    // asking them from threads of its own.
    if (access(helperProgram.c_str(), X_OK) != 0) {
        auto workers = std::make_shared<TimedDriveQuery>();
        return
            [workers](Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
                      LateAnswer late) { return workers->ask(capacity, free, rootPath, wait, std::move(late)); };
    }
    auto helpers = std::make_shared<HelperDriveQuery>(helperProgram);
    return [helpers](Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
                     LateAnswer late) { return helpers->ask(capacity, free, rootPath, wait, std::move(late)); };
}
