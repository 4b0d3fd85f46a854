#pragma once

#include <QColor>

#include <cstdint>

// Colours as the program stores and passes them: a 32-bit integer 0x00BBGGRR, red in the lowest byte.
namespace ColorValue {

[[nodiscard]] inline QColor toQColor(std::int32_t value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

[[nodiscard]] inline std::int32_t fromQColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace ColorValue
