#pragma once

#include "drivespace/DriveAnswer.h"
#include "drivespace/asker/DriveQueryLine.h"

#include <memory>
#include <string>

// Lines that are processes on a socket pair: the helper program, or without
// one a forked child running the same loop (DriveQueryServer). A process stuck
// in a dead file system cannot end, so the stuck one is never the program; each
// dies with the program. One watcher thread reads answers and reaps processes.
// A process must say hello in this program's protocol, then answer only counts
// in their order, or it is killed. A helper program that fails to start, dies
// unanswered or is killed twice in a row (missing, damaged, of another version)
// is given up for forked children, with a line on standard error.
class ProcessTransport : public DriveQueryTransport<DriveAnswer> {
public:
    explicit ProcessTransport(std::string helperProgram); // an absolute path, never searched for
    // Kills its processes; the watcher ends once all are reaped. Waits for none.
    ~ProcessTransport() override;
    ProcessTransport(const ProcessTransport&) = delete;
    ProcessTransport& operator=(const ProcessTransport&) = delete;

    [[nodiscard]] std::shared_ptr<DriveQueryLine> open(LineReport<DriveAnswer> report) override;

    // The process id behind a line of this transport; 0 for another line. For tests.
    [[nodiscard]] static int processOf(const DriveQueryLine* line);
    // False once the helper program has been given up. For tests.
    [[nodiscard]] bool runsHelperProgram() const;

private:
    struct Watch;
    std::shared_ptr<Watch> m_watch;
};
