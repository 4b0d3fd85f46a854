#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The numbers in the settings store, which holds every value as text.
namespace StoredText {

// The numeric value of a stored text, blanks, tabs and line ends anywhere ignored:
// an optional sign, digits, '.' as the only decimal point, an optional exponent ('E'
// or 'D'); "&H" hex and "&O" octal; 0 for a text not beginning with a number. Empty
// when unreadable (an exponent too large for a double), so the key's default applies.
[[nodiscard]] std::optional<double> NumericValue(std::string_view text);

// The nearest 32-bit integer, an exact half to the even neighbour; empty outside their range.
[[nodiscard]] std::optional<std::int32_t> NearestInt32(double value);

// The value in single precision, as window positions are held; empty beyond its range and for NaN.
[[nodiscard]] std::optional<float> ToSingle(double value);

// A single as text: at most seven significant digits, '.' as the decimal point
// whatever the locale, '-' when negative, no blank: "1440", "-300", "1440.5".
[[nodiscard]] std::string SingleText(float value);

} // namespace StoredText
