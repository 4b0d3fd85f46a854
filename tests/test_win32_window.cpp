// The native Windows window's wiring, in-process under wine (or Windows): the
// real controls, a test drive query and a registry key of its own.

#include "app/behaviour/Contrast.h"
#include "app/behaviour/FittedSize.h"
#include "app/win32/AboutDialog.h"
#include "app/win32/Controls.h"
#include "app/win32/MainWindow.h"
#include "common/WideText_win32.h"
#include "settings/SettingKeys.h"
#include "settings/SettingsStore.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>

namespace {

using FormTable::Main;
using win32::MainWindow;
namespace Layout = win32::Layout;

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
        const auto askAtOnce = [this](DriveAnswer& answer, const std::string& root, std::chrono::milliseconds,
                                      const LateDriveAnswer&) {
            const auto found = sizes.find(root);
            if (found == sizes.end())
                return answer.capacity = FailureValue, true;
            answer = {Currency::fromStored(found->second.first), Currency::fromStored(found->second.second)};
            return true;
        };
        const auto listDrives = [](const DriveList::LateDriveText&) {
            return std::vector<DriveList::DriveEntry>{{"c: [system]", "C:\\"}, {"d: [backup]", "D:\\"}};
        };
        window = std::make_unique<MainWindow>(
            Services{askAtOnce, settings, listDrives, std::chrono::steady_clock::now, "C:\\"},
            [this](HWND, std::int32_t start) {
                dialogStarts.push_back(start);
                if (duringDialog)
                    duringDialog();
                return std::optional<std::int32_t>(Red);
            });
        window->show(SW_SHOWNORMAL);
    }

    HWND control(Main which) const { return window->control(which); }

    // In the window's client pixels.
    RECT placeOf(Main which) const
    {
        RECT place{};
        GetWindowRect(control(which), &place);
        MapWindowPoints(HWND_DESKTOP, window->handle(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    // As when moved to a screen of that DPI, where Windows suggests the
    // window's place at its size there.
    void layOutAt(UINT dpi)
    {
        RECT suggested{0, 0, Layout::toPixels(FormTable::mainForm.clientWidth, dpi),
                       Layout::toPixels(FormTable::mainForm.clientHeight, dpi)};
        AdjustWindowRectExForDpi(&suggested, static_cast<DWORD>(GetWindowLongW(window->handle(), GWL_STYLE)), FALSE,
                                 static_cast<DWORD>(GetWindowLongW(window->handle(), GWL_EXSTYLE)), dpi);
        RECT outer{};
        GetWindowRect(window->handle(), &outer);
        OffsetRect(&suggested, outer.left - suggested.left, outer.top - suggested.top);
        moveToDpi(dpi, suggested);
    }

    void moveToDpi(UINT dpi, const RECT& suggested)
    {
        SendMessageW(window->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }

    void pickDrive(int index)
    {
        SendMessageW(control(Main::Drive1), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(MainWindow::idOf(Main::Drive1), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(Main::Drive1)));
    }

    // Above the centre lies the used share when half the drive is free.
    COLORREF usedSide() const { return window->chart().pixel(128, 64); }
    COLORREF freeSide() const { return window->chart().pixel(128, 192); }

    std::map<std::string, std::pair<std::int64_t, std::int64_t>> sizes{{"C:\\", {2 * Half, Half}}};
    std::vector<std::int32_t> dialogStarts;
    std::function<void()> duringDialog;
    SettingsStore settings{"Quillmar Test"};
    std::unique_ptr<MainWindow> window;
};

TEST_F(Win32WindowTest, ShowsTheDriveInFiguresChartAndCaption)
{
    open();
    EXPECT_EQ(textOf(window->handle()), "Disk Usage: C: [SYSTEM]");
    EXPECT_EQ(textOf(control(Main::lblFREE)), "500,000,000");
    EXPECT_EQ(textOf(control(Main::lblUSED)), "500,000,000");
    EXPECT_EQ(textOf(control(Main::lblTOTAL)), "1,000,000,000");
    EXPECT_EQ(textOf(control(Main::picDRIVE)), "50.0 % used");
    EXPECT_EQ(usedSide(), static_cast<COLORREF>(SettingKeys::DefaultUsedColor));
    EXPECT_EQ(freeSide(), static_cast<COLORREF>(SettingKeys::DefaultFreeColor));
    EXPECT_TRUE(window->timerEnabled());
}

TEST_F(Win32WindowTest, UnreadableDriveReadsNotAvailableUntilAnotherPick)
{
    open();
    pickDrive(1);
    EXPECT_EQ(textOf(window->handle()), "Disk Usage: D: [BACKUP]");
    EXPECT_EQ(textOf(control(Main::lblTOTAL)), "Not Available  ");
    EXPECT_EQ(textOf(control(Main::lblFREE)), "");
    EXPECT_FALSE(window->timerEnabled());
    EXPECT_EQ(usedSide(), GetSysColor(COLOR_BTNFACE));

    pickDrive(0);
    EXPECT_EQ(textOf(control(Main::lblTOTAL)), "1,000,000,000");
    EXPECT_TRUE(window->timerEnabled());
}

TEST_F(Win32WindowTest, ReleaseOverASwatchAsksForAColourAndShiftReleaseResetsIt)
{
    open();
    HWND swatch = control(Main::lblUSEDLEG);
    SendMessageW(swatch, WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(usedSide(), static_cast<COLORREF>(Red));
    SendMessageW(swatch, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(3, 3));
    EXPECT_EQ(usedSide(), static_cast<COLORREF>(SettingKeys::DefaultUsedColor));
    EXPECT_EQ(dialogStarts, std::vector<std::int32_t>{SettingKeys::DefaultUsedColor});
}

struct FigureCase {
    const char* name;
    std::int64_t capacity;
};

// Figures of 12, 15, 18, 21 and 25 characters.
const FigureCase figureCases[] = {
    {"TwelveCharacters", 100'000'000'000},   {"Fifteen", 999'999'999'999}, {"TwentyTerabytes", 21'990'232'555'520},
    {"TwoPetabytes", 2'251'799'813'685'248}, {"Largest", INT64_MAX},
};

class Win32FigureTest : public Win32WindowTest, public testing::WithParamInterface<FigureCase> {};

// However long, each figure ends at its designed right edge and keeps clear
// of its caption, at 96 and 144 DPI.
TEST_P(Win32FigureTest, FitsBetweenItsCaptionAndItsRightEdge)
{
    sizes["C:\\"] = {GetParam().capacity, 0};
    open();
    for (const UINT dpi : {96U, 144U}) {
        layOutAt(dpi);
        for (const auto& [figure, caption] : {std::pair{Main::lblUSED, Main::lbl5}, {Main::lblTOTAL, Main::lbl6}}) {
            const FormTable::PixelRect design =
                FormTable::toPixels(FormTable::inWindow(FormTable::control(figure)), static_cast<int>(dpi));
            EXPECT_EQ(placeOf(figure).right, design.left + design.width) << dpi;
            EXPECT_GE(placeOf(figure).left - placeOf(caption).right, FittedSize::CaptionGap) << dpi;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Win32FigureTest, testing::ValuesIn(figureCases), RowName{});

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
    HWND link = control(Main::lblVERSION);
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
    EXPECT_EQ(GetFocus(), link);
}

// The control that had the keyboard focus has it again after a dialog took the
// activation and gave it back, and after a minimise and restore.
TEST_F(Win32WindowTest, TheFocusComesBackAfterTheColourDialogAndARestore)
{
    open();
    HWND swatch = control(Main::lblFREELEG);
    SendMessageW(swatch, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    duringDialog = [this] {
        HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, window->handle(), nullptr,
                                      nullptr, nullptr);
        SetActiveWindow(dialog);
        DestroyWindow(dialog);
    };
    SendMessageW(swatch, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetFocus(), swatch);
    ShowWindow(window->handle(), SW_MINIMIZE);
    ShowWindow(window->handle(), SW_RESTORE);
    EXPECT_EQ(GetFocus(), swatch);
}

// The focused swatch's mark stands out against the window's face outside it
// and against the swatch's colour inside it, whatever that colour.
TEST_F(Win32WindowTest, AFocusedSwatchsMarkStandsOutAgainstItsColourAndTheFace)
{
    open();
    HWND swatch = control(Main::lblUSEDLEG);
    SetFocus(swatch);
    for (const COLORREF color : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0x77, 0x77, 0x77), RGB(0, 0, 160)}) {
        win32::Controls::setSwatchColor(swatch, color);
        RedrawWindow(swatch, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(swatch);
        EXPECT_GE(Contrast::ratio(GetPixel(dc, 0, 6), GetSysColor(COLOR_BTNFACE)), 3.0) << color;
        EXPECT_GE(Contrast::ratio(GetPixel(dc, 1, 6), color), 3.0) << color;
        EXPECT_GE(Contrast::ratio(GetPixel(dc, 2, 6), color), 3.0) << color;
        ReleaseDC(swatch, dc);
    }
}

// What a window shows on the screen, row after row, 0x00BBGGRR.
std::vector<COLORREF> shownPixels(HWND window)
{
    RECT box{};
    GetClientRect(window, &box);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = box.right;
    info.bmiHeader.biHeight = -box.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, box.right, box.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    // The bitmap holds 0x00RRGGBB.
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<COLORREF> pixels(first, first + box.right * box.bottom);
    for (COLORREF& pixel : pixels)
        pixel = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

// A text as shown: its background, the colour it shows most, and its ink, the
// colour that stands out most from it (smoothed glyph edges lie between).
struct Ink {
    COLORREF background = CLR_INVALID;
    COLORREF ink = CLR_INVALID;
};

Ink inkOf(HWND label)
{
    const std::vector<COLORREF> pixels = shownPixels(label);
    std::map<COLORREF, int> counts;
    for (const COLORREF pixel : pixels)
        ++counts[pixel];
    Ink shown;
    if (counts.empty())
        return shown;
    shown.background =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    shown.ink = *std::max_element(pixels.begin(), pixels.end(), [&shown](COLORREF a, COLORREF b) {
        return Contrast::ratio(a, shown.background) < Contrast::ratio(b, shown.background);
    });
    return shown;
}

// The About dialog's labels as a timer of its modal loop finds them: the
// lowest contrast of their ink, and whether each stands on the face given.
struct AboutInks {
    COLORREF face = CLR_INVALID;
    int labels = 0;
    int onTheFace = 0;
    double leastContrast = 21;
};
AboutInks aboutInks;

void CALLBACK readAboutLabels(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND dialog = GetActiveWindow();
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        if (_wcsicmp(kind, L"Static") != 0 || textOf(child).empty())
            continue;
        const Ink shown = inkOf(child);
        ++aboutInks.labels;
        aboutInks.onTheFace += shown.background == aboutInks.face ? 1 : 0;
        aboutInks.leastContrast = std::min(aboutInks.leastContrast, Contrast::ratio(shown.ink, shown.background));
    }
    SendMessageW(GetDlgItem(dialog, win32::AboutOkId), BM_CLICK, 0, 0);
}

// A colour scheme as the window reads it: button face and button text, the
// link colour and the window text.
struct Scheme {
    const char* name;
    COLORREF face;
    COLORREF text;
    COLORREF hotLight;
    COLORREF windowText;
};

// The four high-contrast schemes Windows ships, and a dark scheme made by hand
// that left the window text black, as a user who changed only the 3D objects.
const Scheme schemes[] = {
    {"HighContrastOne", RGB(0, 0, 0), RGB(255, 255, 0), RGB(128, 128, 255), RGB(255, 255, 0)},
    {"HighContrastTwo", RGB(0, 0, 0), RGB(0, 255, 0), RGB(128, 128, 255), RGB(0, 255, 0)},
    {"HighContrastBlack", RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 0), RGB(255, 255, 255)},
    {"HighContrastWhite", RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 159), RGB(0, 0, 0)},
    {"DarkCustom", RGB(32, 32, 32), RGB(240, 240, 240), RGB(0, 102, 204), RGB(0, 0, 0)},
};

constexpr std::array<int, 4> schemeElements{COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HOTLIGHT, COLOR_WINDOWTEXT};

// Switches the scheme while the window is open, as a theme switch does with
// SetSysColors, and puts the machine's colours back after.
class Win32SchemeTest : public Win32WindowTest, public testing::WithParamInterface<Scheme> {
protected:
    void SetUp() override
    {
        Win32WindowTest::SetUp();
        for (std::size_t i = 0; i < schemeElements.size(); ++i)
            before[i] = GetSysColor(schemeElements[i]);
    }
    void TearDown() override
    {
        SetSysColors(static_cast<int>(schemeElements.size()), schemeElements.data(), before.data());
        Win32WindowTest::TearDown();
    }
    void switchScheme()
    {
        const Scheme& scheme = GetParam();
        const std::array<COLORREF, 4> colors{scheme.face, scheme.text, scheme.hotLight, scheme.windowText};
        SetSysColors(static_cast<int>(schemeElements.size()), schemeElements.data(), colors.data());
        RedrawWindow(window->handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    void expectReadable(Main which)
    {
        const Ink shown = inkOf(control(which));
        EXPECT_EQ(shown.background, GetParam().face) << FormTable::control(which).name;
        EXPECT_GE(Contrast::ratio(shown.ink, GetParam().face), Contrast::Readable) << FormTable::control(which).name;
    }

    std::array<COLORREF, 4> before{};
};

// Every caption, figure and link is drawn on the scheme's face in an ink that
// reads on it, "Not Available" too; the swatches' borders and the chart's
// outline stand out from the face, the chart's box is cleared to it; and so
// for the About dialog's labels.
TEST_P(Win32SchemeTest, TextsAndMarksReadOnTheFaceAfterASchemeSwitch)
{
    open();
    switchScheme();
    for (const Main text : {Main::lbl4, Main::lbl5, Main::lbl6, Main::lblFREE, Main::lblUSED, Main::lblTOTAL,
                            Main::lblVERSION, Main::lblDATE})
        expectReadable(text);
    for (const Main swatch : {Main::lblUSEDLEG, Main::lblFREELEG}) {
        const std::vector<COLORREF> pixels = shownPixels(control(swatch));
        EXPECT_GE(Contrast::ratio(pixels.at(0), GetParam().face), Contrast::Readable)
            << FormTable::control(swatch).name;
    }
    const win32::ChartBox& chart = window->chart();
    EXPECT_EQ(chart.pixel(0, 0), GetParam().face);
    int x = 0;
    while (x < chart.size().cx && chart.pixel(x, chart.size().cy / 2) == GetParam().face)
        ++x;
    EXPECT_GE(Contrast::ratio(chart.pixel(x, chart.size().cy / 2), GetParam().face), Contrast::Readable);

    pickDrive(1);
    ASSERT_EQ(textOf(control(Main::lblTOTAL)), "Not Available  ");
    expectReadable(Main::lblTOTAL);

    aboutInks = AboutInks{GetParam().face};
    SetTimer(nullptr, 0, 200, readAboutLabels);
    SendMessageW(control(Main::lblDATE), WM_KEYDOWN, VK_SPACE, 0); // returns once the dialog is closed
    EXPECT_EQ(aboutInks.labels, 4);
    EXPECT_EQ(aboutInks.onTheFace, aboutInks.labels);
    EXPECT_GE(aboutInks.leastContrast, Contrast::Readable);
}

INSTANTIATE_TEST_SUITE_P(Table, Win32SchemeTest, testing::ValuesIn(schemes), RowName{});

TEST_F(Win32WindowTest, CloseStoresDriveColoursAndPositionForTheNextStart)
{
    sizes["D:\\"] = {2 * Half, Half};
    open();
    EXPECT_EQ(settings.GetSetting("Settings", "UsedColor", "none"), "none");
    pickDrive(1);
    SendMessageW(control(Main::lblFREELEG), WM_LBUTTONUP, 0, 0);
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

// Each control of the form table at its rectangle at the window's DPI, laid
// out again at 144 DPI as when moved to a screen of larger text; a label sized
// to its text at its right edge.
TEST_F(Win32WindowTest, EveryControlOfTheFormTableStandsAtItsRectangleAt96And144Dpi)
{
    open();
    for (const UINT dpi : {96U, 144U}) {
        layOutAt(dpi);
        for (std::size_t index = 0; index < FormTable::mainControls.size(); ++index) {
            const FormTable::Control& design = FormTable::mainControls[index];
            const FormTable::PixelRect expected =
                FormTable::toPixels(FormTable::inWindow(design), static_cast<int>(dpi));
            const RECT shown = placeOf(static_cast<Main>(index));
            EXPECT_EQ(shown.right, expected.left + expected.width) << design.name << " at " << dpi;
            if (FormTable::keepsRightEdge(design.kind) || design.kind == FormTable::Kind::DriveList)
                continue; // sized to the text; the drop-down includes its list
            EXPECT_EQ(shown.left, expected.left) << design.name << " at " << dpi;
            EXPECT_EQ(shown.top, expected.top) << design.name << " at " << dpi;
            EXPECT_EQ(shown.bottom, expected.top + expected.height) << design.name << " at " << dpi;
        }
    }
}

struct DpiMoveCase {
    const char* name;
    UINT dpi;
    POINT to;
};

// Windows suggests the window's size on a screen of another DPI by scaling the
// whole window, border and title bar included, which need not be the size the
// window would make for itself there: the suggestion is taken as it is. Each
// fits the test's screen of 1024 x 768, to which Windows would cut a window.
const DpiMoveCase dpiMoves[] = {
    {"To120", 120, {40, 30}},
    {"To144", 144, {300, 10}},
    {"To168", 168, {0, 0}},
};

class Win32DpiMoveTest : public Win32WindowTest, public testing::WithParamInterface<DpiMoveCase> {};

TEST_P(Win32DpiMoveTest, TakesTheSuggestedRectangleWhole)
{
    open();
    RECT outer{};
    GetWindowRect(window->handle(), &outer);
    const DpiMoveCase& row = GetParam();
    const RECT suggested{row.to.x, row.to.y, row.to.x + MulDiv(outer.right - outer.left, static_cast<int>(row.dpi), 96),
                         row.to.y + MulDiv(outer.bottom - outer.top, static_cast<int>(row.dpi), 96)};
    moveToDpi(row.dpi, suggested);
    RECT shown{};
    GetWindowRect(window->handle(), &shown);
    EXPECT_EQ(shown.left, suggested.left);
    EXPECT_EQ(shown.top, suggested.top);
    EXPECT_EQ(shown.right, suggested.right);
    EXPECT_EQ(shown.bottom, suggested.bottom);
}

INSTANTIATE_TEST_SUITE_P(Table, Win32DpiMoveTest, testing::ValuesIn(dpiMoves), RowName{});

// A close that arrives while a handler runs (here from within the colour
// dialog) waits for it: the window stays until the handler has returned, then
// closes and stores what the handler did.
TEST_F(Win32WindowTest, ACloseWhileAHandlerRunsWaitsForItsEnd)
{
    open();
    bool openDuringTheHandler = false;
    duringDialog = [this, &openDuringTheHandler] {
        SendMessageW(window->handle(), WM_CLOSE, 0, 0);
        openDuringTheHandler = IsWindow(window->handle()) != FALSE;
    };
    SendMessageW(control(Main::lblUSEDLEG), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(openDuringTheHandler);
    EXPECT_FALSE(IsWindow(window->handle()));
    EXPECT_EQ(settings.GetSetting("Settings", "UsedColor", "none"), std::to_string(Red));
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
