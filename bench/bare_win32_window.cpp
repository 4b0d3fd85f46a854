// The floor for the start-up benchmark: what any small Windows dialog-like
// program does before its window shows, linked like quillmar.exe: the same
// manifest (common controls 6, per-monitor DPI awareness), the common controls
// initialised, a window with one static text and one drop-down list in the
// system's message font.

#include <windows.h>

#include <commctrl.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HFONT messageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void addControls(HWND window, HINSTANCE instance)
{
    const UINT dpi = GetDpiForWindow(window);
    const HFONT font = messageFont(dpi);
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    HWND text = CreateWindowExW(0, L"STATIC", L"Bare window", WS_CHILD | WS_VISIBLE, scaled(12), scaled(12),
                                scaled(200), scaled(16), window, nullptr, instance, nullptr);
    HWND list = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST,
                                scaled(12), scaled(36), scaled(200), scaled(200), window, nullptr, instance, nullptr);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"C:\\"));
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"BareWindow", L"Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 325, 400, nullptr, nullptr, instance, nullptr);
    addControls(window, instance);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
