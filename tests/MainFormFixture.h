#pragma once

#include "app/mainform.h"
#include "drivespace/Currency.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// A drive as the fake system reports it; available false makes the query fail.
struct FakeDrive {
    std::int64_t capacity = 0;
    std::int64_t free = 0;
    bool available = true;
};

// The main window on a fake system: drives of the test's choosing, a settings
// store in a fresh per-test configuration directory and a scripted colour dialog.
class MainFormFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
        // QSettings reads the configuration directory once per process.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_configHome.path());
        drives["/"] = {1'000'000, 250'000, true};
        drives["/media/usb"] = {2'000'000, 1'000'000, true};
        entries = {{"/ [/dev/sda2]", "/"}, {"/media/usb [BACKUP]", "/media/usb"}};
    }

    // A window loaded as at program start, against the fakes above.
    std::unique_ptr<mainform> loadWindow()
    {
        mainform::Seams seams;
        seams.queryDriveSpace = [this](Currency& capacity, Currency& free, const std::string& rootPath) {
            queriedPaths.push_back(rootPath);
            const auto drive = drives.find(rootPath);
            if (drive == drives.end() || !drive->second.available) {
                capacity = FailureValue;
                return;
            }
            capacity = Currency::fromStored(drive->second.capacity);
            free = Currency::fromStored(drive->second.free);
        };
        seams.listDrives = [this] { return entries; };
        seams.chooseColor = [this](const QColor& initial, std::int32_t flags, QWidget*) {
            dialogStarts.push_back(initial);
            dialogFlags.push_back(flags);
            if (dialogThrows)
                throw std::runtime_error("colour dialog failed");
            return dialogAnswer;
        };
        return std::make_unique<mainform>(seams);
    }

    // The settings file of this test's store.
    [[nodiscard]] QString settingsFile() const { return m_configHome.filePath(QStringLiteral("Quillmar/Quillmar.conf")); }

    std::map<std::string, FakeDrive> drives;
    std::vector<DriveList::DriveEntry> entries;
    std::vector<std::string> queriedPaths;
    // What the scripted colour dialog answers: an invalid colour is Cancel.
    QColor dialogAnswer;
    bool dialogThrows = false;
    std::vector<QColor> dialogStarts;
    std::vector<std::int32_t> dialogFlags;

private:
    QTemporaryDir m_configHome;
};

// Runs the tests with a QApplication on the offscreen platform.
#define QUILLMAR_GUI_TEST_MAIN()                                                                                       \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        testing::InitGoogleTest(&argc, argv);                                                                          \
        return RUN_ALL_TESTS();                                                                                        \
    }
