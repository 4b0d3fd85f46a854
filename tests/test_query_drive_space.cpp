#include "drivespace/AskDriveSpace.h"
#include "drivespace/DriveList.h"
#include "drivespace/GetDiskSpace.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/loop.h>
#include <sched.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

extern char** environ;
#endif

namespace {

// What free holds before a query that must fail: such a query may not touch it.
const Currency untouchedFree = Currency::fromStored(0x5EED'5EED);

// How many times a comparison with the direct system call is repeated before
// giving up on a volume whose free space keeps changing under it.
constexpr int agreementAttempts = 20;

#ifndef _WIN32

namespace fs = std::filesystem;

[[nodiscard]] std::string errnoText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

// The query and a direct statvfs of the same volume, taken at one moment: the
// query runs between two statvfs calls that agree with each other.
struct AgreedFigures {
    Currency capacity;
    Currency free;
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
    std::uint64_t availableBytes = 0;
};

[[nodiscard]] std::optional<AgreedFigures> queryBetweenStatvfs(const std::string& path)
{
    for (int attempt = 0; attempt < agreementAttempts; ++attempt) {
        struct statvfs before {};
        struct statvfs after {};
        AgreedFigures figures;
        if (statvfs(path.c_str(), &before) != 0)
            return std::nullopt;
        GetDiskSpace::QueryDriveSpace(figures.capacity, figures.free, path);
        if (statvfs(path.c_str(), &after) != 0)
            return std::nullopt;
        if (before.f_blocks != after.f_blocks || before.f_bfree != after.f_bfree || before.f_frsize != after.f_frsize)
            continue;
        figures.totalBytes = std::uint64_t{after.f_blocks} * after.f_frsize;
        figures.freeBytes = std::uint64_t{after.f_bfree} * after.f_frsize;
        figures.availableBytes = std::uint64_t{after.f_bavail} * after.f_frsize;
        return figures;
    }
    return std::nullopt;
}

// A fresh directory under the system's temporary directory, removed with all
// it holds when the owner goes away.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "quillmar-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        m_path = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }

    [[nodiscard]] const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// A file system mounted on a directory for as long as the owner lives, or the
// reason it could not be mounted.
class Mount {
public:
    Mount(const std::string& source, const fs::path& target, const char* type, const std::string& options)
    {
        if (::mount(source.c_str(), target.c_str(), type, 0, options.c_str()) == 0)
            m_target = target;
        else
            m_error = "mount -t " + std::string(type) + " " + source + " on " + target.string() +
                      " failed: " + errnoText(errno);
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
    ~Mount() { unmount(); }

    [[nodiscard]] bool mounted() const { return !m_target.empty(); }
    [[nodiscard]] const std::string& error() const { return m_error; }

    // Returns false when the file system stays mounted.
    bool unmount()
    {
        if (m_target.empty())
            return true;
        if (umount2(m_target.c_str(), 0) != 0) {
            // Something still holds it: detach it from the tree anyway so that
            // nothing of the test stays visible.
            umount2(m_target.c_str(), MNT_DETACH);
            m_target.clear();
            return false;
        }
        m_target.clear();
        return true;
    }

private:
    fs::path m_target;
    std::string m_error;
};

// An image file attached to a free loop device until the owner goes away, or
// the reason it could not be attached.
class LoopDevice {
public:
    explicit LoopDevice(const fs::path& image)
    {
        const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
        if (control < 0) {
            m_error = "cannot open /dev/loop-control: " + errnoText(errno);
            return;
        }
        const int backing = open(image.c_str(), O_RDWR | O_CLOEXEC);
        if (backing < 0)
            m_error = "cannot open " + image.string() + ": " + errnoText(errno);
        // Another process may take the free device between the two calls.
        for (int attempt = 0; backing >= 0 && attempt < 5; ++attempt) {
            const int number = ioctl(control, LOOP_CTL_GET_FREE);
            if (number < 0) {
                m_error = "no free loop device: " + errnoText(errno);
                break;
            }
            const std::string device = "/dev/loop" + std::to_string(number);
            const int fd = open(device.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) {
                m_error = "cannot open " + device + ": " + errnoText(errno);
                break;
            }
            if (ioctl(fd, LOOP_SET_FD, backing) == 0) {
                m_fd = fd;
                m_device = device;
                m_error.clear();
                break;
            }
            const int error = errno;
            close(fd);
            m_error = "cannot attach " + image.string() + " to " + device + ": " + errnoText(error);
            if (error != EBUSY)
                break;
        }
        if (backing >= 0)
            close(backing);
        close(control);
    }
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;
    ~LoopDevice()
    {
        if (m_fd < 0)
            return;
        ioctl(m_fd, LOOP_CLR_FD, 0);
        close(m_fd);
    }

    [[nodiscard]] bool attached() const { return m_fd >= 0; }
    [[nodiscard]] const std::string& device() const { return m_device; }
    [[nodiscard]] const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_device;
    std::string m_error;
};

// Runs a program found on PATH and waits for it. The exit status, or -1 with
// errno set when it could not be started.
int runProgram(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ); error != 0) {
        errno = error;
        return -1;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QueryDriveSpaceTest, RootAgreesWithStatvfs)
{
    const auto figures = queryBetweenStatvfs("/");
    ASSERT_TRUE(figures) << "the free space of / kept changing, or statvfs(\"/\") failed";
    EXPECT_EQ(figures->capacity.stored(), static_cast<std::int64_t>(figures->totalBytes));
    EXPECT_EQ(figures->free.stored(), static_cast<std::int64_t>(figures->freeBytes));
}

// The counts of "/" as a process shut in a directory by chroot sees them, or
// nullopt with the reason it could not be shut in. There "/" is no mount root,
// yet it is the root of all that process can see.
[[nodiscard]] std::optional<Currency> capacityOfRootInChroot(const fs::path& directory, std::string& whyNot)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return whyNot = "pipe: " + errnoText(errno), std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        // As root, or as root of a user namespace of one's own.
        std::int64_t answer[2] = {0, 0};
        if (geteuid() != 0 && unshare(CLONE_NEWUSER) != 0)
            answer[0] = 1;
        else if (chroot(directory.c_str()) != 0 || chdir("/") != 0)
            answer[0] = 2;
        else {
            Currency capacity;
            Currency free;
            GetDiskSpace::QueryDriveSpace(capacity, free, "/");
            answer[1] = capacity.stored();
        }
        _exit(write(pipeEnds[1], answer, sizeof answer) == sizeof answer ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::int64_t answer[2] = {-1, 0};
    const bool heard = child > 0 && read(pipeEnds[0], answer, sizeof answer) == sizeof answer;
    close(pipeEnds[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    if (!heard || answer[0] != 0) {
        whyNot = !heard           ? "the child said nothing"
                 : answer[0] == 1 ? "no user namespace to chroot in"
                                  : "chroot or chdir failed";
        return std::nullopt;
    }
    return Currency::fromStored(answer[1]);
}

TEST(QueryDriveSpaceTest, RootOfAChrootThatIsNoMountPointAnswers)
{
    const TempDir jail;
    std::string whyNot;
    const std::optional<Currency> capacity = capacityOfRootInChroot(jail.path(), whyNot);
    if (!capacity)
        GTEST_SKIP() << "cannot chroot: " << whyNot;
    struct statvfs volume {};
    ASSERT_EQ(statvfs(jail.path().c_str(), &volume), 0) << errnoText(errno);
    EXPECT_EQ(capacity->stored(), static_cast<std::int64_t>(std::uint64_t{volume.f_blocks} * volume.f_frsize));
}

// Paths that are not the root of a mounted volume, made inside a scratch
// directory that is itself only a directory of the volume below it.
struct NotARootCase {
    const char* name;
    std::string (*path)(const fs::path& scratch);
};

const NotARootCase notARootCases[] = {
    {"MissingPath", [](const fs::path& scratch) { return (scratch / "absent").string(); }},
    {"PlainDirectory", [](const fs::path& scratch) { return scratch.string(); }},
    {"PlainDirectoryWithSlash", [](const fs::path& scratch) { return scratch.string() + "/"; }},
    {"RegularFile", [](const fs::path& scratch) { return (scratch / "file").string(); }},
    {"EmptyPath", [](const fs::path&) { return std::string(); }},
};

void PrintTo(const NotARootCase& c, std::ostream* out)
{
    *out << c.name;
}

class NotARootTest : public testing::TestWithParam<NotARootCase> {};

TEST_P(NotARootTest, FailsAndLeavesFreeAlone)
{
    const TempDir scratch;
    const int file = open((scratch.path() / "file").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(file, 0) << errnoText(errno);
    close(file);

    Currency capacity = Currency::fromStored(1);
    Currency free = untouchedFree;
    GetDiskSpace::QueryDriveSpace(capacity, free, GetParam().path(scratch.path()));
    EXPECT_EQ(capacity.stored(), FailureValue.stored());
    EXPECT_EQ(free.stored(), untouchedFree.stored());
}

INSTANTIATE_TEST_SUITE_P(Table, NotARootTest, testing::ValuesIn(notARootCases), RowName{});

// Tests that mount file systems of their own on temporary directories.
class MountedVolumeTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "mounting a test file system needs root; running as uid " << geteuid();
    }
};

struct TmpfsCase {
    const char* name;
    const char* sizeOption; // tmpfs size=, in whole pages
    std::int64_t size;
    bool fill;
    std::int64_t free;
};

constexpr TmpfsCase tmpfsCases[] = {
    {"Empty", "size=4m", 4 * 1024 * 1024, false, 4 * 1024 * 1024},
    {"Full", "size=1m", 1024 * 1024, true, 0},
};

void PrintTo(const TmpfsCase& c, std::ostream* out)
{
    *out << c.name;
}

class TmpfsTest : public MountedVolumeTest, public testing::WithParamInterface<TmpfsCase> {};

// Writes into dir until the volume holding it refuses more.
void fillVolume(const fs::path& dir)
{
    const int fd = open((dir / "filler").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << errnoText(errno);
    const std::vector<char> chunk(64 * 1024, 'q');
    // Far more than any volume these tests mount can hold.
    constexpr int maxChunks = 1024;
    int error = 0;
    for (int i = 0; i < maxChunks && error == 0; ++i)
        if (write(fd, chunk.data(), chunk.size()) < 0)
            error = errno;
    close(fd);
    ASSERT_EQ(error, ENOSPC) << errnoText(error);
}

TEST_P(TmpfsTest, ReportsItsSizeAndFreeBytes)
{
    const auto& c = GetParam();
    const TempDir dir;
    Mount tmpfs("tmpfs", dir.path(), "tmpfs", c.sizeOption);
    if (!tmpfs.mounted())
        GTEST_SKIP() << tmpfs.error();
    if (c.fill) {
        ASSERT_NO_FATAL_FAILURE(fillVolume(dir.path()));
    }

    Currency capacity;
    Currency free = untouchedFree;
    GetDiskSpace::QueryDriveSpace(capacity, free, dir.path().string());
    EXPECT_EQ(capacity.stored(), c.size);
    EXPECT_EQ(free.stored(), c.free);
}

INSTANTIATE_TEST_SUITE_P(Table, TmpfsTest, testing::ValuesIn(tmpfsCases), RowName{});

// Once its volume is unmounted, a mount point is a plain directory of the
// volume below; the query must fail rather than report that other volume.
TEST_F(MountedVolumeTest, UnmountedMountPointFails)
{
    const TempDir dir;
    Mount tmpfs("tmpfs", dir.path(), "tmpfs", "size=4m");
    if (!tmpfs.mounted())
        GTEST_SKIP() << tmpfs.error();
    Currency capacity;
    Currency free = untouchedFree;
    GetDiskSpace::QueryDriveSpace(capacity, free, dir.path().string());
    ASSERT_EQ(capacity.stored(), 4 * 1024 * 1024);

    ASSERT_TRUE(tmpfs.unmount()) << "tmpfs on " << dir.path() << " stayed busy";
    free = untouchedFree;
    GetDiskSpace::QueryDriveSpace(capacity, free, dir.path().string());
    EXPECT_EQ(capacity.stored(), FailureValue.stored());
    EXPECT_EQ(free.stored(), untouchedFree.stored());
}

// A mount point that is not UTF-8 ("caf" and a Latin-1 e-acute) is listed with
// its exact bytes, and the query of those bytes answers for the drive.
TEST_F(MountedVolumeTest, NonUtf8MountPointIsListedAndAnswers)
{
    const TempDir dir;
    const fs::path mountPoint = dir.path() / "caf\xe9";
    fs::create_directory(mountPoint);
    Mount tmpfs("tmpfs", mountPoint, "tmpfs", "size=1m");
    if (!tmpfs.mounted())
        GTEST_SKIP() << tmpfs.error();

    const auto drives = DriveList::ListDrives();
    const std::size_t index = DriveList::IndexOfRoot(drives, mountPoint.string());
    ASSERT_LT(index, drives.size()) << mountPoint << " is not listed";
    EXPECT_EQ(drives[index].rootPath, mountPoint.string());
    Currency capacity;
    Currency free = untouchedFree;
    GetDiskSpace::QueryDriveSpace(capacity, free, drives[index].rootPath);
    EXPECT_EQ(capacity.stored(), 1024 * 1024);
}

// ext4 keeps blocks in reserve for the superuser. Free counts them: it is the
// volume's total free space, not what an ordinary user may still write.
TEST_F(MountedVolumeTest, FreeIncludesTheSuperusersReserve)
{
    const TempDir dir;
    const fs::path image = dir.path() / "volume.ext4";
    const fs::path mountPoint = dir.path() / "mnt";
    fs::create_directory(mountPoint);
    {
        const int fd = open(image.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0) << errnoText(errno);
        const int truncated = ftruncate(fd, 16 * 1024 * 1024);
        close(fd);
        ASSERT_EQ(truncated, 0) << errnoText(errno);
    }
    const int status = runProgram({"mkfs.ext4", "-q", "-F", "-m", "5", image.string()});
    if (status == -1 && errno == ENOENT)
        GTEST_SKIP() << "mkfs.ext4 is not on PATH (Debian package e2fsprogs)";
    ASSERT_EQ(status, 0) << "mkfs.ext4 -m 5 on " << image << " failed";

    const LoopDevice loop(image);
    if (!loop.attached())
        GTEST_SKIP() << loop.error();
    const Mount ext4(loop.device(), mountPoint, "ext4", "");
    if (!ext4.mounted())
        GTEST_SKIP() << ext4.error();

    const auto figures = queryBetweenStatvfs(mountPoint.string());
    ASSERT_TRUE(figures) << "the free space of " << mountPoint << " kept changing";
    ASSERT_NE(figures->freeBytes, figures->availableBytes) << "mkfs.ext4 -m 5 reserved no blocks";
    EXPECT_EQ(figures->capacity.stored(), static_cast<std::int64_t>(figures->totalBytes));
    EXPECT_EQ(figures->free.stored(), static_cast<std::int64_t>(figures->freeBytes));
    EXPECT_NE(figures->free.stored(), static_cast<std::int64_t>(figures->availableBytes));
}

#else

TEST(QueryDriveSpaceTest, SystemDriveAgreesWithGetDiskFreeSpaceEx)
{
    bool agreed = false;
    for (int attempt = 0; attempt < agreementAttempts && !agreed; ++attempt) {
        ULARGE_INTEGER available{};
        ULARGE_INTEGER totalBefore{};
        ULARGE_INTEGER freeBefore{};
        ULARGE_INTEGER totalAfter{};
        ULARGE_INTEGER freeAfter{};
        ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &totalBefore, &freeBefore));
        Currency capacity;
        Currency free;
        GetDiskSpace::QueryDriveSpace(capacity, free, "C:\\");
        ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &totalAfter, &freeAfter));
        if (totalBefore.QuadPart != totalAfter.QuadPart || freeBefore.QuadPart != freeAfter.QuadPart)
            continue;
        agreed = true;
        EXPECT_EQ(capacity.stored(), static_cast<std::int64_t>(totalAfter.QuadPart));
        EXPECT_EQ(free.stored(), static_cast<std::int64_t>(freeAfter.QuadPart));
    }
    EXPECT_TRUE(agreed) << "the free space of C:\\ kept changing";
}

// Root paths that name no readable drive.
struct NoDriveCase {
    const char* name;
    std::string (*path)();
};

const NoDriveCase noDriveCases[] = {
    {"MissingDriveLetter",
     [] {
         // The last letter that names no drive, or nothing when all 26 are taken.
         const DWORD drives = GetLogicalDrives();
         for (char letter = 'Z'; letter >= 'A'; --letter)
             if ((drives & (DWORD{1} << (letter - 'A'))) == 0)
                 return std::string(1, letter) + ":\\";
         return std::string();
     }},
    {"MissingDirectory", [] { return std::string("C:\\quillmar-no-such-directory\\"); }},
};

void PrintTo(const NoDriveCase& c, std::ostream* out)
{
    *out << c.name;
}

class NoDriveTest : public testing::TestWithParam<NoDriveCase> {};

TEST_P(NoDriveTest, FailsAndLeavesFreeAlone)
{
    const std::string path = GetParam().path();
    if (path.empty())
        GTEST_SKIP() << "every drive letter is in use";
    Currency capacity = Currency::fromStored(1);
    Currency free = untouchedFree;
    GetDiskSpace::QueryDriveSpace(capacity, free, path);
    EXPECT_EQ(capacity.stored(), FailureValue.stored()) << path;
    EXPECT_EQ(free.stored(), untouchedFree.stored()) << path;
}

INSTANTIATE_TEST_SUITE_P(Table, NoDriveTest, testing::ValuesIn(noDriveCases), RowName{});

#endif

// The platform's asker on the system drive, a local disk: asked again, it is
// answered in place (on Windows the first ask finds out on a thread that it is
// a fixed disk). Both answers are the volume's.
TEST(QueryDriveSpaceTest, ThePlatformAskerAnswersTheSystemDrive)
{
#ifdef _WIN32
    const std::string system = "C:\\";
#else
    const std::string system = "/";
#endif
    Currency capacity;
    Currency free;
    GetDiskSpace::QueryDriveSpace(capacity, free, system);
    const AskDriveSpace ask = platformDriveSpaceAsker();
    for (int i = 0; i < 2; ++i) {
        Currency asked = FailureValue;
        EXPECT_TRUE(ask(asked, free, system, std::chrono::seconds(10), nullptr));
        EXPECT_EQ(asked, capacity) << "ask " << i;
    }
}

} // namespace
