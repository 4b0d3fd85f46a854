#include "settings/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>
#include <utility>

namespace AtomicFile {

namespace {

std::string errorText(int code)
{
    return std::generic_category().message(code);
}

std::string unreadable(const std::string& why)
{
    return "the file could not be read (" + why + "), so it is left as it is";
}

// An open file descriptor, closed when it goes.
struct Descriptor {
    explicit Descriptor(int opened = -1) : fd(opened) {}
    Descriptor(Descriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(fd, other.fd);
        return *this;
    }
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    int fd;
};

// The directory part of a path and its last name.
std::pair<std::string, std::string> split(const std::filesystem::path& path)
{
    return {path.has_parent_path() ? path.parent_path().string() : ".", path.filename().string()};
}

// Where the file is: the folder that holds it and its name there, whether it is
// there, and whose it must be; a problem when it is to be left alone.
struct Place {
    Descriptor folder;
    std::string name;
    bool exists = false;
    uid_t owner = 0;
    gid_t group = 0;
    std::string problem;
};

// Moves the place to the link's target, whose folder is opened relative to the
// link's, so that a relative link leads where it says.
void followLink(Place& place, const struct stat& link)
{
    if (link.st_uid != place.owner) {
        place.problem = "it is a link of another user, so it is left as it is";
        return;
    }
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlinkat(place.folder.fd, place.name.c_str(), target.data(), target.size());
    target.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    auto [directory, name] = split(target);
    place.folder = Descriptor(openat(place.folder.fd, directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    place.name = std::move(name);
    struct stat status {};
    if (length <= 0 || fstatat(place.folder.fd, place.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        place.problem = "it is a link to no file that can be reached, so it is left as it is";
}

Place placeOf(const std::string& path)
{
    Place place;
    auto [directory, name] = split(path);
    place.name = std::move(name);
    place.folder = Descriptor(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (place.folder.fd < 0 || fstat(place.folder.fd, &status) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            place.problem = unreadable(errorText(errno));
        return place;
    }
    place.owner = status.st_uid;
    place.group = status.st_gid;
    place.exists = fstatat(place.folder.fd, place.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (place.exists && S_ISLNK(status.st_mode))
        followLink(place, status);
    return place;
}

// The file opened with flags, never through a link, when its descriptor shows a regular
// file of the place's owner; else a problem, worded for reading (O_RDONLY) or writing.
Descriptor openChecked(const Place& place, int flags, struct stat& status, std::string& problem)
{
    Descriptor file(
        openat(place.folder.fd, place.name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    std::string why;
    if (file.fd < 0 || fstat(file.fd, &status) != 0)
        why = errorText(errno);
    else if (!S_ISREG(status.st_mode))
        why = S_ISDIR(status.st_mode) ? errorText(EISDIR) : "not a regular file";
    else if (status.st_uid != place.owner)
        problem = "it belongs to another user than its folder, so it is left as it is";
    else
        return file;
    if (!why.empty())
        problem = flags == O_RDONLY ? unreadable(why) : why;
    return Descriptor();
}

// The call's errno, 0 for success; the hook may fail it first.
template <class Call> int checkedCall(const CallHook& hook, std::string_view name, Call call)
{
    if (const int injected = hook ? hook(name) : 0)
        return injected;
    return call() < 0 ? errno : 0;
}

// Writes text at the start of the file, in one write unless it is cut short.
int writeAllAt(int fd, std::string_view text, const CallHook& hook)
{
    for (off_t at = 0; !text.empty();) {
        ssize_t written = 0;
        const int error =
            checkedCall(hook, "pwrite", [&] { return written = pwrite(fd, text.data(), text.size(), at); });
        if (error == EINTR)
            continue;
        if (error || written == 0)
            return error ? error : EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
        at += written;
    }
    return 0;
}

// Writes text over a file of `length` bytes and flushes it, never shortening the file
// before the text is on the disk: a shorter text is padded to that length with a
// comment line ("#" and blanks, on a line of its own), cut off only once flushed.
int overwrite(int fd, std::string_view text, std::size_t length, const CallHook& hook)
{
    std::string padded(text);
    if (text.size() < length) {
        padded += text.empty() || text.ends_with('\n') || text.ends_with('\r') ? "#" : "\n#";
        padded.resize(length, ' ');
    }
    const auto flush = [fd] { return fsync(fd); };
    if (const int error = writeAllAt(fd, padded, hook))
        return error;
    if (const int error = checkedCall(hook, "fsync", flush); error || text.size() >= length)
        return error;
    if (const int error =
            checkedCall(hook, "ftruncate", [&] { return ftruncate(fd, static_cast<off_t>(text.size())); }))
        return error;
    return checkedCall(hook, "fsync", flush);
}

// Rewrites a file that cannot be replaced. A longer text's room is reserved first,
// without growing the file, so that a full disk fails before anything is written; a
// failure after that puts the old text back. The text goes in one write: a kill cannot
// cut a write short within one page, so a file of up to a page holds one whole text.
int rewriteInPlace(int fd, const struct stat& status, std::string_view contents, const CallHook& hook)
{
    std::string old(static_cast<std::size_t>(status.st_size), '\0');
    if (pread(fd, old.data(), old.size(), 0) != status.st_size)
        return errno ? errno : EIO;
    if (contents.size() > old.size()) {
        const int error = checkedCall(hook, "fallocate", [&] {
            return fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(contents.size()));
        });
        if (error && error != EOPNOTSUPP)
            return error;
    }
    const int error = overwrite(fd, contents, old.size(), hook);
    struct stat now {};
    if (error && fstat(fd, &now) == 0 && static_cast<std::size_t>(now.st_size) >= old.size())
        overwrite(fd, old, static_cast<std::size_t>(now.st_size), {});
    return error;
}

// Writes and flushes a new file beside the old one (null when none), renames it over it;
// it belongs to the old one's owner or, when root makes a new one, to the folder's.
int replaceByRename(const Place& place, const struct stat* old, std::string_view contents)
{
    // A file of this name can only be one a killed run with this process id left.
    const std::string temporary = "." + place.name + "." + std::to_string(getpid());
    unlinkat(place.folder.fd, temporary.c_str(), 0);
    const Descriptor file(openat(place.folder.fd, temporary.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, old ? 0600 : 0666));
    if (file.fd < 0)
        return errno;
    const uid_t owner = old ? old->st_uid : place.owner;
    const gid_t group = old ? old->st_gid : place.group;
    if ((old || geteuid() == 0) && (owner != geteuid() || group != getegid())) {
        // Only root may give a file away; others keep theirs.
        [[maybe_unused]] const bool given = fchown(file.fd, owner, group) == 0;
    }
    int error = old && fchmod(file.fd, old->st_mode & 07777) != 0 ? errno : writeAllAt(file.fd, contents, {});
    if (!error &&
        (fsync(file.fd) != 0 || renameat(place.folder.fd, temporary.c_str(), place.folder.fd, place.name.c_str()) != 0))
        error = errno;
    if (error)
        unlinkat(place.folder.fd, temporary.c_str(), 0);
    else
        fsync(place.folder.fd); // the rename reaches the disk with the folder
    return error;
}

} // namespace

ReadResult ReadAll(const std::string& path)
{
    const Place place = placeOf(path);
    if (!place.problem.empty() || !place.exists)
        return {{}, place.problem};
    struct stat status {};
    ReadResult result;
    const Descriptor file = openChecked(place, O_RDONLY, status, result.problem);
    char buffer[65536];
    ssize_t n = 0;
    while (file.fd >= 0 && (n = read(file.fd, buffer, sizeof buffer)) != 0) {
        if (n > 0)
            result.text.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            return {{}, unreadable(errorText(errno))};
    }
    return result;
}

std::string Replace(const std::string& path, std::string_view contents, const CallHook& beforeCall)
{
    std::error_code made;
    std::filesystem::create_directories(split(path).first, made);
    if (made)
        return made.message();
    const Place place = placeOf(path);
    if (!place.problem.empty())
        return place.problem;
    struct stat status {};
    std::string problem;
    // Opened for writing too: a file made read-only stays as it is.
    const Descriptor file = place.exists ? openChecked(place, O_RDWR, status, problem) : Descriptor();
    if (!problem.empty())
        return problem;
    // A new file would leave the other names with the old text.
    const bool inPlace = place.exists && status.st_nlink > 1;
    int error = inPlace ? 0 : replaceByRename(place, place.exists ? &status : nullptr, contents);
    // A folder the user may not write, a read-only one under a file bind-mounted
    // from elsewhere, a file that is itself a mount point: only renaming fails.
    const bool cannotRename = error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
    if (place.exists && (inPlace || cannotRename))
        error = rewriteInPlace(file.fd, status, contents, beforeCall);
    return error ? errorText(error) : "";
}

} // namespace AtomicFile
