// The drive query helper: answers the program's drive space questions on the
// socket it gets as standard input, so a query stuck in a dead file system
// holds only this process.
//   quillmar-drive-query [PROGRAM_PID]   (ends at once if that program is gone)
#include "drivespace/asker/DriveQueryServer.h"

#include <cstdlib>

int main(int argc, char* argv[])
{
    const pid_t program = argc > 1 ? static_cast<pid_t>(std::strtol(argv[1], nullptr, 10)) : 0;
    DriveQueryServer::Run(program);
    return 0;
}
