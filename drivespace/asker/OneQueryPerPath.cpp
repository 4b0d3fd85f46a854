#include "drivespace/asker/OneQueryPerPath.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// A path's question and its line, replaced when it dies; `serial` tells its
// reports from those of lines before it.
template <class Answer>
struct Question {
    const std::string rootPath;
    std::shared_ptr<DriveQueryLine> line;
    std::uint64_t serial = 0;
    bool busy = false; // asked and not answered yet
    Clock::time_point askedAt;
    std::string mount;    // the mount at the path when it was asked
    int replacements = 0; // lines that died under this question
    Answer answer;
    typename OneQueryPerPath<Answer>::Late late; // who gets the answer once its asker has stopped waiting
};

// A line that died before answering is replaced this often per question.
constexpr int MaxReplacements = 2;

// Gives a question's answer to its asker. A failed drive's counts change only
// in the capacity, to FailureValue: the rest stays as the asker gave it.
void give(DriveAnswer& asker, const DriveAnswer& answer)
{
    asker = answer.capacity == FailureValue ? DriveAnswer{FailureValue, asker.free, asker.available} : answer;
}
void give(std::string& asker, const std::string& name)
{
    asker = name;
}

} // namespace

template <class Answer>
struct OneQueryPerPath<Answer>::State : std::enable_shared_from_this<State> {
    using Asked = std::shared_ptr<Question<Answer>>;

    std::shared_ptr<DriveQueryTransport<Answer>> transport;
    Options options;
    mutable std::mutex mutex; // guards everything below and every question's fields
    std::condition_variable answered;
    std::map<std::string, Asked, std::less<>> paths; // the question each path has now
    std::uint64_t serials = 0;

    [[nodiscard]] std::string mountAt(const std::string& rootPath) const
    {
        return options.mountIdentity ? options.mountIdentity(rootPath) : std::string();
    }

    // Sends the question on its line, on a fresh one if it has none or its
    // line has ended. False when no line takes it.
    bool send(const Asked& question)
    {
        for (int attempt = 0; attempt <= MaxReplacements; ++attempt) {
            if (!question->line) {
                const std::uint64_t serial = ++serials;
                question->line = transport->open([weakState = this->weak_from_this(), weak = std::weak_ptr(question),
                                                  serial](std::optional<Answer> a) {
                    if (const auto state = weakState.lock())
                        state->heard(weak, serial, a);
                });
                question->serial = serial;
                if (!question->line)
                    return false;
            }
            if (question->line->send(question->rootPath)) {
                question->busy = true;
                question->mount = mountAt(question->rootPath);
                return true;
            }
            question->line.reset(); // ended: a fresh line asks
        }
        return false;
    }

    // Makes room for a new question of a path whose question is still out
    // after the deadline: false when the path must fail at once. The same dead
    // mount asked again would only pile up lines; another mount there answers,
    // however many stalled before. What a line let go holds, its transport bounds.
    bool letStuckGo(Asked& current)
    {
        if (mountAt(current->rootPath) == current->mount)
            return false;
        current->line->letGo();
        current.reset();
        return true;
    }

    // Idle lines are let go before they would end by themselves under a question.
    void retireIdle(Clock::time_point now)
    {
        for (auto& [path, current] : paths) {
            if (current && !current->busy &&
                std::chrono::duration_cast<std::chrono::milliseconds>(now - current->askedAt) >= options.idleLimit) {
                current->line->letGo();
                current.reset();
            }
        }
    }

    void heard(const std::weak_ptr<Question<Answer>>& weak, std::uint64_t serial, std::optional<Answer> answer)
    {
        const Asked question = weak.lock();
        if (!question)
            return;
        std::unique_lock lock(mutex);
        const auto found = paths.find(question->rootPath);
        if (found == paths.end() || found->second != question || question->serial != serial)
            return;
        Late late;
        if (answer) {
            question->busy = false;
            question->answer = *answer;
            late = std::exchange(question->late, nullptr);
        } else {
            late = ended(found->second, question);
        }
        const Answer given = question->answer;
        answered.notify_all();
        lock.unlock();
        if (late)
            late(given);
    }

    // What a line's end means for its question; the late answer to give, if any.
    Late ended(Asked& current, const Asked& question)
    {
        question->line.reset();
        if (!question->busy) {
            current.reset(); // ended while idle: the next ask opens a new line
            return nullptr;
        }
        if (Clock::now() - question->askedAt < options.deadline && question->replacements < MaxReplacements) {
            ++question->replacements;
            if (send(question))
                return nullptr;
        }
        question->busy = false;
        question->answer = Answer{};
        current.reset();
        return std::exchange(question->late, nullptr);
    }
};

template <class Answer>
OneQueryPerPath<Answer>::OneQueryPerPath(std::shared_ptr<DriveQueryTransport<Answer>> transport, Options options)
    : m_state(std::make_shared<State>())
{
    m_state->transport = std::move(transport);
    m_state->options = std::move(options);
}

template <class Answer>
OneQueryPerPath<Answer>::~OneQueryPerPath()
{
    const std::lock_guard guard(m_state->mutex);
    for (auto& [path, question] : m_state->paths)
        if (question && question->line)
            question->line->letGo();
    m_state->paths.clear();
}

template <class Answer>
bool OneQueryPerPath<Answer>::ask(Answer& answer, const std::string& rootPath, std::chrono::milliseconds wait, Late late)
{
    std::unique_lock lock(m_state->mutex);
    const auto now = Clock::now();
    m_state->retireIdle(now);
    auto& current = m_state->paths[rootPath];
    if (current && current->busy) {
        const bool inTime = now - current->askedAt < m_state->options.deadline;
        if (inTime && late) {
            current->late = std::move(late);
            return false;
        }
        if (inTime || !m_state->letStuckGo(current)) {
            give(answer, Answer{});
            return true;
        }
    }
    if (!current)
        current = std::make_shared<Question<Answer>>(rootPath);
    const auto question = current;
    question->askedAt = now;
    question->replacements = 0;
    if (!m_state->send(question)) {
        current.reset();
        give(answer, Answer{});
        return true;
    }
    if (!m_state->answered.wait_for(lock, wait, [&] { return !question->busy; })) {
        question->late = std::move(late);
        return false;
    }
    give(answer, question->answer);
    return true;
}

template <class Answer>
std::shared_ptr<DriveQueryLine> OneQueryPerPath<Answer>::lineOf(const std::string& rootPath) const
{
    const std::lock_guard guard(m_state->mutex);
    const auto found = m_state->paths.find(rootPath);
    return found == m_state->paths.end() || !found->second ? nullptr : found->second->line;
}

// A drive's counts, and (on Windows) a drive's name.
template class OneQueryPerPath<DriveAnswer>;
template class OneQueryPerPath<std::string>;
