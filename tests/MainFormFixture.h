#pragma once

#include "app/behaviour/MainWindowBehaviour.h"
#include "app/qt/ChartView.h"
#include "app/qt/DriveListBox.h"
#include "app/qt/MainForm.h"
#include "drivespace/Currency.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// How failures show Qt values.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}
inline void PrintTo(const QColor& color, std::ostream* out)
{
    *out << (color.isValid() ? color.name().toStdString() : std::string("invalid"));
}

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
        drives["/"] = {1'000'000, 250'000, true};
        drives["/media/usb"] = {2'000'000, 1'000'000, true};
        entries = {{"/ [/dev/sda2]", "/"}, {"/media/usb [BACKUP]", "/media/usb"}};
    }

    // A window loaded as at program start, against the fakes above.
    std::unique_ptr<mainform> loadWindow()
    {
        return loadWindow([this](DriveAnswer& answer, const std::string& rootPath, std::chrono::milliseconds,
                                 const LateDriveAnswer&) {
            queriedPaths.push_back(rootPath);
            const auto drive = drives.find(rootPath);
            if (drive == drives.end() || !drive->second.available)
                answer.capacity = FailureValue;
            else
                answer = {Currency::fromStored(drive->second.capacity), Currency::fromStored(drive->second.free)};
            return true;
        });
    }

    // The same with a drive asker of the test's own; each window with a store
    // of its own, read when it is made.
    std::unique_ptr<mainform> loadWindow(AskDriveSpace askDriveSpace)
    {
        m_stores.push_back(std::make_unique<SettingsStore>("Quillmar"));
        Services services{std::move(askDriveSpace), *m_stores.back(),
                          [this](const DriveList::LateDriveText&) { return entries; }, std::chrono::steady_clock::now,
                          currentDirectory()};
        return std::make_unique<mainform>(std::move(services), [this](const QColor& start, QWidget*) {
            dialogStarts.push_back(start);
            if (duringDialog)
                duringDialog();
            return dialogAnswer;
        });
    }

    // Picks the drive with this root path as a user does: opening the list,
    // which reads the drives again, and taking its entry. False when the list
    // has no such drive.
    bool pickDrive(mainform& window, const std::string& rootPath) const
    {
        auto* list = window.findChild<DriveListBox*>(QStringLiteral("Drive1"));
        list->showPopup();
        list->hidePopup();
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&rootPath](const DriveList::DriveEntry& e) { return e.rootPath == rootPath; });
        const int index = entry == entries.end() ? -1 : list->findText(QString::fromStdString(entry->text));
        if (index < 0)
            return false;
        list->setCurrentIndex(index);
        emit list->activated(index);
        return true;
    }

    // The settings file of this test's store.
    [[nodiscard]] QString settingsFile() const
    {
        return m_configHome.filePath(QStringLiteral("Quillmar/Quillmar.conf"));
    }
    // The directory that holds it.
    [[nodiscard]] QString settingsDirectory() const { return m_configHome.filePath(QStringLiteral("Quillmar")); }

    // Puts a settings file in place as a user would write it by hand.
    void writeSettingsFile(const QByteArray& contents) const
    {
        ASSERT_TRUE(QDir().mkpath(settingsDirectory()));
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    // The texts of the settings file's [Settings] section, by key, exactly as
    // written; empty when there is no file.
    [[nodiscard]] std::map<QString, QString> storedSettings() const
    {
        std::map<QString, QString> texts;
        QFile file(settingsFile());
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return texts;
        bool inSettings = false;
        while (!file.atEnd()) {
            QByteArray raw = file.readLine();
            if (raw.endsWith('\n'))
                raw.chop(1);
            const QString line = QString::fromUtf8(raw);
            if (line.startsWith(QLatin1Char('[')))
                inSettings = line == QStringLiteral("[Settings]");
            else if (const qsizetype equals = line.indexOf(QLatin1Char('=')); inSettings && equals > 0)
                texts[line.left(equals)] = line.mid(equals + 1);
        }
        return texts;
    }

    std::map<std::string, FakeDrive> drives;
    std::vector<DriveList::DriveEntry> entries;
    std::vector<std::string> queriedPaths;
    // What the scripted colour dialog answers: an invalid colour is Cancel.
    QColor dialogAnswer;
    std::vector<QColor> dialogStarts;
    // Runs while the colour dialog is open.
    std::function<void()> duringDialog;

    // The chart's colour in the middle of its lower-right quarter, inside the
    // free share of both fake drives, and of its upper-left quarter, inside their
    // used share.
    [[nodiscard]] static QColor chartFreeColor(const mainform& window) { return chartColorAt(window, 1); }
    [[nodiscard]] static QColor chartUsedColor(const mainform& window) { return chartColorAt(window, -1); }
    // The chart box as it paints itself, at its device pixel ratio.
    [[nodiscard]] static QImage chartImage(const mainform& window)
    {
        return window.findChild<ChartView*>(QStringLiteral("picDRIVE"))->grab().toImage();
    }

private:
    [[nodiscard]] static QColor chartColorAt(const mainform& window, int diagonal)
    {
        const QImage chart = chartImage(window);
        // Halfway out along the diagonal, well clear of the outline and the radii.
        const int centreX = chart.width() / 2;
        const int centreY = chart.height() / 2;
        const int offset = std::min(centreX, centreY) / 3;
        return chart.pixelColor(centreX + diagonal * offset, centreY + diagonal * offset);
    }

    QTemporaryDir m_configHome;
    std::vector<std::unique_ptr<SettingsStore>> m_stores;
};
