#pragma once

#include "drivespace/DriveAnswer.h"
#include "drivespace/asker/DriveQueryLine.h"

#include <memory>
#include <string>

// Lines that are processes answering over a socket pair: the helper program,
// or, without one, a child this program forks that runs the same loop
// (DriveQueryServer). A process stuck in a dead file system cannot end; this
// way the stuck one is never the program, which can always end. Every such
// process dies with the program.
//
// One watcher thread reads the answers and reaps each process as soon as it
// ends. A process must say hello in this program's protocol first, and answer
// only counts in their order; one that does not is killed. A helper program
// that cannot be started, dies before answering or is killed so twice in a row
// (missing, damaged, deleted, of another version) is given up for forked
// children, with a line on standard error.
class ProcessTransport : public DriveQueryTransport<DriveAnswer> {
public:
    // helperProgram: the helper's absolute path.
    explicit ProcessTransport(std::string helperProgram);
    // Kills its processes and stops watching once they have all been reaped;
    // waits for none of them.
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
