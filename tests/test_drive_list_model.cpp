#include "app/behaviour/DriveListModel.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using DriveList::DriveEntry;

std::vector<DriveEntry> drivesAt(const std::vector<std::string>& roots)
{
    std::vector<DriveEntry> drives;
    for (const std::string& root : roots)
        drives.push_back({root + " [label]", root});
    return drives;
}

// The roots of the texts the list shows.
std::vector<std::string> rootsOf(const DriveListModel& model)
{
    std::vector<std::string> roots = model.texts();
    for (std::string& text : roots)
        text.erase(text.find(" [label]"));
    return roots;
}

struct ReloadRow {
    const char* name;
    std::vector<std::string> before;
    std::string current;
    std::vector<std::string> listed;
    std::vector<std::string> after;
    std::size_t currentAfter;
};

class ReloadTest : public testing::TestWithParam<ReloadRow> {};

TEST_P(ReloadTest, KeepsTheCurrentDriveCurrentAndListed)
{
    DriveListModel model;
    model.start(drivesAt(GetParam().before), "");
    ASSERT_TRUE(model.select(GetParam().current));
    model.reload(drivesAt(GetParam().listed));
    EXPECT_EQ(rootsOf(model), GetParam().after);
    EXPECT_EQ(model.currentIndex(), GetParam().currentAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReloadTest,
    testing::Values(ReloadRow{"StillListedElsewhere",
                              {"/", "/home", "/media/usb"},
                              "/media/usb",
                              {"/", "/mnt/nas", "/media/usb", "/home"},
                              {"/", "/mnt/nas", "/media/usb", "/home"},
                              2},
                    ReloadRow{"GoneStaysWhereItWas",
                              {"/", "/home", "/media/usb"},
                              "/media/usb",
                              {"/", "/home"},
                              {"/", "/home", "/media/usb"},
                              2},
                    ReloadRow{"GoneStaysAfterItsNeighbour",
                              {"A:\\", "C:\\", "D:\\"},
                              "D:\\",
                              {"A:\\", "B:\\", "C:\\"},
                              {"A:\\", "B:\\", "C:\\", "D:\\"},
                              3},
                    ReloadRow{"GoneWithItsNeighbourGoesAfterTheNextOneUp",
                              {"A:\\", "C:\\", "D:\\"},
                              "D:\\",
                              {"A:\\", "E:\\"},
                              {"A:\\", "D:\\", "E:\\"},
                              1},
                    ReloadRow{
                        "GoneWithNothingBeforeItGoesFirst", {"C:\\", "D:\\"}, "C:\\", {"E:\\"}, {"C:\\", "E:\\"}, 0}),
    RowName{});

TEST(DriveListModelTest, AVanishedDriveIsDroppedByTheFirstReloadAfterAnotherIsPicked)
{
    DriveListModel model;
    model.start(drivesAt({"/", "/home", "/media/usb"}), "/media/usb/photos");
    ASSERT_EQ(model.currentIndex(), 2U);
    model.reload(drivesAt({"/", "/home"}));
    ASSERT_TRUE(model.pick(0));
    EXPECT_EQ(rootsOf(model), (std::vector<std::string>{"/", "/home", "/media/usb"}));
    model.reload(drivesAt({"/", "/home"}));
    EXPECT_EQ(rootsOf(model), (std::vector<std::string>{"/", "/home"}));
    EXPECT_EQ(model.current()->rootPath, "/");
}

TEST(DriveListModelTest, StartsOnTheFirstDriveWhenNoneHoldsTheDirectoryAndOnNoneWhenEmpty)
{
    DriveListModel model;
    model.start(drivesAt({"/home", "/media/usb"}), "/srv/data");
    EXPECT_EQ(model.currentIndex(), 0U);
    EXPECT_FALSE(model.pick(2));
    EXPECT_FALSE(model.select("/media/cdrom"));
    EXPECT_EQ(model.currentIndex(), 0U);

    model.start({}, "/");
    EXPECT_FALSE(model.current().has_value());
    model.reload(drivesAt({"/"}));
    EXPECT_EQ(model.currentIndex(), 0U);
}

} // namespace
