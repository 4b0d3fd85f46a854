#pragma once

#include <sys/types.h>

// The answering side of out-of-process drive questions: the whole helper program,
// and what a forked child runs without a helper to trust. Only async-signal-safe
// calls and no allocation: a child forked from a program with threads may run it.
namespace DriveQueryServer {

// Cuts this process loose from its parent `program` (0 when started by hand:
// not checked), then answers the questions on standard input until the program
// closes it, goes away or asks nothing for a while. It dies with the program.
void Run(pid_t program);

} // namespace DriveQueryServer
