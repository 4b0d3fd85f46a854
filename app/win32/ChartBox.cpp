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
    // The stock pen and brush whose colours each drawing sets: nothing to make or free.
    SelectObject(m_memory, GetStockObject(DC_PEN));
    SelectObject(m_memory, GetStockObject(DC_BRUSH));
}

// The bitmap may go once the memory DC holding it is gone.
ChartBox::~ChartBox()
{
    DeleteDC(m_memory);
    DeleteObject(m_bitmap);
    if (IsWindow(m_window))
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
}

void ChartBox::place(const RECT& bounds)
{
    MoveWindow(m_window, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
    const SIZE wanted{bounds.right - bounds.left, bounds.bottom - bounds.top};
    if (m_bitmap && wanted.cx == m_size.cx && wanted.cy == m_size.cy)
        return;
    // One plane of 32 bits a pixel, uncompressed, top row first (a negative
    // height), so that the pixels can be read directly.
    const BITMAPINFO info{{sizeof info.bmiHeader, wanted.cx, -wanted.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(m_memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return;
    SelectObject(m_memory, bitmap);
    DeleteObject(m_bitmap); // the one replaced, no longer selected; at first none
    m_bitmap = bitmap;
    m_bits = static_cast<const std::uint32_t*>(bits);
    m_size = wanted;
    const RECT all{0, 0, m_size.cx, m_size.cy};
    FillRect(m_memory, &all, GetSysColorBrush(COLOR_BTNFACE));
}

void ChartBox::show(const std::optional<ChartPicture>& picture)
{
    m_picture = picture;
    const RECT all{0, 0, m_size.cx, m_size.cy};
    FillRect(m_memory, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (picture) {
        const UsageChart::ChartRect& r = picture->bounds;
        SetDCPenColor(m_memory, Controls::outlineColor());
        for (int i = 0; i < picture->plan.shapeCount; ++i) {
            const UsageChart::Shape& shape = picture->plan.shapes[static_cast<std::size_t>(i)];
            SetDCBrushColor(m_memory, static_cast<COLORREF>(shape.fillColor));
            if (shape.kind == UsageChart::ShapeKind::Ellipse)
                Ellipse(m_memory, r.left, r.top, r.right, r.bottom);
            else
                Pie(m_memory, r.left, r.top, r.right, r.bottom, shape.radial1.x, shape.radial1.y, shape.radial2.x,
                    shape.radial2.y);
        }
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
    if (message == WM_ERASEBKGND)
        return 1; // the blit covers everything
    // None before the box takes its window, nor after it is gone.
    auto* box = reinterpret_cast<ChartBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_PAINT && box) {
        box->paint();
        return 0;
    }
    return Controls::focusableDefault(window, message, wParam, lParam);
}

} // namespace win32
