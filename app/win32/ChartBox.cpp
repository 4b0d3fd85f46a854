#include "app/win32/ChartBox.h"

#include "app/win32/Controls.h"

namespace win32 {

namespace {

constexpr wchar_t ClassName[] = L"QuillmarChartBox";

} // namespace

void ChartBox::registerClass(HINSTANCE instance)
{
    Controls::registerWindowClass(instance, windowProc, ClassName, LoadCursorW(nullptr, IDC_ARROW));
}

ChartBox::ChartBox(HWND parent, int id)
{
    m_window = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HDC screen = GetDC(m_window);
    m_memory = CreateCompatibleDC(screen);
    ReleaseDC(m_window, screen);
}

ChartBox::~ChartBox()
{
    if (m_originalBitmap)
        SelectObject(m_memory, m_originalBitmap);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    DeleteDC(m_memory);
    if (IsWindow(m_window))
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
}

void ChartBox::place(const RECT& bounds)
{
    MoveWindow(m_window, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
    const SIZE wanted{bounds.right - bounds.left, bounds.bottom - bounds.top};
    if (m_bitmap && wanted.cx == m_size.cx && wanted.cy == m_size.cy)
        return;
    // 32 bits a pixel, top row first, so that the pixels can be read directly.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = wanted.cx;
    info.bmiHeader.biHeight = -wanted.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(m_memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return;
    const HGDIOBJ previous = SelectObject(m_memory, bitmap);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    else
        m_originalBitmap = previous;
    m_bitmap = bitmap;
    m_bits = static_cast<const std::uint32_t*>(bits);
    m_size = wanted;
    clear();
}

void ChartBox::clear()
{
    const RECT all{0, 0, m_size.cx, m_size.cy};
    FillRect(m_memory, &all, GetSysColorBrush(COLOR_BTNFACE));
}

void ChartBox::show(const std::optional<ChartPicture>& picture)
{
    m_picture = picture;
    clear();
    if (picture) {
        const UsageChart::ChartRect& r = picture->bounds;
        HPEN outline = CreatePen(PS_SOLID, 1, Controls::outlineColor());
        const HGDIOBJ previousPen = SelectObject(m_memory, outline);
        for (int i = 0; i < picture->plan.shapeCount; ++i) {
            const UsageChart::Shape& shape = picture->plan.shapes[static_cast<std::size_t>(i)];
            HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(shape.fillColor));
            const HGDIOBJ previousBrush = SelectObject(m_memory, fill);
            if (shape.kind == UsageChart::ShapeKind::Ellipse)
                Ellipse(m_memory, r.left, r.top, r.right, r.bottom);
            else
                Pie(m_memory, r.left, r.top, r.right, r.bottom, shape.radial1.x, shape.radial1.y, shape.radial2.x,
                    shape.radial2.y);
            SelectObject(m_memory, previousBrush);
            DeleteObject(fill);
        }
        SelectObject(m_memory, previousPen);
        DeleteObject(outline);
    }
    GdiFlush();
    InvalidateRect(m_window, nullptr, FALSE);
}

COLORREF ChartBox::pixel(int x, int y) const
{
    if (!m_bits || x < 0 || y < 0 || x >= m_size.cx || y >= m_size.cy)
        return CLR_INVALID;
    const std::uint32_t bgr =
        m_bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_size.cx) + static_cast<std::size_t>(x)];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

void ChartBox::paint()
{
    PAINTSTRUCT paintInfo{};
    HDC dc = BeginPaint(m_window, &paintInfo);
    BitBlt(dc, 0, 0, m_size.cx, m_size.cy, m_memory, 0, 0, SRCCOPY);
    // The focus mark goes on the screen only, never into the chart's bitmap.
    if (Controls::showsFocusMark(m_window)) {
        const RECT inside{0, 0, m_size.cx, m_size.cy};
        Controls::paintFocusMark(m_window, dc, inside, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    }
    EndPaint(m_window, &paintInfo);
}

LRESULT CALLBACK ChartBox::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* box = reinterpret_cast<ChartBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        if (!box)
            break;
        box->paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the blit covers everything
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    default:
        break;
    }
    return Controls::focusableDefault(window, message, wParam, lParam);
}

} // namespace win32
