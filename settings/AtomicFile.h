#pragma once

#include <string>
#include <string_view>
#include <system_error>

// Reading a small file whole, and replacing it so that a reader sees either the
// old text or the new one, never a part, wherever the file system allows that.
namespace AtomicFile {

struct ReadResult {
    bool exists = false;
    std::string text;
    // Why a file that exists could not be read; empty when it was.
    std::string problem;
};

// The file's bytes. A missing file is no problem; a directory, a device or a
// pipe is (and is never opened for reading, so a pipe cannot block).
[[nodiscard]] ReadResult ReadAll(const std::string& path);

// Writes contents to a new file beside path's target (a symlink is followed, not
// replaced), flushes it to the disk and renames it over the target, with the
// target's mode and owner. Missing directories are created. On failure nothing
// is left behind and the old file is untouched.
//
// Where renaming cannot work or would part the file from its other names (a
// file with more than one hard link, a folder the user may not write, a file
// bind-mounted over its place), the existing file is rewritten in place and
// flushed instead; room for a longer text is reserved first, so that a full
// disk leaves the old text whole.
[[nodiscard]] std::error_code Replace(const std::string& path, std::string_view contents);

} // namespace AtomicFile
