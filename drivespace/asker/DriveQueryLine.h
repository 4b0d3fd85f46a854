#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

// What carries drive space questions to a thread, a helper process or a forked
// child: one question at a time; OneQueryPerPath rules what is asked when.

// What a line hears, on a thread of the transport: an answer, or none once the
// line has ended (idle, or died: a question it held has no answer). Nothing
// comes after the end; a line let go may report nothing more at all.
template <class Answer>
using LineReport = std::function<void(std::optional<Answer>)>;

class DriveQueryLine {
public:
    virtual ~DriveQueryLine() = default;
    // Hands rootPath on; false when the line has ended and cannot take it.
    [[nodiscard]] virtual bool send(const std::string& rootPath) = 0;
    // Nothing more is wanted: it ends as soon as it can (one stuck in a system
    // call once that returns).
    virtual void letGo() = 0;
};

template <class Answer>
class DriveQueryTransport {
public:
    virtual ~DriveQueryTransport() = default;
    // A new line reporting to `report`; null when none can be had.
    [[nodiscard]] virtual std::shared_ptr<DriveQueryLine> open(LineReport<Answer> report) = 0;
};
