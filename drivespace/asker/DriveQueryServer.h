#pragma once

#include <sys/types.h>

// The answering side of a drive space question asked out of process: the whole
// of the helper program, and what a child forked from the program runs when
// there is no helper to be trusted. Only async-signal-safe calls and no
// allocation: a child forked from a program with threads may run it.
namespace DriveQueryServer {

// Cuts this process loose from the program `program` (its parent), then
// answers the questions coming on standard input until the program closes it,
// goes away, or asks nothing for a while. The process dies with the program.
// With `program` 0 (started by hand) the parent is not checked.
void Run(pid_t program);

} // namespace DriveQueryServer
