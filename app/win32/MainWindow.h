#pragma once

#include "app/MainWindowBehaviour.h"
#include "app/MainWindowView.h"
#include "app/win32/ChartBox.h"
#include "app/win32/Layout.h"
#include "drivespace/AskDriveSpace.h"
#include "drivespace/TimedDriveQuery.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class SettingsAccess;

namespace win32 {

// The main window on Windows' own controls, over the shared behaviour: it lays
// the controls out in twips at its DPI, shows what the behaviour tells it and
// forwards each event to the behaviour's handler.
class MainWindow : public MainWindowView {
public:
    // What tests put in place of the system. Empty members take the real ones:
    // the drive query (with its one-second deadline), the drive lister, the
    // colour dialog and the registry under the application's title.
    struct Seams {
        TimedDriveQuery::Query queryDriveSpace;
        std::function<std::vector<DriveList::DriveEntry>()> listDrives;
        std::function<std::optional<std::int32_t>(HWND owner, std::int32_t start)> chooseColor;
        SettingsAccess* settings = nullptr;
    };

    // Controls, named as the window's design names them.
    enum ControlId : int {
        picDRIVE = 100,
        Drive1,
        lblUSEDLEG,
        lblFREELEG,
        lblVERSION,
        lblDATE,
        lblFREE,
        lblUSED,
        lblTOTAL,
        lblFreeCaption,
        lblUsedCaption,
        lblCapacityCaption,
        fra,
    };

    // Creates the window and loads it (Form_Load); show() makes it visible.
    MainWindow();
    explicit MainWindow(Seams seams);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void show(int showCommand);
    [[nodiscard]] HWND handle() const { return m_window; }
    [[nodiscard]] HWND control(ControlId id) const { return GetDlgItem(m_window, id); }
    [[nodiscard]] const ChartBox& chart() const { return *m_chart; }
    [[nodiscard]] bool timerEnabled() const { return m_timerEnabled; }
    [[nodiscard]] const MainWindowBehaviour& behaviour() const { return *m_behaviour; }

    // The message loop of the program: returns the exit code once the window is gone.
    static int run();

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

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void createControls();
    void applyLayout();
    void placeLabel(ControlId id, int left, int top, int width, int height);
    void reloadDrives();
    void fillDrives(const std::vector<DriveList::DriveEntry>& entries, std::size_t current);
    void queryUnloadOnce();

    Seams m_seams;
    std::unique_ptr<SettingsAccess> m_ownSettings;
    std::unique_ptr<MainWindowBehaviour> m_behaviour;

    HWND m_window = nullptr;
    HWND m_toolTip = nullptr;
    std::unique_ptr<ChartBox> m_chart;
    UINT m_dpi = 96;
    Layout::Font m_font;
    Layout::Font m_linkFont;
    // The drive list's entries, in its order.
    std::vector<DriveList::DriveEntry> m_drives;
    bool m_timerEnabled = false;
    bool m_settingsWritten = false;
    // Closed by the user or the system, so the program ends with it.
    bool m_closing = false;
    // The colour dialog's custom colours, kept for the session; white at first.
    std::array<COLORREF, 16> m_customColors = [] {
        std::array<COLORREF, 16> white{};
        white.fill(RGB(255, 255, 255));
        return white;
    }();
};

} // namespace win32
