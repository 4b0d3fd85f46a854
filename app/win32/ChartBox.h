#pragma once

#include "app/behaviour/MainWindowView.h"

#include <windows.h>

#include <cstdint>
#include <optional>

// The chart box: the pie is drawn with GDI's Ellipse and Pie into a memory
// bitmap the size of the box, which painting copies to the screen in one blit,
// so the redraw every second never flickers. A tab stop; its window text is
// its accessible description ("45.2 % used").
namespace win32 {

class ChartBox {
public:
    explicit ChartBox(HWND parent, int id);
    ~ChartBox();
    ChartBox(const ChartBox&) = delete;
    ChartBox& operator=(const ChartBox&) = delete;

    [[nodiscard]] HWND handle() const { return m_window; }

    // Places the box (parent's pixels) and gives it a cleared bitmap of its size.
    void place(const RECT& bounds);
    [[nodiscard]] SIZE size() const { return m_size; }

    // Keeps the picture, clears the bitmap to the window's face, draws the picture
    // if any (outlines in the scheme's window text, the user's fills) and shows it.
    void show(const std::optional<ChartPicture>& picture);
    // Draws the picture it keeps again, in the colour scheme now in force.
    void redraw() { show(m_picture); }

    // A pixel of the bitmap as drawn, 0x00BBGGRR.
    [[nodiscard]] COLORREF pixel(int x, int y) const;

    static void registerClass(HINSTANCE instance);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HWND m_window = nullptr;
    HDC m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    // The bitmap's pixels, 32 bits each, top row first.
    const std::uint32_t* m_bits = nullptr;
    SIZE m_size{};
    std::optional<ChartPicture> m_picture;
};

} // namespace win32
