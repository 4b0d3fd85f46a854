#pragma once

#include <string>

// Where the drive query helper is run from, fixed at build time, never searched
// for: <prefix>/libexec/quillmar/, or, for a program itself in the build tree's
// folder of programs (a build's run, the tests), that folder. An installed
// program never runs a file from a build tree, where another user could put one.
namespace HelperProgram {

[[nodiscard]] std::string Path();

} // namespace HelperProgram
