// The drive query helper: answers the program's drive space queries over the
// socket it gets as standard input. A query stuck in a dead file system holds
// only this process; the program stops waiting and may even end meanwhile.
#include "drivespace/GetDiskSpace.h"
#include "drivespace/HelperProtocol.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

int main()
{
    // An answer to a program that has gone must end this process quietly, and
    // the terminal's Ctrl+C and hang-up are the program's business, not ours.
    std::signal(SIGPIPE, SIG_IGN);
    (void)setsid();
    // Whatever else the program inherited and left open (a pipe to the shell
    // that started it, say) must not be held by a helper left behind.
    (void)close_range(STDERR_FILENO + 1, ~0U, 0);

    // Each question is waited for in one blocking read, which gives up after
    // the idle time: the fewer calls per question, the cheaper an idle refresh.
    const timeval idle{HelperProtocol::HelperIdleExitSeconds, 0};
    if (setsockopt(STDIN_FILENO, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle) != 0)
        return 0;
    std::vector<char> request(HelperProtocol::MaxPathBytes);
    for (;;) {
        const ssize_t length = recv(STDIN_FILENO, request.data(), request.size(), MSG_TRUNC);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return 0; // idle for long enough, the program closed its end, or the socket is unusable
        Currency capacity = FailureValue;
        Currency free = Currency::fromStored(0);
        if (static_cast<std::size_t>(length) <= request.size())
            GetDiskSpace::QueryDriveSpace(capacity, free,
                                          std::string(request.data(), static_cast<std::size_t>(length)));
        const HelperProtocol::Answer answer{capacity.stored(), free.stored()};
        if (send(STDIN_FILENO, &answer, sizeof answer, MSG_NOSIGNAL) != sizeof answer)
            return 0;
    }
}
