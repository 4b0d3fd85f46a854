#include "drivespace/asker/HelperDriveQuery.h"

#include "drivespace/mounts/MountTableWatch.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ProcessTransport.h"

#include <utility>

HelperDriveQuery::HelperDriveQuery(std::string helperProgram, std::chrono::milliseconds idleLimit,
                                   std::shared_ptr<MountTableWatch> mounts)
    : m_processes(std::make_shared<ProcessTransport>(std::move(helperProgram)))
{
    if (!mounts)
        mounts = std::make_shared<MountTableWatch>();
    OneQueryPerPath<DriveAnswer>::Options options;
    options.idleLimit = idleLimit;
    options.mountIdentity = [mounts](const std::string& rootPath) { return mounts->mountAt(rootPath).id; };
    m_rule = std::make_unique<OneQueryPerPath<DriveAnswer>>(m_processes, std::move(options));
}

HelperDriveQuery::~HelperDriveQuery() = default;

bool HelperDriveQuery::ask(DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds wait,
                           LateDriveAnswer late)
{
    return m_rule->ask(answer, rootPath, wait, std::move(late));
}

int HelperDriveQuery::helperProcess(const std::string& rootPath) const
{
    return ProcessTransport::processOf(m_rule->lineOf(rootPath).get());
}

bool HelperDriveQuery::runsHelperProgram() const
{
    return m_processes->runsHelperProgram();
}
