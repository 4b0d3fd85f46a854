#include "drivespace/asker/DriveQueryServer.h"

#include "drivespace/asker/HelperProtocol.h"
#include "drivespace/VolumeQuery.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace {

// Dies with the program, even stopped, and is done at once if the program is
// already gone: the death signal only covers a parent that ends after it is set.
void dieWithProgram(pid_t program)
{
    (void)prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (program != 0 && getppid() != program)
        _exit(0);
}

// The program's signal handlers, blocked signals, terminal and open files are
// not ours: a child forked from it inherits them all.
void standAlone()
{
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        (void)sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    sigemptyset(&none);
    (void)sigprocmask(SIG_SETMASK, &none, nullptr);
    (void)setsid();
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        (void)dup2(null, STDOUT_FILENO);
        (void)dup2(null, STDERR_FILENO);
    }
    (void)close_range(STDERR_FILENO + 1, ~0U, 0);
}

// The answer to one question of `length` bytes in `request`.
HelperProtocol::Answer answerTo(char* request, std::size_t length, std::size_t room)
{
    VolumeCounts counts;
    if (length < room)
        request[length] = '\0';
    // Too long for a path, or with a NUL inside: the failure value.
    if (length >= room || std::strlen(request) != length || !QueryVolume(request, counts))
        return {FailureValue.stored(), 0, 0};
    return {counts.capacity.stored(), counts.free.stored(), counts.available.stored()};
}

} // namespace

void DriveQueryServer::Run(pid_t program)
{
    dieWithProgram(program);
    standAlone();
    // Each question is waited for in one blocking read, which gives up after
    // the idle time: the fewer calls per question, the cheaper a refresh.
    const timeval idle{HelperProtocol::HelperIdleExitSeconds, 0};
    if (setsockopt(STDIN_FILENO, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle) != 0 ||
        send(STDIN_FILENO, &HelperProtocol::Greeting, sizeof HelperProtocol::Greeting, MSG_NOSIGNAL) !=
            sizeof HelperProtocol::Greeting)
        return;
    char request[PATH_MAX + 1];
    for (;;) {
        const ssize_t length = recv(STDIN_FILENO, request, sizeof request, MSG_TRUNC);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return; // idle for long enough, the program closed its end, or the socket is unusable
        const HelperProtocol::Answer answer = answerTo(request, static_cast<std::size_t>(length), sizeof request);
        if (send(STDIN_FILENO, &answer, sizeof answer, MSG_NOSIGNAL) != sizeof answer)
            return;
    }
}
