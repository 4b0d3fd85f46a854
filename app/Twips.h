#pragma once

#include <QRect>

#include <cmath>

// The window is laid out in twips, 1/1440 inch, converted at the screen's
// logical resolution: 15 twips to a pixel at 96 dots per inch, 10 at 144. A
// desktop set to larger text gets a proportionally larger window.
class Twips {
public:
    static constexpr int PerInch = 1440;
    static constexpr int StandardDotsPerInch = 96;

    explicit constexpr Twips(int dotsPerInch = StandardDotsPerInch) : m_dotsPerInch(dotsPerInch) {}

    // Twips in one logical pixel.
    [[nodiscard]] constexpr double perPixel() const { return static_cast<double>(PerInch) / m_dotsPerInch; }

    // The nearest whole pixel.
    [[nodiscard]] int toPixels(int twips) const
    {
        return static_cast<int>(std::lround(static_cast<double>(twips) * m_dotsPerInch / PerInch));
    }

    // A rectangle given in twips, in logical pixels.
    [[nodiscard]] QRect rect(int left, int top, int width, int height) const
    {
        return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    }

private:
    int m_dotsPerInch;
};
