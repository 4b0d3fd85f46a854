#include "app/DriveListBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

using DriveList::DriveEntry;

const DriveEntry rootDrive{"/ [/dev/sda2]", "/"};
const DriveEntry homeDrive{"/home [home]", "/home"};
const DriveEntry usbDrive{"/media/usb [BACKUP]", "/media/usb"};
const DriveEntry nasDrive{"/mnt/nas [nas:/export]", "/mnt/nas"};

// A machine whose drives the test decides, counting how often they are read.
struct FakeMachine {
    std::vector<DriveEntry> drives;
    int reads = 0;

    DriveListBox::Lister lister()
    {
        return [this] {
            ++reads;
            return drives;
        };
    }
};

QStringList itemsOf(const DriveListBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

class DriveListBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        machine.drives = {rootDrive, homeDrive, usbDrive};
        box = std::make_unique<DriveListBox>(nullptr, machine.lister());
        ASSERT_TRUE(box->setDrive("/media/usb"));
        spy = std::make_unique<QSignalSpy>(box.get(), &DriveListBox::Change);
    }

    FakeMachine machine;
    std::unique_ptr<DriveListBox> box;
    std::unique_ptr<QSignalSpy> spy;
};

TEST_F(DriveListBoxTest, ShowsEntryTextAndRoot)
{
    EXPECT_EQ(box->Drive(), QStringLiteral("/media/usb [BACKUP]"));
    EXPECT_EQ(box->rootPath(), "/media/usb");
    EXPECT_EQ(itemsOf(*box), QStringList({"/ [/dev/sda2]", "/home [home]", "/media/usb [BACKUP]"}));
    EXPECT_EQ(box->accessibleName(), QStringLiteral("Drive"));
}

TEST_F(DriveListBoxTest, RefusedDriveLeavesSelectionAndIsSilent)
{
    const int readsBefore = machine.reads;
    EXPECT_FALSE(box->setDrive("/media/cdrom"));
    EXPECT_EQ(box->rootPath(), "/media/usb");
    EXPECT_EQ(spy->count(), 0);
    // The list was read once more before refusing.
    EXPECT_EQ(machine.reads, readsBefore + 1);
}

TEST_F(DriveListBoxTest, SetDriveToAnotherEntryChangesOnce)
{
    EXPECT_TRUE(box->setDrive("/home/"));
    EXPECT_EQ(box->Drive(), QStringLiteral("/home [home]"));
    EXPECT_EQ(spy->count(), 1);
    EXPECT_TRUE(box->setDrive("/home"));
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(DriveListBoxTest, SetDriveFindsADriveMountedSinceTheLastRead)
{
    machine.drives.push_back(nasDrive);
    EXPECT_TRUE(box->setDrive("/mnt/nas"));
    EXPECT_EQ(box->Drive(), QStringLiteral("/mnt/nas [nas:/export]"));
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(DriveListBoxTest, UserPickWithTheKeyboardChanges)
{
    QTest::keyClick(box.get(), Qt::Key_Up);
    EXPECT_EQ(box->rootPath(), "/home");
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(DriveListBoxTest, ReloadKeepsTheSelectionSilently)
{
    machine.drives = {rootDrive, nasDrive, usbDrive, homeDrive};
    box->reload();
    EXPECT_EQ(itemsOf(*box),
              QStringList({"/ [/dev/sda2]", "/mnt/nas [nas:/export]", "/media/usb [BACKUP]", "/home [home]"}));
    EXPECT_EQ(box->rootPath(), "/media/usb");
    EXPECT_EQ(box->currentIndex(), 2);
    EXPECT_EQ(spy->count(), 0);
}

TEST_F(DriveListBoxTest, DriveThatWentAwayStaysSelectedUntilAnotherIsPicked)
{
    machine.drives = {rootDrive, homeDrive};
    box->reload();
    EXPECT_EQ(itemsOf(*box), QStringList({"/ [/dev/sda2]", "/home [home]", "/media/usb [BACKUP]"}));
    EXPECT_EQ(box->Drive(), QStringLiteral("/media/usb [BACKUP]"));
    EXPECT_EQ(spy->count(), 0);

    EXPECT_TRUE(box->setDrive("/"));
    box->reload();
    EXPECT_EQ(itemsOf(*box), QStringList({"/ [/dev/sda2]", "/home [home]"}));
    EXPECT_EQ(box->rootPath(), "/");
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(DriveListBoxTest, OpeningTheListShowsANewlyMountedDrive)
{
    machine.drives.push_back(nasDrive);
    box->showPopup();
    EXPECT_EQ(box->findText(QStringLiteral("/mnt/nas [nas:/export]")), 3);
    EXPECT_EQ(box->rootPath(), "/media/usb");
    box->hidePopup();
    EXPECT_EQ(spy->count(), 0);
}

TEST(DriveListBoxStartTest, StartsOnTheDriveHoldingTheCurrentDirectory)
{
    QTemporaryDir mount;
    ASSERT_TRUE(mount.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(mount.path()));
    FakeMachine machine;
    machine.drives = {rootDrive, {"fake [tmp]", mount.path().toStdString()}, homeDrive};
    DriveListBox box(nullptr, machine.lister());
    QDir::setCurrent(previous);
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.rootPath(), mount.path().toStdString());
}

TEST(DriveListBoxStartTest, EmptyMachineHasNoDrive)
{
    FakeMachine machine;
    DriveListBox box(nullptr, machine.lister());
    EXPECT_EQ(box.Drive(), QString());
    EXPECT_EQ(box.rootPath(), "");
    EXPECT_FALSE(box.setDrive("/"));
}

} // namespace
