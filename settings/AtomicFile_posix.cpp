#include "settings/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

// The directory part of a path and its last name.
std::pair<std::string, std::string> split(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Where the file is: the folder that holds it and its name there, whether it is
// there, and whose it must be. A problem when it is to be left alone.
struct Place {
    Descriptor folder;
    std::string name;
    bool exists = false;
    uid_t owner = 0;
    gid_t group = 0;
    std::string problem;
};

// The link's target, with its folder opened relative to the link's.
void followLink(Place& place, const struct stat& link)
{
    if (link.st_uid != place.owner) {
        place.problem = "it is a link of another user, so it is left as it is";
        return;
    }
    std::string target(static_cast<std::size_t>(link.st_size) + 1, '\0');
    const ssize_t length = readlinkat(place.folder.get(), place.name.c_str(), target.data(), target.size());
    target.resize(static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
    auto [directory, name] = split(target);
    place.folder = Descriptor(openat(place.folder.get(), directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    place.name = std::move(name);
    struct stat status {};
    if (length <= 0 || place.folder.get() < 0 ||
        fstatat(place.folder.get(), place.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        place.problem = "it is a link to no file that can be reached, so it is left as it is";
}

Place placeOf(const std::string& path)
{
    Place place;
    auto [directory, name] = split(path);
    place.name = std::move(name);
    place.folder = Descriptor(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (place.folder.get() < 0 || fstat(place.folder.get(), &status) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            place.problem = unreadable(errorText(errno));
        return place;
    }
    place.owner = status.st_uid;
    place.group = status.st_gid;
    place.exists = fstatat(place.folder.get(), place.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (place.exists && S_ISLNK(status.st_mode))
        followLink(place, status);
    return place;
}

// The file opened with flags, never through a link, and checked on the
// descriptor: a regular file of the place's owner. Its status on success, else
// a problem, said as the reading (O_RDONLY) or the writing needs it.
Descriptor openChecked(const Place& place, int flags, struct stat& status, std::string& problem)
{
    Descriptor file(openat(place.folder.get(), place.name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    std::string why;
    if (file.get() < 0 || fstat(file.get(), &status) != 0)
        why = errorText(errno);
    else if (S_ISDIR(status.st_mode))
        why = errorText(EISDIR);
    else if (!S_ISREG(status.st_mode))
        why = "not a regular file";
    else if (status.st_uid != place.owner)
        problem = "it belongs to another user than its folder, so it is left as it is";
    else
        return file;
    if (!why.empty())
        problem = flags == O_RDONLY ? unreadable(why) : why;
    return Descriptor();
}

// The call's result as an errno, 0 for success; the hook may fail it first.
template <class Call> int checkedCall(const CallHook& hook, std::string_view name, Call call)
{
    if (const int injected = hook ? hook(name) : 0)
        return injected;
    return call() < 0 ? errno : 0;
}

int writeAllAt(int fd, std::string_view text, const CallHook& hook)
{
    for (off_t at = 0; !text.empty();) {
        ssize_t written = 0;
        const int error = checkedCall(hook, "pwrite", [&] { return written = pwrite(fd, text.data(), text.size(), at); });
        if (error == EINTR)
            continue;
        if (error || written == 0)
            return error ? error : EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
        at += written;
    }
    return 0;
}

// A comment line that fills `length` bytes after text, starting on a line of
// its own.
std::string padding(std::string_view text, std::size_t length)
{
    std::string pad = text.empty() || text.ends_with('\n') || text.ends_with('\r') ? "#" : "\n#";
    pad.resize(length, ' ');
    return pad;
}

// Writes text over the start of a file of `length` bytes and flushes it. The
// file never gets shorter before the text is on the disk: a shorter text is
// written padded to that length with a comment line and flushed, and only then
// is the file cut to the text.
int overwrite(int fd, std::string_view text, std::size_t length, const CallHook& hook)
{
    const std::string padded = text.size() < length ? std::string(text) + padding(text, length - text.size()) : "";
    if (const int error = writeAllAt(fd, padded.empty() ? text : padded, hook))
        return error;
    if (const int error = checkedCall(hook, "fsync", [fd] { return fsync(fd); }); error || padded.empty())
        return error;
    if (const int error = checkedCall(hook, "ftruncate", [&] { return ftruncate(fd, static_cast<off_t>(text.size())); }))
        return error;
    return checkedCall(hook, "fsync", [fd] { return fsync(fd); });
}

// Rewrites the file's bytes, for a file that cannot be replaced. The text goes
// in one write of the whole: a kill cannot cut a write short within one page of
// the page cache, so a file of up to a page shows the old text or the new one.
// The room a longer text needs is reserved first, without growing the file, so
// that a full disk fails before anything is written; a write that fails all the
// same puts the old text back.
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

// A new file beside the old one, hidden and named after it; its descriptor and
// name.
std::pair<Descriptor, std::string> createTemporary(const Place& place, mode_t mode)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + place.name + "." + std::to_string(getpid()) + "." + std::to_string(attempt);
        Descriptor fd(openat(place.folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (fd.get() >= 0 || errno != EEXIST)
            return {std::move(fd), std::move(name)};
    }
    return {Descriptor(), std::string()};
}

// Writes and flushes a new file and renames it over the old one (old is null
// when there is none). The new file belongs to whom the old one did, or, when
// root writes a new one, to the folder's owner.
int replaceByRename(const Place& place, const struct stat* old, std::string_view contents)
{
    auto [fd, temporary] = createTemporary(place, old ? 0600 : 0666);
    if (fd.get() < 0)
        return errno;
    const uid_t owner = old ? old->st_uid : place.owner;
    const gid_t group = old ? old->st_gid : place.group;
    if ((old || geteuid() == 0) && (owner != geteuid() || group != getegid())) {
        // Only root may give a file away; others keep theirs.
        [[maybe_unused]] const bool given = fchown(fd.get(), owner, group) == 0;
    }
    int error = 0;
    if (old && fchmod(fd.get(), old->st_mode & 07777) != 0)
        error = errno;
    else
        error = writeAllAt(fd.get(), contents, {});
    if (!error && (fsync(fd.get()) != 0 || renameat(place.folder.get(), temporary.c_str(), place.folder.get(),
                                                    place.name.c_str()) != 0))
        error = errno;
    if (error)
        unlinkat(place.folder.get(), temporary.c_str(), 0);
    else
        fsync(place.folder.get()); // the rename reaches the disk with the folder
    return error;
}

// Whether a failure to create or rename the new file means only that this
// place cannot take a replacement: a folder the user may not write, a read-only
// folder under a file bind-mounted from elsewhere, a file that is itself a
// mount point.
bool replacingCannotWorkHere(int error)
{
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

} // namespace

ReadResult ReadAll(const std::string& path)
{
    const Place place = placeOf(path);
    if (!place.problem.empty() || !place.exists)
        return {!place.problem.empty(), {}, place.problem};
    struct stat status {};
    ReadResult result{true, {}, {}};
    const Descriptor fd = openChecked(place, O_RDONLY, status, result.problem);
    char buffer[65536];
    ssize_t n = 0;
    while (fd.get() >= 0 && (n = read(fd.get(), buffer, sizeof buffer)) != 0) {
        if (n > 0)
            result.text.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            return {true, {}, unreadable(errorText(errno))};
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
    if (!place.exists) {
        const int error = replaceByRename(place, nullptr, contents);
        return error ? errorText(error) : "";
    }
    struct stat status {};
    std::string problem;
    // Opened for writing too: a file made read-only stays as it is.
    const Descriptor file = openChecked(place, O_RDWR, status, problem);
    if (file.get() < 0)
        return problem;
    // A new file would leave the other names with the old text.
    int error = status.st_nlink > 1 ? 0 : replaceByRename(place, &status, contents);
    if (status.st_nlink > 1 || replacingCannotWorkHere(error))
        error = rewriteInPlace(file.get(), status, contents, beforeCall);
    return error ? errorText(error) : "";
}

} // namespace AtomicFile
