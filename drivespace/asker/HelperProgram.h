#pragma once

#include <string>

// Where the drive query helper is run from, fixed at build time and never
// searched for: <prefix>/libexec/quillmar/, or the build tree's folder of
// programs for a program that is itself there (a build's run, the tests). An
// installed program never runs a file from a build tree, where another user
// could have put one.
namespace HelperProgram {

[[nodiscard]] std::string Path();

} // namespace HelperProgram
