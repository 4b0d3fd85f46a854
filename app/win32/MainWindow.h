#pragma once

#include "app/behaviour/EventLoop.h"
#include "app/behaviour/FormTable.h"
#include "app/behaviour/MainWindowBehaviour.h"
#include "app/behaviour/MainWindowView.h"
#include "app/behaviour/Services.h"
#include "app/win32/ChartBox.h"
#include "app/win32/Layout.h"

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace win32 {

// The main window on Windows' own controls, over the shared behaviour: it
// creates the form table's controls, lays them out at its DPI, shows what the
// behaviour tells it and forwards each event to the behaviour's handler.
class MainWindow : public MainWindowView, public EventLoop {
public:
    // Stands in for the colour dialog (tests); empty: the real one.
    using ColorChooser = std::function<std::optional<std::int32_t>(HWND owner, std::int32_t start)>;

    // Creates the window and loads it (Form_Load); show() makes it visible.
    explicit MainWindow(Services services, ColorChooser chooseColor = {});
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void show(int showCommand);
    [[nodiscard]] HWND handle() const { return m_window; }
    // The control of the form table; its id is 100 and its place in the table.
    [[nodiscard]] HWND control(FormTable::Main which) const { return GetDlgItem(m_window, idOf(which)); }
    [[nodiscard]] static int idOf(FormTable::Main which) { return 100 + static_cast<int>(which); }
    [[nodiscard]] const ChartBox& chart() const { return *m_chart; }
    [[nodiscard]] bool timerEnabled() const { return m_timerEnabled; }

    // The message loop of the program: returns the exit code once the window is gone.
    static int run();

    // MainWindowView
    void setText(Text which, const std::string& text) override;
    void setSwatchColor(Swatch which, std::int32_t color) override;
    void showChart(const std::optional<ChartPicture>& picture) override;
    void showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current) override;
    [[nodiscard]] WindowPlacement::Rect frame() const override;
    [[nodiscard]] std::vector<WindowPlacement::Rect> availableAreas() const override;
    [[nodiscard]] double twipsPerPixel() const override;
    void moveTo(int left, int top) override;
    [[nodiscard]] UsageChart::ChartRect chartBox() const override;
    [[nodiscard]] std::optional<std::int32_t> askColor(std::int32_t start) override;
    void openAbout() override;
    void closeWindow() override;

    // EventLoop
    void runTimer(Timer which, std::chrono::milliseconds interval) override;
    void stopTimer(Timer which) override;
    void processWaitingEvents() override;
    [[nodiscard]] Poster poster() override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleSystemMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(int id, int code);
    void onSwatchMouseUp(int id, int button, int shift);
    void onLinkClick(int id);
    void onTimer(UINT_PTR timer);
    void onClose();
    void onDestroy();
    void onDpiChanged(UINT dpi, const RECT& suggested);
    void onActivate(bool active);
    void onSchemeChanged(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOutControls();
    void placeControl(FormTable::Main which);
    [[nodiscard]] HFONT figureFont(FormTable::Main figure);
    [[nodiscard]] HFONT fontAt(double pointSize);
    void sendToolTip(UINT message, FormTable::Main figure, const wchar_t* text);
    void queryUnloadOnce();

    ColorChooser m_chooseColor;
    std::unique_ptr<MainWindowBehaviour> m_behaviour;

    HWND m_window = nullptr;
    HWND m_toolTip = nullptr;
    std::unique_ptr<ChartBox> m_chart;
    UINT m_dpi = 96;
    Layout::Font m_font;
    Layout::Font m_linkFont;
    // The smaller faces of figures too long for their room, by point size:
    // made once, not at every refresh.
    std::map<double, Layout::Font> m_smallerFonts;
    bool m_timerEnabled = false;
    // The control that had the keyboard focus when the window last lost the
    // activation (to a dialog, another program, or when minimised).
    HWND m_focusBeforeDeactivation = nullptr;
    bool m_settingsWritten = false;
    // Closed by the user or the system, so the program ends with it.
    bool m_closing = false;
    // The colour dialog's custom colours, kept for the session; white at first.
    std::array<COLORREF, 16> m_customColors{};
};

} // namespace win32
