#pragma once

#include <string>

// Where the drive query helper may be run from. The program runs it as whoever
// runs the program (root, too), so it is trusted only where nobody else could
// have put it or could change it.
namespace HelperProgram {

struct Found {
    std::string path;   // absolute; empty when there is no helper to run
    std::string whyNot; // one line saying why, when path is empty
};

// The helper of the running program, found from /proc/self/exe.
[[nodiscard]] Found Find();

// The helper for the program at ownExe (an absolute path): the installed
// layout's <dir>/../libexec/quillmar/quillmar-drive-query, or the build tree's
// <dir>/quillmar-drive-query, whichever exists first; and only when it is
// trusted.
[[nodiscard]] Found FindFor(const std::string& ownExe);

// Why the file at path may not be run: "" when it is a regular file owned by
// root or by the running user, which neither it nor its folder lets anyone
// else change.
[[nodiscard]] std::string Untrusted(const std::string& path);

} // namespace HelperProgram
