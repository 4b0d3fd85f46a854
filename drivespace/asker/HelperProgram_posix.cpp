#include "drivespace/asker/HelperProgram.h"

#include "drivespace/asker/HelperProtocol.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace {

// Why a file or folder with these attributes may not be trusted; "" when it may.
std::string untrustedOwner(const struct stat& info, const std::string& what)
{
    if (info.st_uid != 0 && info.st_uid != geteuid())
        return what + " belongs to another user";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return what + " is writable by others";
    return {};
}

} // namespace

namespace HelperProgram {

std::string Untrusted(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return path + " is not an absolute path";
    struct stat file {};
    if (lstat(path.c_str(), &file) != 0)
        return path + " cannot be looked at";
    if (!S_ISREG(file.st_mode))
        return path + " is not a regular file";
    const std::string folderPath = path.substr(0, path.rfind('/') + 1);
    struct stat folder {};
    if (stat(folderPath.c_str(), &folder) != 0)
        return folderPath + " cannot be looked at";
    if (std::string why = untrustedOwner(file, path); !why.empty())
        return why;
    return untrustedOwner(folder, folderPath);
}

Found FindFor(const std::string& ownExe)
{
    if (ownExe.empty() || ownExe.front() != '/')
        return {{}, "the program's own path is unknown"};
    // The kernel's path of a program holds no link and no "..": its folder's
    // parent is its text up to the slash before the last.
    const std::string folder = ownExe.substr(0, ownExe.rfind('/') + 1);
    const std::string parent = folder.substr(0, folder.rfind('/', folder.size() - 2) + 1);
    const std::string candidates[] = {parent + "libexec/quillmar/" + HelperProtocol::ProgramName,
                                      folder + HelperProtocol::ProgramName};
    for (const std::string& candidate : candidates) {
        if (access(candidate.c_str(), F_OK) != 0)
            continue;
        if (std::string why = Untrusted(candidate); !why.empty())
            return {{}, why};
        return {candidate, {}};
    }
    return {{}, "no " + candidates[1] + " nor " + candidates[0]};
}

Found Find()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {{}, "/proc/self/exe cannot be read"};
    return FindFor(std::string(self, static_cast<std::size_t>(length)));
}

} // namespace HelperProgram
