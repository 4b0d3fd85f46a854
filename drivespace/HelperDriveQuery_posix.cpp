#include "drivespace/HelperDriveQuery.h"

#include "drivespace/HelperProtocol.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// One helper process and this side of its socket pair.
struct Helper {
    Helper(pid_t id, int end) : pid(id), socket(end) {}
    ~Helper() { ::close(socket); }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    const pid_t pid;
    const int socket;
    bool busy = false; // a question is out
    LateAnswer late;   // who gets its answer once the asker has stopped waiting
    Clock::time_point lastAsked = Clock::now();
};

// Starts the helper with one end of a fresh socket pair as its standard input
// and its other standard streams on /dev/null, so that a helper left behind
// never holds the terminal. Null when it cannot be started.
std::shared_ptr<Helper> startHelper(const std::string& program)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string name = program;
    char* const argv[] = {name.data(), nullptr};
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (failed != 0) {
        ::close(ends[0]);
        return nullptr;
    }
    return std::make_shared<Helper>(pid, ends[0]);
}

bool sendQuestion(const Helper& helper, const std::string& rootPath)
{
    const auto sent = send(helper.socket, rootPath.data(), rootPath.size(), MSG_NOSIGNAL);
    return sent == static_cast<ssize_t>(rootPath.size());
}

// How long to wait awake for an answer before sleeping on it. A healthy drive
// is answered within tens of microseconds; waking from a sleep costs about as
// much on its own, so waiting awake saves a wake-up per refresh.
constexpr auto AwakeWait = std::chrono::microseconds(500);

// True once the answer can be read, waiting at most `wait`: awake at first,
// handing the processor to the helper at every turn, since it may share this
// one; then asleep.
bool answerArrives(const Helper& helper, std::chrono::milliseconds wait)
{
    const auto start = Clock::now();
    pollfd answer{helper.socket, POLLIN, 0};
    while (Clock::now() - start < std::min<Clock::duration>(AwakeWait, wait)) {
        if (poll(&answer, 1, 0) > 0)
            return true;
        sched_yield();
    }
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(start + wait - Clock::now());
        const int ready = poll(&answer, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}

// The helper's answer; none when it died or said nothing readable.
std::optional<HelperProtocol::Answer> readAnswer(const Helper& helper)
{
    HelperProtocol::Answer answer{};
    ssize_t got = 0;
    do
        got = recv(helper.socket, &answer, sizeof answer, 0);
    while (got < 0 && errno == EINTR);
    if (got != sizeof answer)
        return std::nullopt;
    return answer;
}

} // namespace

struct HelperDriveQuery::Shared {
    std::string program;
    std::chrono::milliseconds idleTimeout{};
    std::mutex mutex; // guards helpers, exiting and every helper's fields
    std::map<std::string, std::shared_ptr<Helper>, std::less<>> helpers;
    std::vector<pid_t> exiting; // helpers let go, to be reaped once they have ended
    // Started with the query object, so that the first path asked finds its
    // helper running instead of waiting for one to start.
    std::shared_ptr<Helper> spare;

    // The helper of rootPath, started if need be; null when none can be started.
    std::shared_ptr<Helper> helperOf(const std::string& rootPath);
    // Forgets a helper that is not busy or whose answer has been read.
    void letGo(const std::shared_ptr<Helper>& helper);
    void reapAndRetire();
    // Sends the question to the path's helper, a fresh one if the old one has
    // gone; null when the question cannot be asked now. A path whose question
    // is still out is not asked again: `late` takes over its answer instead,
    // and `joined` is set.
    std::shared_ptr<Helper> question(const std::string& rootPath, LateAnswer& late, bool& joined);
    // The end of a question once its answer is readable: the capacity, free,
    // and whoever is waiting for it late.
    struct Finished {
        Currency capacity;
        Currency free;
        LateAnswer late;
    };
    Finished finish(const std::shared_ptr<Helper>& helper);
};

void HelperDriveQuery::Shared::letGo(const std::shared_ptr<Helper>& helper)
{
    for (auto it = helpers.begin(); it != helpers.end(); ++it)
        if (it->second == helper) {
            helpers.erase(it);
            break;
        }
    exiting.push_back(helper->pid);
}

// Helpers not asked for a while are let go (they end on their own when they see
// their socket closed); those that have ended are reaped.
void HelperDriveQuery::Shared::reapAndRetire()
{
    const auto now = Clock::now();
    for (auto it = helpers.begin(); it != helpers.end();) {
        if (!it->second->busy && now - it->second->lastAsked >= idleTimeout) {
            exiting.push_back(it->second->pid);
            it = helpers.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(exiting, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

std::shared_ptr<Helper> HelperDriveQuery::Shared::helperOf(const std::string& rootPath)
{
    const auto found = helpers.find(rootPath);
    if (found != helpers.end())
        return found->second;
    auto fresh = spare ? std::exchange(spare, nullptr) : startHelper(program);
    if (fresh)
        helpers.emplace(rootPath, fresh);
    return fresh;
}

std::shared_ptr<Helper> HelperDriveQuery::Shared::question(const std::string& rootPath, LateAnswer& late,
                                                           bool& joined)
{
    const std::lock_guard guard(mutex);
    reapAndRetire();
    auto helper = helperOf(rootPath);
    if (helper && helper->busy) {
        // Within the deadline the older asker's refresh is superseded by this
        // one; after it the drive counts as dead.
        joined = late && Clock::now() - helper->lastAsked < DriveAnswerDeadline;
        if (joined)
            helper->late = std::move(late);
        return nullptr;
    }
    // A helper that died while idle is replaced at once: its death costs no
    // question.
    for (int attempt = 0; helper && !sendQuestion(*helper, rootPath); ++attempt) {
        letGo(helper);
        helper = attempt == 0 ? helperOf(rootPath) : nullptr;
    }
    if (helper) {
        helper->busy = true;
        helper->lastAsked = Clock::now();
    }
    return helper;
}

HelperDriveQuery::Shared::Finished HelperDriveQuery::Shared::finish(const std::shared_ptr<Helper>& helper)
{
    const auto answer = readAnswer(*helper);
    const std::lock_guard guard(mutex);
    helper->busy = false;
    LateAnswer late = std::exchange(helper->late, nullptr);
    if (!answer) {
        letGo(helper); // dead: a fresh one serves the next question
        return {FailureValue, Currency::fromStored(0), std::move(late)};
    }
    return {Currency::fromStored(answer->capacity), Currency::fromStored(answer->free), std::move(late)};
}

HelperDriveQuery::HelperDriveQuery(std::string helperProgram, std::chrono::milliseconds idleTimeout)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->program = std::move(helperProgram);
    m_shared->idleTimeout = std::min<std::chrono::milliseconds>(
        idleTimeout, std::chrono::seconds(HelperProtocol::HelperIdleExitSeconds - 5));
    m_shared->spare = startHelper(m_shared->program);
}

// Idle helpers see their socket close and end; a busy one ends once its answer
// finds nobody listening. Nothing here waits for either.
HelperDriveQuery::~HelperDriveQuery()
{
    const std::lock_guard guard(m_shared->mutex);
    m_shared->spare.reset();
    m_shared->helpers.clear();
    std::erase_if(m_shared->exiting, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

std::string HelperDriveQuery::besideThisProgram()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return HelperProtocol::ProgramName; // then found nowhere, and every query fails
    std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + HelperProtocol::ProgramName;
}

bool HelperDriveQuery::ask(Currency& capacity, Currency& free, const std::string& rootPath,
                           std::chrono::milliseconds wait, LateAnswer late)
{
    bool joined = false;
    const std::shared_ptr<Helper> helper = m_shared->question(rootPath, late, joined);
    if (joined)
        return false;
    if (!helper) {
        capacity = FailureValue;
        return true;
    }
    if (answerArrives(*helper, wait)) {
        Shared::Finished answer = m_shared->finish(helper);
        capacity = answer.capacity;
        if (capacity != FailureValue)
            free = answer.free;
        if (answer.late) // asked for from another thread meanwhile
            answer.late(answer.capacity, answer.free);
        return true;
    }
    {
        const std::lock_guard guard(m_shared->mutex);
        helper->late = std::move(late);
    }
    try {
        std::thread([shared = m_shared, helper] {
            const Shared::Finished answer = shared->finish(helper);
            if (answer.late)
                answer.late(answer.capacity, answer.free);
        }).detach();
    } catch (const std::system_error&) {
        // Nobody could read the answer: the helper is let go, the query failed.
        const std::lock_guard guard(m_shared->mutex);
        helper->busy = false;
        helper->late = nullptr;
        m_shared->letGo(helper);
        capacity = FailureValue;
        return true;
    }
    return false;
}

int HelperDriveQuery::helperProcess(const std::string& rootPath) const
{
    const std::lock_guard guard(m_shared->mutex);
    const auto found = m_shared->helpers.find(rootPath);
    return found == m_shared->helpers.end() ? 0 : found->second->pid;
}
