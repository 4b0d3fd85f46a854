#pragma once

#include "drivespace/DriveAnswer.h"
#include "drivespace/asker/AskDriveSpace.h"
#include "drivespace/asker/DriveQueryLine.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The drive asker's rule (AskDriveSpace), whatever carries the questions. A
// path has one question out at a time, on a line of its own, so that a drive
// that does not answer holds nothing but its own line. After the deadline the
// line counts as stuck: while the path is the same mount, it fails at once;
// once another mount is there, the stuck line is let go and forgotten, and a
// new line asks. A line that dies before it answers is replaced within the
// deadline.
//
// Answer is what a question of a path answers: a drive's counts, or a drive's
// name; Answer{} is a failed one.
template <class Answer>
class OneQueryPerPath {
public:
    // Receives an answer that came after its asker stopped waiting.
    using Late = std::function<void(const Answer& answer)>;

    // Which mount is at rootPath now; "" when that cannot be told.
    using MountIdentity = std::function<std::string(const std::string& rootPath)>;

    struct Options {
        std::chrono::milliseconds deadline = DriveAnswerDeadline;
        // An idle line not asked for this long is let go before the next ask
        // (a helper ends by itself a little later: the two never cross).
        std::chrono::milliseconds idleLimit = std::chrono::milliseconds::max();
        MountIdentity mountIdentity;
    };

    OneQueryPerPath(std::shared_ptr<DriveQueryTransport<Answer>> transport, Options options);
    // Lets every line go and waits for none of them.
    ~OneQueryPerPath();
    OneQueryPerPath(const OneQueryPerPath&) = delete;
    OneQueryPerPath& operator=(const OneQueryPerPath&) = delete;

    // The contract of AskDriveSpace, whatever the answer.
    bool ask(Answer& answer, const std::string& rootPath, std::chrono::milliseconds wait, Late late);

    // The line serving rootPath now; null when there is none. For tests.
    [[nodiscard]] std::shared_ptr<DriveQueryLine> lineOf(const std::string& rootPath) const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
