// A file system that stands for a drive whose server went away: its root can
// be looked at, but asking for its size blocks until the test lets it go, and
// so does looking at anything in it once the file "hang" exists in STATE_DIR.
//
//   fuse_blocking_fs [--healthy-until-stall] STATE_DIR MOUNT_POINT [SPARED_PROGRAM]
//
// Mounts an empty directory at MOUNT_POINT and stays in the foreground. In
// STATE_DIR it writes "ready" once the kernel has connected, and appends one
// line to "statfs.log" each time a held request comes in ("enter") and each
// time one is answered ("return"). A held request is answered only once the file
// "release" exists in STATE_DIR, when the server is told to stop, or after
// MaxHold as a safety net, so that a test that died cannot leave a mount behind
// that hangs every later look at it. Size queries of SPARED_PROGRAM (a process
// name) are answered at once: under wine the wineserver stands for the system,
// which a dead drive does not hold on Windows; only the asking thread waits.
//
// With --healthy-until-stall the drive answers its size queries at once until
// the file "stall" exists in STATE_DIR ("answer" in "statfs.log" for each): a
// drive that is shown healthy first and stops answering while it is shown.
#define FUSE_USE_VERSION 31

#include <fuse.h>
#include <fuse_lowlevel.h>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto MaxHold = 120s;
constexpr auto PollInterval = 10ms;

std::string stateDir;
std::string sparedProgram;
bool healthyUntilStall = false;

bool callerIsSpared()
{
    if (sparedProgram.empty())
        return false;
    std::string name;
    std::ifstream("/proc/" + std::to_string(fuse_get_context()->pid) + "/comm") >> name;
    return name == sparedProgram;
}

void appendLog(const char* line)
{
    std::ofstream(stateDir + "/statfs.log", std::ios::app) << line << '\n';
}

bool exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void* onInit(fuse_conn_info*, fuse_config* config)
{
    // No caching of attributes: every look at the root reaches this process.
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    std::ofstream(stateDir + "/ready") << "ready\n";
    return nullptr;
}

// Holds the request until the test lets it go.
void hold()
{
    appendLog("enter");
    // Held also ends when the server is told to stop (SIGTERM, SIGINT), so that
    // it can unmount.
    fuse_session* session = fuse_get_session(fuse_get_context()->fuse);
    const auto giveUp = std::chrono::steady_clock::now() + MaxHold;
    while (!exists(stateDir + "/release") && fuse_session_exited(session) == 0 &&
           std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(PollInterval);
    appendLog("return");
}

// The kernel looks a name up through this too.
int onGetattr(const char* path, struct stat* info, fuse_file_info*)
{
    if (exists(stateDir + "/hang"))
        hold();
    if (std::strcmp(path, "/") != 0)
        return -ENOENT;
    *info = {};
    info->st_mode = S_IFDIR | 0755;
    info->st_nlink = 2;
    return 0;
}

int onReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOENT;
    fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
    fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int fillVolume(struct statvfs* volume)
{
    *volume = {};
    volume->f_bsize = 4096;
    volume->f_frsize = 4096;
    volume->f_blocks = 1000;
    volume->f_bfree = 250;
    volume->f_bavail = 250;
    volume->f_namemax = 255;
    return 0;
}

int onStatfs(const char*, struct statvfs* volume)
{
    if (healthyUntilStall && !exists(stateDir + "/stall"))
        appendLog("answer");
    else if (!callerIsSpared())
        hold();
    return fillVolume(volume);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--healthy-until-stall") == 0) {
        healthyUntilStall = true;
        --argc;
        ++argv;
    }
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: fuse_blocking_fs [--healthy-until-stall] STATE_DIR MOUNT_POINT [SPARED_PROGRAM]\n");
        return 2;
    }
    stateDir = argv[1];
    if (argc == 4)
        sparedProgram = argv[3];
    // Ends with the test that started it, even if that test crashed.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);

    fuse_operations operations{};
    operations.init = onInit;
    operations.getattr = onGetattr;
    operations.readdir = onReaddir;
    operations.statfs = onStatfs;

    // Foreground and multi-threaded: the root still answers while a size query
    // is held.
    char program[] = "fuse_blocking_fs";
    char foreground[] = "-f";
    char option[] = "-o";
    char name[] = "fsname=quillmar-dead-drive,subtype=blocking";
    char* fuseArgv[] = {program, foreground, option, name, argv[2], nullptr};
    return fuse_main(5, fuseArgv, &operations, nullptr);
}
