#pragma once

#include "app/behaviour/FormTable.h"

#include <QRect>

// The form tables' twips at the screen's logical resolution: 15 to a pixel at 96 dots per inch, 10 at 144.
class Twips {
public:
    explicit constexpr Twips(int dotsPerInch = 96) : m_dotsPerInch(dotsPerInch) {}

    [[nodiscard]] constexpr int dotsPerInch() const { return m_dotsPerInch; }
    [[nodiscard]] constexpr double perPixel() const { return 1440.0 / m_dotsPerInch; }
    [[nodiscard]] int toPixels(int twips) const { return FormTable::toPixels(twips, m_dotsPerInch); }
    [[nodiscard]] QRect rect(const FormTable::TwipsRect& twips) const
    {
        const FormTable::PixelRect pixels = FormTable::toPixels(twips, m_dotsPerInch);
        return {pixels.left, pixels.top, pixels.width, pixels.height};
    }

private:
    int m_dotsPerInch;
};
