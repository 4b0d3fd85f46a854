#pragma once

#include <string>

// Where the drive query helper is run from: one path, fixed when the program
// is built, never searched for. The installed program runs the helper
// installed among the programs' private helpers (<prefix>/libexec/quillmar/).
// Only a program that is itself in the build tree's folder of programs (the
// program run from its build, and the tests) runs the helper built there: an
// installed program never runs a file from a build tree, where another user
// could have put one.
namespace HelperProgram {

[[nodiscard]] std::string Path();

} // namespace HelperProgram
