#include "drivespace/drives/DriveList.h"
#include "drivespace/mounts/MountInfo.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace DriveList {
// Readable failures: the entry as the list would show it, with its root.
void PrintTo(const DriveEntry& entry, std::ostream* out)
{
    *out << '{' << '"' << entry.text << "\", \"" << entry.rootPath << "\"}";
}
} // namespace DriveList

namespace {

using DriveList::DriveEntry;

// As /dev/disk/by-label and sysfs give them: label, device node, numbers.
const std::vector<MountInfo::VolumeLabel> labels{
    {"home", "sda3", "8:3"},
    {"BACKUP", "sdb1", "8:17"},
    {"Data Vault", "dm-1", "253:1"},
};

struct MountTableCase {
    const char* name;
    const char* mountInfo;
    std::vector<DriveEntry> drives;
};

const MountTableCase mountTableCases[] = {
    {"TypicalDesktop",
     "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
     "23 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
     "24 22 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw\n"
     "25 22 0:5 / /dev rw,nosuid,relatime shared:8 - devtmpfs udev rw,size=8147332k,mode=755\n"
     "26 25 0:23 / /dev/pts rw,nosuid,noexec,relatime shared:3 - devpts devpts rw,gid=5,mode=620\n"
     "27 22 0:24 / /run rw,nosuid,nodev,noexec,relatime shared:5 - tmpfs tmpfs rw,size=1635408k,mode=755\n"
     "28 25 0:25 / /dev/shm rw,nosuid,nodev shared:4 - tmpfs tmpfs rw\n"
     "29 24 0:26 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:9 - cgroup2 cgroup2 rw\n"
     "30 23 0:27 / /proc/sys/fs/binfmt_misc rw,relatime shared:13 - autofs systemd-1 rw,fd=29,pgrp=1\n"
     "31 22 8:1 / /boot/efi rw,relatime shared:30 - vfat /dev/sda1 rw,fmask=0077,dmask=0077\n"
     "32 22 8:3 / /home rw,relatime shared:31 - ext4 /dev/sda3 rw\n"
     "33 27 0:28 / /run/user/1000 rw,nosuid,nodev,relatime shared:400 - tmpfs tmpfs rw,mode=700,uid=1000\n"
     "34 22 8:17 / /media/anna/BACKUP rw,nosuid,nodev,relatime shared:410 - vfat /dev/sdb1 rw,uid=1000\n"
     "35 22 0:45 / /mnt/nas rw,relatime shared:420 - nfs4 nas.local:/export/media rw,vers=4.2\n"
     "36 22 0:46 / /mnt/office rw,relatime shared:430 - cifs //fileserver/office rw,vers=3.1.1\n"
     "37 32 0:47 / /home/anna/remote rw,nosuid,nodev,relatime shared:440 - fuse.sshfs anna@build:/srv rw\n"
     "38 22 8:3 /anna/projects /srv/projects rw,relatime shared:31 - ext4 /dev/sda3 rw\n"
     "39 22 8:33 / /mnt/data rw,relatime shared:450 - ext4 /dev/sdc1 rw\n"
     "40 22 8:33 / /data rw,relatime shared:451 - ext4 /dev/sdc1 rw\n"
     "41 22 7:1 / /snap/core22/1122 ro,nodev,relatime shared:460 - squashfs /dev/loop1 ro\n"
     "42 22 0:50 / /var/lib/docker/overlay2/9f3a/merged rw,relatime shared:470 - overlay overlay rw,lowerdir=/l\n"
     "43 27 0:4 net:[4026532761] /run/docker/netns/1a2b rw shared:480 - nsfs nsfs rw\n"
     "44 22 8:49 / /mnt/My\\040Files rw,relatime shared:490 - ext4 /dev/sdd1 rw\n"
     "45 22 0:52 / /tmp rw,nosuid,nodev shared:500 - tmpfs tmpfs rw\n",
     {
         {"/ [/dev/sda2]", "/"},
         {"/boot/efi [/dev/sda1]", "/boot/efi"},
         {"/home [home]", "/home"},
         {"/media/anna/BACKUP [BACKUP]", "/media/anna/BACKUP"},
         {"/mnt/nas [nas.local:/export/media]", "/mnt/nas"},
         {"/mnt/office [//fileserver/office]", "/mnt/office"},
         {"/home/anna/remote [anna@build:/srv]", "/home/anna/remote"},
         {"/data [/dev/sdc1]", "/data"},
         {"/mnt/My Files [/dev/sdd1]", "/mnt/My Files"},
         {"/tmp [tmpfs]", "/tmp"},
     }},
    {"RootListedLateComesFirst",
     "30 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/media/usb [BACKUP]", "/media/usb"}}},
    {"ContainerRootOverlayKept",
     "500 480 0:60 / / rw,relatime - overlay overlay rw,lowerdir=/a:/b,upperdir=/c\n"
     "501 500 0:61 / /proc rw - proc proc rw\n"
     "502 500 0:62 / /dev rw - tmpfs tmpfs rw,size=65536k\n"
     "503 500 0:63 / /var/lib/containers/storage/overlay/x/merged rw - overlay overlay rw\n"
     "504 500 0:64 / /opt/layer rw - overlay overlay rw\n"
     "505 500 254:1 /srv/share /work rw - ext4 /dev/vdb rw\n",
     {{"/ [overlay]", "/"}, {"/work [/dev/vdb]", "/work"}}},
    {"MountOnTopHidesTheOneBelow",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "40 22 0:40 / /mnt/auto rw - autofs systemd-1 rw,fd=50\n"
     "41 40 0:41 / /mnt/auto rw - nfs server:/auto rw\n"
     "42 22 8:33 / /mnt/disk rw - ext4 /dev/sdc1 rw\n"
     "43 42 8:49 / /mnt/disk rw - ext4 /dev/sdd1 rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/mnt/auto [server:/auto]", "/mnt/auto"}, {"/mnt/disk [/dev/sdd1]", "/mnt/disk"}}},
    // A drive at /mnt/a/b, then another file system over /mnt/a with its own
    // /mnt/a/b: the first, and what was mounted on it, are out of reach.
    {"OverMountedParentHidesTheMountsBelowIt",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "30 22 8:17 / /mnt/a/b rw - ext4 /dev/sdb1 rw\n"
     "33 30 8:50 / /mnt/a/b/c rw - ext4 /dev/sde1 rw\n"
     "31 22 8:33 / /mnt/a rw - ext4 /dev/sdc1 rw\n"
     "32 31 8:49 / /mnt/a/b rw - ext4 /dev/sdd1 rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/mnt/a [/dev/sdc1]", "/mnt/a"}, {"/mnt/a/b [/dev/sdd1]", "/mnt/a/b"}}},
    // A mount made on "/" is not where this process's lookups start: the
    // root it has stays the drive of "/", with what is mounted on it.
    {"MountMadeOnTheRootLeavesTheRoot",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "30 22 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n"
     "31 22 0:40 / / rw - fuse.sshfs me@host: rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/mnt/usb [BACKUP]", "/mnt/usb"}}},
    // The kernel writes such bytes as they are; the root path keeps them.
    {"NonUtf8MountPoint",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "23 22 8:17 / /media/caf\xe9 rw - vfat /dev/sdb1 rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/media/caf\xe9 [BACKUP]", "/media/caf\xe9"}}},
    {"SameLengthMountsKeepTheWholeFileSystem",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "23 22 8:17 /sub /mnt/b rw - ext4 /dev/sdb1 rw\n"
     "24 22 8:17 / /mnt/a rw - ext4 /dev/sdb1 rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/mnt/a [BACKUP]", "/mnt/a"}}},
    {"EscapesInPointAndSource",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "23 22 0:40 / /mnt/tab\\011and\\134slash rw - cifs //nas/my\\040share rw\n",
     {{"/ [/dev/sda2]", "/"}, {"/mnt/tab\tand\\slash [//nas/my share]", "/mnt/tab\tand\\slash"}}},
    {"MalformedLinesSkipped",
     "\n"
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "garbage\n"
     "23 22 8:17 / /mnt/nodash rw ext4 /dev/sdb1 rw\n"
     "24 22 8:18 / /mnt/notype rw -\n"
     "25 22 8:19 / /mnt/last rw shared:7 master:2 - ext4 /dev/sdb3 rw",
     {{"/ [/dev/sda2]", "/"}, {"/mnt/last [/dev/sdb3]", "/mnt/last"}}},
    {"RunHoldsMediaButNotItsTmpfs",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "23 22 0:24 / /run rw - tmpfs tmpfs rw\n"
     "24 23 8:17 / /run/media/anna/STICK rw - vfat /dev/sdb1 rw\n"
     "25 23 0:30 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
     "26 22 0:31 / /runner rw - tmpfs tmpfs rw\n",
     {{"/ [/dev/sda2]", "/"},
      {"/run/media/anna/STICK [BACKUP]", "/run/media/anna/STICK"},
      {"/runner [tmpfs]", "/runner"}}},
    {"ContainerAndSnapPlumbingDropped",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "23 22 8:33 / /var/lib/docker rw - ext4 /dev/sdc1 rw\n"
     "24 23 0:40 / /var/lib/docker/containers/ab/mounts/shm rw - tmpfs shm rw\n"
     "25 22 7:5 / /snap/firefox/4336 ro - squashfs /dev/loop5 ro\n"
     "26 22 0:41 / /snap/hello/20 ro - fuse.snapfuse snapfuse ro\n"
     "27 22 0:42 / /var/lib/lxcfs rw - fuse.lxcfs lxcfs rw\n"
     "28 22 0:43 / /mnt/ntfs rw - fuseblk /dev/sdd1 rw\n"
     "29 22 0:44 / /srv/ramdisk rw - ramfs ramfs rw\n",
     {{"/ [/dev/sda2]", "/"},
      {"/var/lib/docker [/dev/sdc1]", "/var/lib/docker"},
      {"/mnt/ntfs [/dev/sdd1]", "/mnt/ntfs"}}},
    {"LabelOfAMappedDevice",
     "22 1 253:0 / / rw - ext4 /dev/mapper/vg-root rw\n"
     "23 22 253:1 / /srv/data rw - xfs /dev/mapper/vg-data rw\n",
     {{"/ [/dev/mapper/vg-root]", "/"}, {"/srv/data [Data Vault]", "/srv/data"}}},
    // A user's FUSE mount whose source names a path through another mount: it
    // is never looked up. A btrfs volume's numbers are not its device's; its
    // source names the labelled node.
    {"SourcesMatchedByDeviceNumbersOnly",
     "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
     "23 22 0:77 / /home/eve/x rw - fuse.hang /dev/../home/eve/hung/sdb1 rw\n"
     "24 22 0:78 / /srv/pool rw - btrfs /dev/sdb1 rw\n",
     {{"/ [/dev/sda2]", "/"},
      {"/home/eve/x [/dev/../home/eve/hung/sdb1]", "/home/eve/x"},
      {"/srv/pool [BACKUP]", "/srv/pool"}}},
    // In a chroot whose root is no mount point of its own the table has no
    // line for "/" (the mount holding it lies outside), or none at all when
    // /proc is not mounted there: "/" is listed all the same.
    {"ChrootWithoutItsOwnRootMount",
     "300 200 0:5 / /proc rw - proc proc rw\n"
     "301 200 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n",
     {{"/", "/"}, {"/mnt/usb [BACKUP]", "/mnt/usb"}}},
    {"EmptyTable", "", {{"/", "/"}}},
};

void PrintTo(const MountTableCase& c, std::ostream* out)
{
    *out << c.name;
}

class DrivesFromMountInfoTest : public testing::TestWithParam<MountTableCase> {};

TEST_P(DrivesFromMountInfoTest, ListsEachUserFileSystemOnce)
{
    const auto& c = GetParam();
    const auto labelsBySource = MountInfo::LabelsBySource(MountInfo::ParseMountInfo(c.mountInfo), labels);
    EXPECT_EQ(DriveList::DrivesFromMountInfo(c.mountInfo, labelsBySource), c.drives);
}

INSTANTIATE_TEST_SUITE_P(Table, DrivesFromMountInfoTest, testing::ValuesIn(mountTableCases), RowName{});

const std::vector<DriveEntry> posixDrives{
    {"/ [/dev/sda2]", "/"},
    {"/home [home]", "/home"},
    {"/home/anna/remote [anna@build:/srv]", "/home/anna/remote"},
    {"/media/usb [BACKUP]", "/media/usb"},
};

const std::vector<DriveEntry> windowsDrives{
    {"a:", "A:\\"},
    {"c: [SYSTEM]", "C:\\"},
    {"d: [\\\\server\\share]", "D:\\"},
};

struct LookupCase {
    const char* name;
    const std::vector<DriveEntry>* drives;
    const char* path;
    std::size_t index; // 99: none holds it
};

constexpr std::size_t none = 99;

std::size_t orNone(std::size_t index, const std::vector<DriveEntry>& drives)
{
    return index == drives.size() ? none : index;
}

const LookupCase holdingCases[] = {
    {"FileInHome", &posixDrives, "/home/anna/notes.txt", 1},
    {"HomeItself", &posixDrives, "/home", 1},
    {"HomeWithSlash", &posixDrives, "/home/", 1},
    {"DeepestMountWins", &posixDrives, "/home/anna/remote/src", 2},
    {"MountPointItself", &posixDrives, "/home/anna/remote", 2},
    {"SiblingWithSamePrefix", &posixDrives, "/home/anna/remotely", 1},
    {"HomeworkIsNotHome", &posixDrives, "/homework", 0},
    {"RootItself", &posixDrives, "/", 0},
    {"MediaMount", &posixDrives, "/media/usb/photos", 3},
    {"RelativePath", &posixDrives, "media/usb", none},
    {"EmptyPath", &posixDrives, "", none},
    {"QtStyleWindowsPath", &windowsDrives, "c:/Users/anna", 1},
    {"BackslashWindowsPath", &windowsDrives, "D:\\Data\\x", 2},
    {"BareDriveLetter", &windowsDrives, "C:", 1},
    {"UnknownLetter", &windowsDrives, "e:\\x", none},
    {"UncPath", &windowsDrives, "\\\\server\\share\\x", none},
};

void PrintTo(const LookupCase& c, std::ostream* out)
{
    *out << '"' << c.path << '"';
}

class IndexOfDriveHoldingTest : public testing::TestWithParam<LookupCase> {};

TEST_P(IndexOfDriveHoldingTest, FindsTheDeepestRootAbovePath)
{
    const auto& c = GetParam();
    EXPECT_EQ(orNone(DriveList::IndexOfDriveHolding(*c.drives, c.path), *c.drives), c.index);
}

INSTANTIATE_TEST_SUITE_P(Table, IndexOfDriveHoldingTest, testing::ValuesIn(holdingCases), RowName{});

const LookupCase rootCases[] = {
    {"ExactMount", &posixDrives, "/media/usb", 3},
    {"TrailingSlash", &posixDrives, "/media/usb/", 3},
    {"Root", &posixDrives, "/", 0},
    {"DirectoryBelowAMount", &posixDrives, "/media/usb/photos", none},
    {"PrefixOfAMount", &posixDrives, "/media/us", none},
    {"Empty", &posixDrives, "", none},
    {"LowerCaseLetter", &windowsDrives, "c:\\", 1},
    {"NoBackslash", &windowsDrives, "D:", 2},
    {"ForwardSlash", &windowsDrives, "a:/", 0},
    {"FolderOnADrive", &windowsDrives, "C:\\Users", none},
    {"MissingLetter", &windowsDrives, "E:\\", none},
};

class IndexOfRootTest : public testing::TestWithParam<LookupCase> {};

TEST_P(IndexOfRootTest, MatchesOnlyTheSameRoot)
{
    const auto& c = GetParam();
    EXPECT_EQ(orNone(DriveList::IndexOfRoot(*c.drives, c.path), *c.drives), c.index);
}

INSTANTIATE_TEST_SUITE_P(Table, IndexOfRootTest, testing::ValuesIn(rootCases), RowName{});

struct EscapeCase {
    const char* name;
    const char* text;
    const char* octalDecoded;
    const char* hexDecoded;
};

constexpr EscapeCase escapeCases[] = {
    {"Plain", "BACKUP", "BACKUP", "BACKUP"},
    {"OctalBlank", "My\\040Disk", "My Disk", "My\\040Disk"},
    {"HexBlank", "My\\x20Disk", "My\\x20Disk", "My Disk"},
    {"HexSlashUpperCase", "a\\x2Fb", "a\\x2Fb", "a/b"},
    {"OctalBackslash", "a\\134b", "a\\b", "a\\134b"},
    {"ShortOctalAtEnd", "a\\04", "a\\04", "a\\04"},
    {"OctalAboveAByte", "a\\777", "a\\777", "a\\777"},
    {"NotHex", "a\\xZZ", "a\\xZZ", "a\\xZZ"},
    {"ShortHexAtEnd", "a\\x2", "a\\x2", "a\\x2"},
};

void PrintTo(const EscapeCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class EscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTest, DecodesOnlyCompleteEscapes)
{
    const auto& c = GetParam();
    EXPECT_EQ(MountInfo::DecodeOctalEscapes(c.text), c.octalDecoded);
    EXPECT_EQ(MountInfo::DecodeHexEscapes(c.text), c.hexDecoded);
}

INSTANTIATE_TEST_SUITE_P(Table, EscapeTest, testing::ValuesIn(escapeCases), RowName{});

// The drives of the machine the test runs on: its system drive must be there.
TEST(ListDrivesTest, ContainsTheSystemDrive)
{
    const auto drives = DriveList::ListDrives();
#ifdef _WIN32
    const std::string root = "C:\\";
    const std::string textStart = "c:";
#else
    const std::string root = "/";
    const std::string textStart = "/ [";
#endif
    const auto system =
        std::find_if(drives.begin(), drives.end(), [&root](const DriveEntry& drive) { return drive.rootPath == root; });
    ASSERT_NE(system, drives.end());
    EXPECT_EQ(system->text.substr(0, textStart.size()), textStart);
    EXPECT_EQ(std::count_if(drives.begin(), drives.end(),
                            [&root](const DriveEntry& drive) { return drive.rootPath == root; }),
              1);
}

} // namespace
