#include "settings/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace AtomicFile {

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

// The directory part of a path, "." for a bare name.
std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symlinks ends at, which need not exist yet.
std::string finalTarget(std::string path)
{
    // As many links as the kernel follows before it gives up.
    for (int depth = 0; depth < 40; ++depth) {
        struct stat link {};
        if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 4096) + 1, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size())
            return path;
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : directoryOf(path) + "/" + target;
    }
    return path;
}

std::error_code writeAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// A new file beside target, named after it and hidden; its descriptor and name.
std::pair<int, std::string> createTemporary(const std::string& target, mode_t mode)
{
    const std::string directory = directoryOf(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            directory + "/." + base + "." + std::to_string(getpid()) + "." + std::to_string(attempt);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return {fd, name};
    }
    return {-1, {}};
}

// Writes and flushes the temporary file and renames it over target; removes it
// on failure.
std::error_code fillAndRename(int fd, const std::string& temporary, const std::string& target,
                              std::string_view contents)
{
    std::error_code error = writeAll(fd, contents);
    if (!error && fsync(fd) != 0)
        error = lastError();
    if (close(fd) != 0 && !error)
        error = lastError();
    if (!error && rename(temporary.c_str(), target.c_str()) != 0)
        error = lastError();
    if (error) {
        unlink(temporary.c_str());
        return error;
    }
    // The rename itself reaches the disk with the directory.
    const int directory = open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        fsync(directory);
        close(directory);
    }
    return {};
}

// Rewrites the existing file's bytes, for a file that cannot be replaced. The
// room a longer text needs is taken before the first byte is written, so that
// a full disk or a file size limit fails with the old text whole.
std::error_code writeInPlace(const std::string& target, std::string_view contents)
{
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return lastError();
    std::error_code error;
    struct stat status {};
    const auto size = static_cast<off_t>(contents.size());
    if (fstat(fd, &status) != 0)
        error = lastError();
    else if (!S_ISREG(status.st_mode))
        error = {EINVAL, std::generic_category()};
    else if (size > status.st_size) {
        if (const int failed = posix_fallocate(fd, status.st_size, size - status.st_size); failed != 0) {
            error = {failed, std::generic_category()};
            // A partial reserve is given back; the old text is whole either way.
            [[maybe_unused]] const bool givenBack = ftruncate(fd, status.st_size) == 0;
        }
    }
    if (!error)
        error = writeAll(fd, contents);
    if (!error && ftruncate(fd, size) != 0)
        error = lastError();
    if (!error && fsync(fd) != 0)
        error = lastError();
    if (close(fd) != 0 && !error)
        error = lastError();
    return error;
}

// Whether a failure to create or rename the new file means only that this
// place cannot take a replacement: a folder the user may not write, a read-only
// folder under a file bind-mounted from elsewhere, a file that is itself a
// mount point.
bool replacingCannotWorkHere(const std::error_code& error)
{
    const int code = error.value();
    return code == EACCES || code == EPERM || code == EROFS || code == EBUSY || code == EXDEV;
}

} // namespace

ReadResult ReadAll(const std::string& path)
{
    ReadResult result;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        result.exists = error != ENOENT && error != ENOTDIR;
        if (result.exists)
            result.problem = std::generic_category().message(error);
        return result;
    }
    result.exists = true;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        result.problem = S_ISDIR(status.st_mode) ? std::generic_category().message(EISDIR) : "not a regular file";
        close(fd);
        return result;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.problem = std::generic_category().message(errno);
            result.text.clear();
            break;
        }
        result.text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return result;
}

std::error_code Replace(const std::string& path, std::string_view contents)
{
    const std::string target = finalTarget(path);
    std::error_code error;
    std::filesystem::create_directories(directoryOf(target), error);
    if (error)
        return error;

    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return {EISDIR, std::generic_category()};
    // A file made read-only stays as it is, as writing it in place would.
    if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return lastError();
    // A new file would leave the other names with the old text.
    if (exists && existing.st_nlink > 1)
        return writeInPlace(target, contents);
    // A new file gets the usual mode less the umask; an existing one keeps its
    // own, set once the file is private to this process.
    const auto [fd, temporary] = createTemporary(target, exists ? 0600 : 0666);
    if (fd < 0) {
        error = lastError();
        return exists && replacingCannotWorkHere(error) ? writeInPlace(target, contents) : error;
    }
    if (exists) {
        if (existing.st_uid != geteuid() || existing.st_gid != getegid()) {
            // Only root may hand the file back to its owner; others keep theirs.
            [[maybe_unused]] const bool ownerKept = fchown(fd, existing.st_uid, existing.st_gid) == 0;
        }
        if (fchmod(fd, existing.st_mode & 07777) != 0) {
            error = lastError();
            close(fd);
            unlink(temporary.c_str());
            return error;
        }
    }
    error = fillAndRename(fd, temporary, target, contents);
    return exists && replacingCannotWorkHere(error) ? writeInPlace(target, contents) : error;
}

} // namespace AtomicFile
