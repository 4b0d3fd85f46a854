// Which drives are asked in place: local types, and only where nothing the
// path goes through could hang.
#include "drivespace/mounts/LocalFileSystem.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

namespace {

const auto table = MountInfo::ParseMountInfo("22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                                             "23 22 0:20 / /tmp rw - tmpfs tmpfs rw\n"
                                             "24 22 0:30 / /mnt/nas rw - nfs4 server:/export rw\n"
                                             "25 24 8:17 / /mnt/nas/disk rw - ext4 /dev/sdb1 rw\n"
                                             "26 22 0:40 / /media/sshfs rw - fuse.sshfs me@host: rw\n"
                                             "27 22 0:41 / /srv/odd rw - weirdfs none rw\n"
                                             "28 22 0:42 / /home rw - autofs systemd-1 rw\n"
                                             "29 28 8:3 / /home rw - ext4 /dev/sda3 rw\n"
                                             "30 22 0:43 / /mnt/win rw - cifs //nas/share rw\n"
                                             "31 22 8:33 / /media/usb rw - vfat /dev/sdc1 rw\n");

struct LocalCase {
    const char* name;
    const char* mountPoint;
    bool local;
};

constexpr LocalCase localCases[] = {
    {"RootExt4", "/", true},
    {"Tmpfs", "/tmp", true},
    {"UsbStickVfat", "/media/usb", true},
    {"Nfs", "/mnt/nas", false},
    {"LocalDiskBelowANetworkShare", "/mnt/nas/disk", false},
    {"Fuse", "/media/sshfs", false},
    {"Cifs", "/mnt/win", false},
    {"UnknownType", "/srv/odd", false},
    {"AutomountPointWithItsDiskMounted", "/home", false},
    {"NotMounted", "/srv", false},
};

class LocalFileSystemTest : public testing::TestWithParam<LocalCase> {};

TEST_P(LocalFileSystemTest, AsksInPlaceOnlyLocalTypes)
{
    EXPECT_EQ(LocalFileSystem::MountAt(table, GetParam().mountPoint).local, GetParam().local);
}

INSTANTIATE_TEST_SUITE_P(Table, LocalFileSystemTest, testing::ValuesIn(localCases), RowName{});

} // namespace
