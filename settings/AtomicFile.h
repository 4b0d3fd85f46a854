#pragma once

#include <functional>
#include <string>
#include <string_view>

// Reading and writing the settings file so that a reader sees the old text or
// the new one, never a part, and no file but the user's own is written, whoever
// runs the program. The file must belong to its folder's owner; a symbolic link
// in its place (as dotfile managers make them) is followed once, only when it too
// is the folder owner's and leads to an existing file. The checks are made on the
// descriptor used, opened without following links: nothing can be swapped in.
namespace AtomicFile {

struct ReadResult {
    std::string text;
    std::string problem; // why a file that exists is left alone; empty when it was read or is missing
};

// For tests: called with each call's name before it changes the file in place; an errno it returns fails it.
using CallHook = std::function<int(std::string_view call)>;

// The file's bytes. A missing file is no problem; a directory, a device or a
// pipe is (opened without waiting, so a pipe cannot block).
[[nodiscard]] ReadResult ReadAll(const std::string& path);

// Writes contents to a new file beside the file (or the link's target) with the
// old one's mode and owner, flushes it and renames it over the old one, creating
// missing folders. Where renaming cannot work or would part the file from its
// other names (a second hard link, a folder the user may not write, a bind mount),
// rewrites it in place. A kill or a failure at any step leaves the old text or the
// new one whole. Returns why the file could not be written (the old text stays), or "".
[[nodiscard]] std::string Replace(const std::string& path, std::string_view contents, const CallHook& beforeCall = {});

} // namespace AtomicFile
