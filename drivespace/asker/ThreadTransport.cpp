#include "drivespace/asker/ThreadTransport.h"

#include "drivespace/DriveAnswer.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// One worker thread and the question waiting for it, owned by the rule and the
// thread alike: a thread let go in the system call finds it alive on return.
class ThreadLine final : public DriveQueryLine {
public:
    bool send(const std::string& rootPath) override
    {
        const std::lock_guard guard(m_mutex);
        if (m_ended || !m_wanted)
            return false;
        m_question = rootPath;
        m_wake.notify_one();
        return true;
    }

    void letGo() override
    {
        const std::lock_guard guard(m_mutex);
        m_wanted = false;
        m_wake.notify_one();
    }

    // The next question; none when the line ends instead (let go, or idle for
    // idleTimeout). Decided under the lock, so that a question sent meanwhile
    // is either taken or refused, never lost.
    std::optional<std::string> next(std::chrono::milliseconds idleTimeout)
    {
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, idleTimeout, [&] { return m_question || !m_wanted; });
        if (!m_question) {
            m_ended = true;
            return std::nullopt;
        }
        return std::exchange(m_question, std::nullopt);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::string> m_question;
    bool m_wanted = true;
    bool m_ended = false;
};

} // namespace

template <class Answer>
ThreadTransport<Answer>::ThreadTransport(Query query, std::chrono::milliseconds idleTimeout)
    : m_query(std::move(query)), m_idleTimeout(idleTimeout)
{}

template <class Answer>
std::shared_ptr<DriveQueryLine> ThreadTransport<Answer>::open(LineReport<Answer> report)
{
    auto line = std::make_shared<ThreadLine>();
    auto serve = [line, query = m_query, idle = m_idleTimeout, report = std::move(report)] {
        while (const auto rootPath = line->next(idle)) {
            Answer answer; // unanswered, the query failed
            query(answer, *rootPath); // may block for minutes
            report(answer);
        }
        report(std::nullopt);
    };
    try {
        std::thread(std::move(serve)).detach();
    } catch (const std::system_error&) {
        return nullptr; // no thread to be had: the drive cannot be asked
    }
    return line;
}

// A drive's counts, and (on Windows) a drive's name.
template class ThreadTransport<DriveAnswer>;
template class ThreadTransport<std::string>;
