// Which drives are asked in place: local types, and only where nothing the
// kernel's lookup of the path goes through could hang.
#include "drivespace/mounts/LocalFileSystem.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr const char* desktop = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                "23 22 0:20 / /tmp rw - tmpfs tmpfs rw\n"
                                "24 22 0:30 / /mnt/nas rw - nfs4 server:/export rw\n"
                                "25 24 8:17 / /mnt/nas/disk rw - ext4 /dev/sdb1 rw\n"
                                "26 22 0:40 / /media/sshfs rw - fuse.sshfs me@host: rw\n"
                                "27 22 0:41 / /srv/odd rw - weirdfs none rw\n"
                                "28 22 0:42 / /home rw - autofs systemd-1 rw\n"
                                "29 28 8:3 / /home rw - ext4 /dev/sda3 rw\n"
                                "30 22 0:43 / /mnt/win rw - cifs //nas/share rw\n"
                                "31 22 8:33 / /media/usb rw - vfat /dev/sdc1 rw\n";

// A local tmpfs at /x/a/b, then something mounted later on the way to it.
constexpr const char* fuseOverParent = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                       "40 22 0:50 / /x/a/b rw - tmpfs tmpfs rw\n"
                                       "41 22 0:51 / /x/a rw - fuse.hang hang rw\n";
constexpr const char* fuseOverPoint = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                      "40 22 0:50 / /x/a/b rw - tmpfs tmpfs rw\n"
                                      "41 40 0:51 / /x/a/b rw - fuse.hang hang rw\n";
// A mount made on "/" is not on the way: lookups start at the root this
// process already has.
constexpr const char* fuseOnRoot = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                   "40 22 0:50 / /x/a/b rw - tmpfs tmpfs rw\n"
                                   "41 22 0:51 / / rw - fuse.hang hang rw\n";
constexpr const char* autofsOverParent = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                         "40 22 0:50 / /x/a/b rw - tmpfs tmpfs rw\n"
                                         "41 22 0:51 / /x/a rw - autofs systemd-1 rw\n";
// A disk mounted over a share: the share below it is never looked at.
constexpr const char* diskOverShare = "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                      "40 22 0:50 / /x rw - nfs4 server:/export rw\n"
                                      "41 40 8:17 / /x rw - ext4 /dev/sdb1 rw\n";
// A container's root, whose parent lies outside its table.
constexpr const char* container = "500 480 0:60 / / rw - overlay overlay rw\n"
                                  "501 500 0:61 / /data rw - ext4 /dev/vdb rw\n";

struct LocalCase {
    const char* name;
    const char* mountInfo;
    const char* path;
    bool local;
    const char* id; // of the mount the path leads to
};

const LocalCase localCases[] = {
    {"RootExt4", desktop, "/", true, "22"},
    {"Tmpfs", desktop, "/tmp", true, "23"},
    {"UsbStickVfat", desktop, "/media/usb", true, "31"},
    {"Nfs", desktop, "/mnt/nas", false, "24"},
    {"LocalDiskBelowANetworkShare", desktop, "/mnt/nas/disk", false, "25"},
    {"Fuse", desktop, "/media/sshfs", false, "26"},
    {"Cifs", desktop, "/mnt/win", false, "30"},
    {"UnknownType", desktop, "/srv/odd", false, "27"},
    {"AutomountPointWithItsDiskMounted", desktop, "/home", false, "29"},
    {"NotAMountPoint", desktop, "/srv", false, "22"},
    {"FuseOverTheParentOfATmpfs", fuseOverParent, "/x/a/b", false, "41"},
    {"FuseStackedOnATmpfs", fuseOverPoint, "/x/a/b", false, "41"},
    {"FuseMadeOnTheRoot", fuseOnRoot, "/x/a/b", true, "40"},
    {"AutofsOverTheParentOfATmpfs", autofsOverParent, "/x/a/b", false, "41"},
    {"DiskStackedOnAShare", diskOverShare, "/x", true, "41"},
    {"ContainerDisk", container, "/data", true, "501"},
    {"EmptyTable", "", "/", false, ""},
};

void PrintTo(const LocalCase& c, std::ostream* out)
{
    *out << c.name;
}

class LocalFileSystemTest : public testing::TestWithParam<LocalCase> {};

TEST_P(LocalFileSystemTest, AsksInPlaceOnlyWhereTheLookupCrossesLocalMounts)
{
    const auto mount = LocalFileSystem::MountAt(MountInfo::ParseMountInfo(GetParam().mountInfo), GetParam().path);
    EXPECT_EQ(mount.local, GetParam().local);
    EXPECT_EQ(mount.id, GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(Table, LocalFileSystemTest, testing::ValuesIn(localCases), RowName{});

} // namespace
