#pragma once

#include "app/CommonDialogControl.h"
#include "app/DriveListBox.h"
#include "app/GuiThreadPost.h"
#include "app/MainWindowView.h"
#include "app/Twips.h"
#include "drivespace/AskDriveSpace.h"
#include "drivespace/TimedDriveQuery.h"

#include <QWidget>

#include <array>
#include <memory>

class AutoSizeLabel;
class ChartView;
class LegendSwatch;
class LinkLabel;
class MainWindowBehaviour;
class QGroupBox;
class QLabel;
class QTimer;
class SettingsStore;

// The main window on Qt: the selected drive's used, free and total bytes, its
// pie chart refreshed every second, the colour swatches of the legend and the
// links to the About dialog. It draws what the shared behaviour tells it and
// forwards its events there; it loads itself (Form_Load) when constructed and
// stores the settings when closed.
class mainform : public QWidget, public MainWindowView {
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

    // What the window shows and does, for tests to drive as the window system would.
    [[nodiscard]] MainWindowBehaviour& behaviour() { return *m_behaviour; }
    [[nodiscard]] const MainWindowBehaviour& behaviour() const { return *m_behaviour; }

    // MainWindowView
    void setText(Text which, const std::string& text) override;
    void setSwatchColor(Swatch which, std::int32_t color) override;
    void showChart(const std::optional<ChartPicture>& picture) override;
    void setTimerEnabled(bool enabled) override;
    [[nodiscard]] WindowPlacement::Rect frame() const override;
    [[nodiscard]] std::vector<WindowPlacement::Rect> availableAreas() const override;
    [[nodiscard]] double twipsPerPixel() const override;
    void moveTo(int left, int top) override;
    [[nodiscard]] UsageChart::ChartRect chartBox() const override;
    [[nodiscard]] std::optional<DriveList::DriveEntry> currentDrive() const override;
    bool setDrive(const std::string& rootPath) override;
    [[nodiscard]] std::optional<std::int32_t> askColor(std::int32_t start) override;
    void openAbout() override;
    void processWaitingEvents() override;
    [[nodiscard]] Poster poster() override;
    void setAnswerDeadline(std::optional<std::chrono::milliseconds> after) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    [[nodiscard]] QFont layoutFont() const;
    void createLinks();
    void createLegend();
    void createFigures();
    void connectEvents();
    [[nodiscard]] QSize expectedFrameSize() const;

    Seams m_seams;
    // The layout's twips at the screen's resolution when the window was made.
    Twips m_twips;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<MainWindowBehaviour> m_behaviour;
    // Set while the behaviour selects a drive itself: that is no user's change.
    bool m_settingDrive = false;

    // Controls, named as the window's design names them.
    CommonDialogControl* CommonDialog = nullptr;
    ChartView* picDRIVE = nullptr;
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
    // Ends the refresh whose drive has not answered in time.
    QTimer* m_answerDeadline = nullptr;

    [[nodiscard]] QLabel* lbl(int index) const { return m_lbl.at(static_cast<std::size_t>(index - 4)); }

    // Last member: destroyed first, so late answers stop reaching the window
    // before any of it goes.
    GuiThreadPost m_post{this};
};
