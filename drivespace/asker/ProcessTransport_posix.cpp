#include "drivespace/asker/ProcessTransport.h"

#include "drivespace/asker/AskDriveSpace.h"
#include "drivespace/asker/DriveQueryServer.h"
#include "drivespace/asker/HelperProtocol.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int FailuresBeforeGivingUp = 2; // in a row, of the helper program
// A query process says hello as soon as it runs: one silent this long is not
// ours. Two such and a forked child's answer fit in the deadline.
constexpr auto HelloWait = DriveAnswerDeadline / 4;

// What a helper could have answered: a failure, or counts in their order.
bool sound(const HelperProtocol::Answer& answer)
{
    return answer.capacity == FailureValue.stored() ||
           (0 <= answer.available && answer.available <= answer.free && answer.free <= answer.capacity);
}

class ProcessLine;

// What the watcher and the lines share.
struct Watched {
    std::mutex mutex;                                // guards everything here and every line's flags
    int failuresInARow = 0;                          // of the helper program
    std::vector<std::shared_ptr<ProcessLine>> lines; // processes watched until they end, oldest first
    // Processes let go, reaped once ended: one stuck in a dead file system may
    // never end, and holds no descriptor of this program meanwhile.
    std::vector<pid_t> forgotten;
};

// One process and this side of its socket pair. The descriptors stay open as
// long as anyone holds the line, so that a number is never reused under a send.
class ProcessLine final : public DriveQueryLine {
public:
    ProcessLine(pid_t process, int end, int processEnd, LineReport<DriveAnswer> lineReport,
                std::shared_ptr<Watched> watch)
        : pid(process), socket(end), pidfd(processEnd), report(std::move(lineReport)), watched(std::move(watch))
    {}
    ~ProcessLine() override
    {
        ::close(socket);
        if (pidfd >= 0)
            ::close(pidfd);
    }

    // A process that cannot take a question is dying: that counts now, before the
    // watcher sees it end, so a helper that exits at once is given up within one question.
    bool send(const std::string& rootPath) override
    {
        if (!reaped) {
            const auto sent = ::send(socket, rootPath.data(), rootPath.size(), MSG_NOSIGNAL);
            if (sent == static_cast<ssize_t>(rootPath.size()))
                return true;
        }
        const std::lock_guard guard(watched->mutex);
        countFailure();
        return false;
    }

    // Nobody waits for a process let go, stuck or not: it is killed and forgotten.
    void letGo() override
    {
        const std::lock_guard guard(watched->mutex);
        if (reaped.exchange(true))
            return;
        ::kill(pid, SIGKILL); // a process in a system call dies once the call returns
        watched->forgotten.push_back(pid);
        std::erase_if(watched->lines, [this](const auto& line) { return line.get() == this; });
    }

    // Counts its end against the helper program once, unless it answered or
    // was let go. Under the lock, before it is reaped.
    void countFailure()
    {
        if (answered || counted || reaped)
            return;
        counted = true;
        ++watched->failuresInARow;
    }

    // Kills a process that broke the protocol (no hello in time, another
    // version, an answer out of shape), a failure even if it answered before;
    // its question has no answer. Under the lock.
    void reject()
    {
        answered = false;
        countFailure();
        socketDone = true;
        if (!reaped)
            ::kill(pid, SIGKILL);
    }

    const pid_t pid;
    const int socket;
    const int pidfd; // readable once the process has ended; -1 before Linux 5.3
    const LineReport<DriveAnswer> report;
    const std::shared_ptr<Watched> watched; // its lock is held to reap: no signal goes to a reaped pid
    const Clock::time_point started = Clock::now();
    std::atomic<bool> reaped = false; // or let go: either way signalled no more
    bool greeted = false;             // it said hello in this program's protocol
    bool answered = false;            // it has answered at least once
    bool counted = false;
    bool socketDone = false;
};

// The helper program on `end` as standard input, the other streams on /dev/null
// so one left behind never holds the terminal; told this program's pid, it ends
// at once if the program is gone.
pid_t spawnHelper(const std::string& program, int end)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, end, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string name = program;
    std::string parent = std::to_string(getpid());
    char* const argv[] = {name.data(), parent.data(), nullptr};
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

// A child running the helper's loop: it needs no file, but keeps every page
// this program writes after the fork.
pid_t forkServer(int end)
{
    const pid_t program = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        if (end != STDIN_FILENO)
            (void)dup2(end, STDIN_FILENO);
        DriveQueryServer::Run(program);
        _exit(0);
    }
    return pid;
}

} // namespace

struct ProcessTransport::Watch : Watched, std::enable_shared_from_this<Watch> {
    std::string program; // under the lock
    const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    bool stop = false; // the transport is gone: the watcher ends once all are reaped

    ~Watch() { ::close(wake); }

    void poke() const { (void)eventfd_write(wake, 1); }

    // The one place where forked children stand in for the helper program: once
    // it has failed too often in a row, for good.
    pid_t startProcess(int end)
    {
        while (!program.empty()) {
            if (failuresInARow >= FailuresBeforeGivingUp) {
                std::fprintf(stderr,
                             "quillmar: %s failed %d times in a row; drives are now asked from child processes\n",
                             program.c_str(), failuresInARow);
                program.clear();
                break;
            }
            const pid_t pid = spawnHelper(program, end);
            if (pid > 0)
                return pid;
            ++failuresInARow;
        }
        return forkServer(end);
    }

    // A new process answering on a socket; null when none can be started.
    std::shared_ptr<ProcessLine> start(LineReport<DriveAnswer>& report)
    {
        int ends[2];
        if (wake < 0 || socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
            return nullptr;
        const pid_t pid = startProcess(ends[1]);
        ::close(ends[1]);
        // Through syscall(): glibc 2.36 declares pidfd_open without C linkage.
        // Before Linux 5.3 (ENOSYS: a container on an older host, say) a process's
        // end is looked for once its socket closes.
        const int pidfd = pid > 0 ? static_cast<int>(syscall(SYS_pidfd_open, pid, 0)) : -1;
        if (pid <= 0 || (pidfd < 0 && errno != ENOSYS)) {
            if (pid > 0) {
                ::kill(pid, SIGKILL); // out of descriptors
                forgotten.push_back(pid);
            }
            ::close(ends[0]);
            return nullptr;
        }
        auto line = std::make_shared<ProcessLine>(pid, ends[0], pidfd, std::move(report), shared_from_this());
        lines.push_back(line);
        poke();
        return line;
    }

    void readAnswer(ProcessLine& line)
    {
        HelperProtocol::Answer answer{};
        const ssize_t got = recv(line.socket, &answer, sizeof answer, MSG_DONTWAIT | MSG_TRUNC);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        std::unique_lock lock(mutex);
        if (got <= 0) {
            line.socketDone = true; // closed: its end comes with the process's
        } else if (!line.greeted) {
            HelperProtocol::Hello hello{};
            std::memcpy(&hello, &answer, sizeof hello);
            line.greeted = got == sizeof hello && hello.version == HelperProtocol::Greeting.version;
            if (!line.greeted)
                line.reject();
        } else if (got != sizeof answer || !sound(answer)) {
            line.reject();
        } else {
            line.answered = true;
            failuresInARow = 0;
            lock.unlock();
            line.report(DriveAnswer{Currency::fromStored(answer.capacity), Currency::fromStored(answer.free),
                                    Currency::fromStored(answer.available)});
        }
    }

    // Under the lock: rejects the processes silent past HelloWait; returns the
    // milliseconds until the next one would be, -1 when none waits to say hello.
    int rejectSilent()
    {
        const auto now = Clock::now();
        int timeout = -1;
        for (const auto& line : lines) {
            if (line->greeted || line->counted)
                continue;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(line->started + HelloWait - now).count();
            if (left <= 0)
                line->reject();
            else if (timeout < 0 || left < timeout)
                timeout = static_cast<int>(left);
        }
        return timeout;
    }

    // Reaps an ended process; one that never answered counts against the helper.
    void reap(const std::shared_ptr<ProcessLine>& line)
    {
        {
            const std::lock_guard guard(mutex);
            if (line->reaped || waitpid(line->pid, nullptr, WNOHANG) == 0)
                return; // let go meanwhile, or not ended
            line->countFailure();
            line->reaped = true;
            std::erase(lines, line);
        }
        line->report(std::nullopt);
    }

    void watcher()
    {
        std::vector<std::shared_ptr<ProcessLine>> watched;
        std::vector<pollfd> fds;
        for (;;) {
            int timeout = -1;
            {
                const std::lock_guard guard(mutex);
                if (stop && lines.empty())
                    return;
                std::erase_if(forgotten, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
                timeout = rejectSilent();
                watched = lines;
            }
            // Without pidfds, a process whose socket closed is ending: look again shortly.
            if (std::ranges::any_of(watched, [](const auto& line) { return line->pidfd < 0 && line->socketDone; }))
                timeout = timeout < 0 ? 20 : std::min(timeout, 20);
            fds.assign(1, pollfd{wake, POLLIN, 0});
            for (const auto& line : watched) {
                fds.push_back({line->socketDone ? -1 : line->socket, POLLIN, 0});
                fds.push_back({line->pidfd, POLLIN, 0});
            }
            if (poll(fds.data(), fds.size(), timeout) < 0)
                continue; // interrupted
            eventfd_t ignored = 0;
            (void)eventfd_read(wake, &ignored);
            for (std::size_t i = 0; i < watched.size(); ++i) {
                const auto& line = watched[i];
                if (fds[1 + 2 * i].revents != 0)
                    readAnswer(*line);
                if (fds[2 + 2 * i].revents != 0 || (line->pidfd < 0 && line->socketDone))
                    reap(line);
            }
        }
    }
};

// Without its wake-up descriptor the transport starts no process and needs no watcher.
ProcessTransport::ProcessTransport(std::string helperProgram) : m_watch(std::make_shared<Watch>())
{
    m_watch->program = std::move(helperProgram);
    if (m_watch->wake >= 0)
        std::thread([watch = m_watch] { watch->watcher(); }).detach();
}

ProcessTransport::~ProcessTransport()
{
    const std::lock_guard guard(m_watch->mutex);
    m_watch->stop = true;
    for (const auto& line : m_watch->lines)
        ::kill(line->pid, SIGKILL);
    m_watch->poke();
}

std::shared_ptr<DriveQueryLine> ProcessTransport::open(LineReport<DriveAnswer> report)
{
    const std::lock_guard guard(m_watch->mutex);
    return m_watch->start(report);
}

int ProcessTransport::processOf(const DriveQueryLine* line)
{
    const auto* process = dynamic_cast<const ProcessLine*>(line);
    return process ? process->pid : 0;
}

bool ProcessTransport::runsHelperProgram() const
{
    const std::lock_guard guard(m_watch->mutex);
    return !m_watch->program.empty();
}
