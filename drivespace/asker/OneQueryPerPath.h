#pragma once

#include "drivespace/DriveAnswer.h"
#include "drivespace/asker/AskDriveSpace.h"
#include "drivespace/asker/DriveQueryLine.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The drive asker's rule (AskDriveSpace) over any transport: one question out
// per path, on a line of its own, so a silent drive holds only its own line.
// Past the deadline the line is stuck: the path fails at once while it is the
// same mount, and once another mount is there the stuck line is let go and a
// new one asks. A line that dies unanswered is replaced within the deadline.
// Answer: a drive's counts or name; Answer{} is a failed one.
template <class Answer>
class OneQueryPerPath {
public:
    // Receives an answer that came after its asker stopped waiting.
    using Late = std::function<void(const Answer& answer)>;

    struct Options {
        std::chrono::milliseconds deadline = DriveAnswerDeadline;
        // An idle line is let go after this long, before its helper would end by itself.
        std::chrono::milliseconds idleLimit = std::chrono::milliseconds::max();
        // Which mount is at rootPath now; "" when that cannot be told.
        std::function<std::string(const std::string& rootPath)> mountIdentity;
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
