#pragma once

#include "drivespace/AskDriveSpace.h"

#include <chrono>
#include <memory>
#include <string>

// The drive space query in helper processes, one per root path, each a
// long-lived companion program answering over a socket pair. A process whose
// thread is stuck in a dead file system cannot end; this way the stuck one is
// the helper, and the program can always end. There is one query out per path:
// while a helper has not answered, a further ask of its path within the
// deadline takes over that answer; after it, or without a late-answer
// callback, it fails at once.
// A helper that dies fails the query it was answering and is replaced at the
// next one; a helper not asked for a while is let go.
class HelperDriveQuery {
public:
    explicit HelperDriveQuery(std::string helperProgram = besideThisProgram(),
                              std::chrono::milliseconds idleTimeout = std::chrono::seconds(30));
    ~HelperDriveQuery();
    HelperDriveQuery(const HelperDriveQuery&) = delete;
    HelperDriveQuery& operator=(const HelperDriveQuery&) = delete;

    // The contract of AskDriveSpace. Late answers arrive on a thread that waits
    // for that one answer and then ends.
    bool ask(Currency& capacity, Currency& free, const std::string& rootPath, std::chrono::milliseconds wait,
             LateAnswer late);

    // The process id of the helper serving rootPath, 0 when there is none; for tests.
    [[nodiscard]] int helperProcess(const std::string& rootPath) const;

    // The helper program in the running program's own directory.
    [[nodiscard]] static std::string besideThisProgram();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
