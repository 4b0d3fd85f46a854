#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

// What carries drive space questions to whatever answers them: a thread of this
// program, a helper process, a child forked from this program. One line answers
// one question at a time; the rule for what is asked when is OneQueryPerPath.

// What a line hears, reported on a thread of the transport: an answer (a
// drive's counts, a drive's name), or none once the line has ended (idle for
// long, or died; a question it held then has no answer). Nothing is reported
// after the end, and a line let go may report nothing more at all.
template <class Answer>
using LineReport = std::function<void(std::optional<Answer>)>;

class DriveQueryLine {
public:
    virtual ~DriveQueryLine() = default;
    // Hands rootPath on; false when the line has ended and cannot take it.
    [[nodiscard]] virtual bool send(const std::string& rootPath) = 0;
    // Nothing more is wanted of this line: it ends as soon as it can, a line
    // stuck in a system call once that call returns.
    virtual void letGo() = 0;
};

template <class Answer>
class DriveQueryTransport {
public:
    virtual ~DriveQueryTransport() = default;
    // A new line reporting to `report`; null when none can be had.
    [[nodiscard]] virtual std::shared_ptr<DriveQueryLine> open(LineReport<Answer> report) = 0;
};
