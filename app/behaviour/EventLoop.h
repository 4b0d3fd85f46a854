#pragma once

#include <chrono>
#include <functional>

// What the main window's behaviour needs of a toolkit's event loop: tasks
// posted from other threads, the two timers and one pass over the events
// waiting. Each window supplies it; the expiry of a timer reaches the
// behaviour's handler (Timer1_Timer, answerDeadline_Timer) through the window.
class EventLoop {
public:
    // Refresh: Timer1, firing every interval while it runs. AnswerDeadline: a
    // refresh's one-shot deadline for its drive's answer.
    enum class Timer { Refresh, AnswerDeadline };
    using Task = std::function<void()>;
    // Runs a task on the window's thread soon; callable from any thread. Once
    // the window is gone the tasks it is given are dropped.
    using Poster = std::function<void(Task task)>;

    virtual ~EventLoop() = default;

    // Starts the timer afresh.
    virtual void runTimer(Timer which, std::chrono::milliseconds interval) = 0;
    virtual void stopTimer(Timer which) = 0;
    // Runs the events already waiting, each handler to its end.
    virtual void processWaitingEvents() = 0;
    [[nodiscard]] virtual Poster poster() = 0;
};
