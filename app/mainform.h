#pragma once

#include "app/CommonDialogControl.h"
#include "app/DriveListBox.h"
#include "app/GuiThreadPost.h"
#include "app/Twips.h"
#include "drivespace/AskDriveSpace.h"
#include "drivespace/TimedDriveQuery.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class AutoSizeLabel;
class LegendSwatch;
class LinkLabel;
class PictureBox;
class QGroupBox;
class QLabel;
class QTimer;
class SettingsStore;

// The main window: the selected drive's used, free and total bytes, its pie
// chart refreshed every second, the colour swatches of the legend and the links
// to the About dialog. It loads itself (Form_Load) when constructed, restoring
// the drive, position and colours of the last run, and stores them when closed.
class mainform : public QWidget {
    Q_OBJECT
public:
    // What tests put in place of the system: the drive space query (answering
    // at once, or able to answer late), the lister of drives and the colour
    // dialog. Empty members take the real ones.
    struct Seams {
        TimedDriveQuery::Query queryDriveSpace;
        AskDriveSpace askDriveSpace;
        DriveListBox::Lister listDrives;
        CommonDialogControl::Chooser chooseColor;
    };

    explicit mainform(Seams seams = {});
    ~mainform() override;

    // The release date and the version suffix, shown here and in the About dialog.
    [[nodiscard]] static QString AppDate();
    [[nodiscard]] static QString VersionMod();

    // The outer frame's top-left corner on the screen, in twips.
    [[nodiscard]] float Left() const;
    [[nodiscard]] float Top() const;

    [[nodiscard]] std::int32_t usedColor() const { return UsedColor; }
    [[nodiscard]] std::int32_t freeColor() const { return FreeColor; }
    [[nodiscard]] const std::string& drivePath() const { return DrivePath; }

    // The window's routines and event handlers, public so that tests can drive
    // them as the window system would.
    void SelectDrive();
    void RefreshDisplay();
    void Drive1_Change();
    void Timer1_Timer();
    void lblUSEDLEG_MouseUp(Qt::MouseButton Button, int Shift, float X, float Y);
    void lblFREELEG_MouseUp(Qt::MouseButton Button, int Shift, float X, float Y);
    void lblDATE_Click();
    void lblVERSION_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createLinks();
    void createLegend();
    void createFigures();
    void moveToDesignedPosition();
    [[nodiscard]] QSize expectedFrameSize() const;
    void Form_Load();
    void Form_QueryUnload();

    // Moves the window's outer top-left corner to (left, top) twips unless the
    // window system cannot take it or too little of the title bar would be on a
    // screen to grab the window by.
    [[nodiscard]] bool moveTo(float leftTwips, float topTwips);
    [[nodiscard]] float storedPosition(const SettingsStore& store, std::string_view key, float current) const;
    [[nodiscard]] std::int32_t storedColor(const SettingsStore& store, std::string_view key,
                                           std::int32_t defaultColor) const;
    void chooseLegendColor(LegendSwatch* swatch, std::int32_t& color, std::int32_t defaultColor, int Shift);
    void setTimerEnabled(bool enabled);
    void showFigure(AutoSizeLabel* figure, const QLabel* caption, const QString& text, bool available);
    void finishRefresh(Currency capacity, Currency free);
    void answerDeadline_Timer();
    void describeFigures(Currency capacity, Currency free);
    void describeChart(const QString& description);
    void openAbout();

    Seams m_seams;
    AskDriveSpace m_askDriveSpace;
    // The layout's twips at the screen's resolution when the window was made.
    Twips m_twips;

    // Controls, named as the window's design names them.
    CommonDialogControl* CommonDialog = nullptr;
    PictureBox* picDRIVE = nullptr;
    QGroupBox* fra = nullptr;
    DriveListBox* Drive1 = nullptr;
    QTimer* Timer1 = nullptr;
    LinkLabel* lblDATE = nullptr;
    LinkLabel* lblVERSION = nullptr;
    LegendSwatch* lblUSEDLEG = nullptr;
    LegendSwatch* lblFREELEG = nullptr;
    std::array<QLabel*, 3> m_lbl{}; // the captions lbl(4) "Free:", lbl(5) "Used:", lbl(6) "Capacity:"
    AutoSizeLabel* lblFREE = nullptr;
    AutoSizeLabel* lblUSED = nullptr;
    AutoSizeLabel* lblTOTAL = nullptr;

    [[nodiscard]] QLabel* lbl(int index) const { return m_lbl.at(static_cast<std::size_t>(index - 4)); }

    // The chart colours, 0x00BBGGRR.
    std::int32_t UsedColor = 0;
    std::int32_t FreeColor = 0;
    // The selected drive's root path, its exact bytes (a mount point need not be UTF-8).
    std::string DrivePath;
    float Pi = 0.0F;
    // The chart's bounding rectangle in picDRIVE's pixels.
    std::int32_t ChartLeft = 0;
    std::int32_t ChartTop = 0;
    std::int32_t ChartRight = 0;
    std::int32_t ChartBottom = 0;

    // Counts the refreshes begun: a late answer finishes its refresh only if no
    // other has begun since.
    std::uint64_t m_refreshNumber = 0;
    // Ends the refresh whose drive has not answered in time as not available.
    QTimer* m_answerDeadline = nullptr;

    // What the last finished refresh put on the screen; a refresh that would
    // show the same again leaves the window alone.
    struct Shown {
        Currency capacity;
        Currency free;
        std::int32_t usedColor;
        std::int32_t freeColor;
        std::int32_t chartRight;
        std::int32_t chartBottom;
        qint64 chartImage; // the chart box's image as last drawn
        bool operator==(const Shown&) const = default;
    };
    std::optional<Shown> m_shown;

    // Last member: destroyed first, so late answers stop reaching the window
    // before any of it goes.
    GuiThreadPost m_post{this};
};
