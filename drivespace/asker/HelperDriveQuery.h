#pragma once

#include "drivespace/asker/AskDriveSpace.h"
#include "drivespace/asker/HelperProgram.h"
#include "drivespace/asker/HelperProtocol.h"

#include <chrono>
#include <memory>
#include <string>

class MountTableWatch;
template <class Answer>
class OneQueryPerPath;
class ProcessTransport;

// The drive space query in processes, one per root path, under the rule of
// OneQueryPerPath: the helper program, or children forked from this program
// where it cannot be run. A drive stuck in the kernel holds only such a
// process; this program can always end.
class HelperDriveQuery {
public:
    // helperProgram: an absolute path. The mount table tells a remounted path
    // from a dead one.
    explicit HelperDriveQuery(
        std::string helperProgram = HelperProgram::Path(),
        std::chrono::milliseconds idleLimit = std::chrono::seconds(HelperProtocol::ProgramIdleLimitSeconds),
        std::shared_ptr<MountTableWatch> mounts = nullptr);
    ~HelperDriveQuery();
    HelperDriveQuery(const HelperDriveQuery&) = delete;
    HelperDriveQuery& operator=(const HelperDriveQuery&) = delete;

    // The contract of AskDriveSpace.
    bool ask(DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait, LateDriveAnswer late);

    // The process id of the helper serving rootPath, 0 when there is none; for tests.
    [[nodiscard]] int helperProcess(const std::string& rootPath) const;
    // False once a damaged helper program has been given up; for tests.
    [[nodiscard]] bool runsHelperProgram() const;

private:
    std::shared_ptr<ProcessTransport> m_processes;
    std::unique_ptr<OneQueryPerPath<DriveAnswer>> m_rule;
};
