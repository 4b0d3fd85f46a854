// The native Windows window's wiring, in-process under wine (or Windows): the
// real controls, a test drive query and a registry key of its own.

#include "app/win32/AboutDialog.h"
#include "app/win32/MainWindow.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsStore.h"
#include "settings/WideText_win32.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using win32::MainWindow;

constexpr std::int32_t Red = 0x000000FF;
constexpr std::int64_t Half = 500'000'000;

std::string textOf(HWND window)
{
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return WideText::toUtf8(text);
}

class Win32WindowTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillmar Test"); }
    void TearDown() override
    {
        window.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillmar Test");
    }

    void open()
    {
        MainWindow::Seams seams;
        seams.queryDriveSpace = [this](Currency& capacity, Currency& free, const std::string& root) {
            const auto found = sizes.find(root);
            if (found == sizes.end())
                return void(capacity = FailureValue);
            capacity = Currency::fromStored(found->second.first);
            free = Currency::fromStored(found->second.second);
        };
        seams.listDrives = [] {
            return std::vector<DriveList::DriveEntry>{{"c: [system]", "C:\\"}, {"d: [backup]", "D:\\"}};
        };
        seams.chooseColor = [this](HWND, std::int32_t start) {
            dialogStarts.push_back(start);
            return std::optional<std::int32_t>(Red);
        };
        seams.settings = &settings;
        window = std::make_unique<MainWindow>(seams);
        window->show(SW_SHOWNORMAL);
    }

    HWND control(MainWindow::ControlId id) const { return window->control(id); }

    void pickDrive(int index)
    {
        SendMessageW(control(MainWindow::Drive1), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(MainWindow::Drive1, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(MainWindow::Drive1)));
    }

    // Above the centre lies the used share when half the drive is free.
    COLORREF usedSide() const { return window->chart().pixel(128, 64); }
    COLORREF freeSide() const { return window->chart().pixel(128, 192); }

    std::map<std::string, std::pair<std::int64_t, std::int64_t>> sizes{{"C:\\", {2 * Half, Half}}};
    std::vector<std::int32_t> dialogStarts;
    SettingsStore settings{"Quillmar Test"};
    std::unique_ptr<MainWindow> window;
};

TEST_F(Win32WindowTest, ShowsTheDriveInFiguresChartAndCaption)
{
    open();
    EXPECT_EQ(textOf(window->handle()), "Disk Usage: C: [SYSTEM]");
    EXPECT_EQ(textOf(control(MainWindow::lblFREE)), "500,000,000");
    EXPECT_EQ(textOf(control(MainWindow::lblUSED)), "500,000,000");
    EXPECT_EQ(textOf(control(MainWindow::lblTOTAL)), "1,000,000,000");
    EXPECT_EQ(textOf(control(MainWindow::picDRIVE)), "50.0 % used");
    EXPECT_EQ(usedSide(), static_cast<COLORREF>(SettingKeys::DefaultUsedColor));
    EXPECT_EQ(freeSide(), static_cast<COLORREF>(SettingKeys::DefaultFreeColor));
    EXPECT_TRUE(window->timerEnabled());
}

TEST_F(Win32WindowTest, UnreadableDriveReadsNotAvailableUntilAnotherPick)
{
    open();
    pickDrive(1);
    EXPECT_EQ(textOf(window->handle()), "Disk Usage: D: [BACKUP]");
    EXPECT_EQ(textOf(control(MainWindow::lblTOTAL)), "Not Available  ");
    EXPECT_EQ(textOf(control(MainWindow::lblFREE)), "");
    EXPECT_FALSE(window->timerEnabled());
    EXPECT_EQ(usedSide(), GetSysColor(COLOR_BTNFACE));

    pickDrive(0);
    EXPECT_EQ(textOf(control(MainWindow::lblTOTAL)), "1,000,000,000");
    EXPECT_TRUE(window->timerEnabled());
}

TEST_F(Win32WindowTest, ReleaseOverASwatchAsksForAColourAndShiftReleaseResetsIt)
{
    open();
    HWND swatch = control(MainWindow::lblUSEDLEG);
    SendMessageW(swatch, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(usedSide(), static_cast<COLORREF>(Red));
    SendMessageW(swatch, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(3, 3));
    EXPECT_EQ(usedSide(), static_cast<COLORREF>(SettingKeys::DefaultUsedColor));
    EXPECT_EQ(dialogStarts, std::vector<std::int32_t>{SettingKeys::DefaultUsedColor});
}

// Looks at the open About dialog from a timer of the modal loop: Escape first,
// which must leave it open, then OK.
struct AboutSeen {
    HWND dialog = nullptr;
    std::string caption;
    bool okFocused = false;
    bool openAfterEscape = false;
    RECT place{};
};
AboutSeen aboutSeen;

void CALLBACK lookAtAbout(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (!aboutSeen.dialog) {
        aboutSeen.dialog = dialog;
        aboutSeen.caption = textOf(dialog);
        aboutSeen.okFocused = GetFocus() == GetDlgItem(dialog, win32::AboutOkId);
        GetWindowRect(dialog, &aboutSeen.place);
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    KillTimer(nullptr, timer);
    aboutSeen.openAfterEscape = IsWindowVisible(aboutSeen.dialog);
    SendMessageW(GetDlgItem(aboutSeen.dialog, win32::AboutOkId), BM_CLICK, 0, 0);
}

TEST_F(Win32WindowTest, VersionLinkOpensAboutOverTheCornerAndOkClosesIt)
{
    open();
    SetTimer(nullptr, 0, 200, lookAtAbout);
    HWND link = control(MainWindow::lblVERSION);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2)); // returns once the dialog is closed

    RECT main{};
    GetWindowRect(window->handle(), &main);
    EXPECT_EQ(aboutSeen.caption, "About Quillmar");
    EXPECT_TRUE(aboutSeen.okFocused);
    EXPECT_TRUE(aboutSeen.openAfterEscape);
    EXPECT_EQ(aboutSeen.place.left, main.left);
    EXPECT_EQ(aboutSeen.place.top, main.top);
    EXPECT_FALSE(IsWindow(aboutSeen.dialog));
}

TEST_F(Win32WindowTest, CloseStoresDriveColoursAndPositionForTheNextStart)
{
    sizes["D:\\"] = {2 * Half, Half};
    open();
    EXPECT_EQ(settings.GetSetting("Settings", "UsedColor", "none"), "none");
    pickDrive(1);
    SendMessageW(control(MainWindow::lblFREELEG), WM_LBUTTONUP, 0, 0);
    SetWindowPos(window->handle(), nullptr, 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window->handle(), WM_CLOSE, 0, 0);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    open();
    RECT outer{};
    GetWindowRect(window->handle(), &outer);
    EXPECT_EQ(textOf(window->handle()), "Disk Usage: D: [BACKUP]");
    EXPECT_EQ(freeSide(), static_cast<COLORREF>(Red));
    EXPECT_EQ(outer.left, 200);
    EXPECT_EQ(outer.top, 100);
}

} // namespace
