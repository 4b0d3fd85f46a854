#pragma once

#include <functional>
#include <string>
#include <string_view>

// Reading and writing the settings file so that a reader sees either the old
// text or the new one, never a part, and so that no file but the user's own is
// ever written, whoever runs the program.
//
// Whose file it is: the file in the settings folder must belong to the folder's
// owner. A symbolic link in its place (as a dotfile manager makes them) is
// followed, once, only when it belongs to the folder's owner too and leads to
// an existing regular file of that same owner. Anything else is left alone.
// The checks are made on the descriptor that is read or written, opened without
// following a link, so that nothing can be swapped in between.
namespace AtomicFile {

struct ReadResult {
    bool exists = false;
    std::string text;
    // Why a file that exists is left alone, as a phrase; empty when it was read.
    std::string problem;
};

// Called before each system call that changes the file in an in-place rewrite,
// with the call's name; a nonzero errno it returns fails that call. For tests,
// which end the process there or make the call fail.
using CallHook = std::function<int(std::string_view call)>;

// The file's bytes. A missing file is no problem; a directory, a device or a
// pipe is (opened without waiting, so a pipe cannot block).
[[nodiscard]] ReadResult ReadAll(const std::string& path);

// Writes contents to a new file beside the file (the target of the link, when
// it is one), with the old file's mode and owner, flushes it to the disk and
// renames it over the old one. Missing directories are created. On failure
// nothing is left behind and the old file is untouched. Returns why it could not
// be written, or nothing.
//
// Where renaming cannot work or would part the file from its other names (a
// file with more than one hard link, a folder the user may not write, a file
// bind-mounted over its place), the existing file is rewritten in place, so
// that a kill or a failure at any step leaves the old text or the new one whole.
[[nodiscard]] std::string Replace(const std::string& path, std::string_view contents, const CallHook& beforeCall = {});

} // namespace AtomicFile
