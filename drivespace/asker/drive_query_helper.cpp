// The drive query helper: answers the program's drive space questions over the
// socket it gets as standard input. A query stuck in a dead file system holds
// only this process; the program stops waiting and may even end meanwhile.
//
//   quillmar-drive-query [PROGRAM_PID]
//
// With the pid of the program that started it, it ends at once if that
// program is gone already.
#include "drivespace/asker/DriveQueryServer.h"

#include <cstdlib>

int main(int argc, char* argv[])
{
    const pid_t program = argc > 1 ? static_cast<pid_t>(std::strtol(argv[1], nullptr, 10)) : 0;
    DriveQueryServer::Run(program);
    return 0;
}
