#include "settings/StoredText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace StoredText {

namespace {

// "&H" and "&O" numbers: the plain value of their digits, never negative; empty
// when it is too large for a double. Octal digits are regrouped into
// hexadecimal ones, four to three, so that from_chars rounds a long run exactly.
[[nodiscard]] std::optional<double> radixValue(std::string_view text)
{
    const char prefix = text.size() > 1 ? static_cast<char>(text[1] | 0x20) : '\0';
    if (prefix != 'h' && prefix != 'o')
        return 0.0;
    const std::string_view allowed = prefix == 'h' ? "0123456789ABCDEFabcdef" : "01234567";
    std::string digits(text.substr(2, text.find_first_not_of(allowed, 2) - 2));
    if (prefix == 'o') {
        digits.insert(0, (4 - digits.size() % 4) % 4, '0');
        std::string hex;
        for (std::size_t i = 0; i < digits.size(); i += 4) {
            int bits = 0;
            std::from_chars(digits.data() + i, digits.data() + i + 4, bits, 8);
            for (const int shift : {8, 4, 0})
                hex += "0123456789ABCDEF"[(bits >> shift) & 15];
        }
        digits = hex;
    }
    double value = 0.0;
    const auto error = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::hex).ec;
    if (error == std::errc::result_out_of_range)
        return std::nullopt;
    return value;
}

// Whether a decimal number beyond the doubles is too small for them, not too large:
// a long double reaches some 4,900 decimal orders either way; beyond, the exponent's sign tells.
[[nodiscard]] bool belowTheDoubles(const char* first, const char* last)
{
    long double value = 0.0L;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc{})
        return value < 1.0L;
    const char* exponent = std::find_if(first, end, [](char c) { return c == 'e' || c == 'E'; });
    return exponent + 1 < end && exponent[1] == '-';
}

} // namespace

std::optional<double> NumericValue(std::string_view original)
{
    std::string text(original);
    std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    if (text.starts_with('&'))
        return radixValue(text);
    const bool negative = text.starts_with('-');
    const std::size_t pos = negative || text.starts_with('+') ? 1 : 0;
    // from_chars reads digits, one point and an exponent up to the first byte that does
    // not belong; only "D" it does not know, and words such as "inf" it must not read.
    constexpr std::string_view mantissaBytes = "0123456789.";
    if (pos >= text.size() || mantissaBytes.find(text[pos]) == std::string_view::npos)
        return 0.0;
    const std::size_t exponent = std::min(text.find_first_not_of(mantissaBytes, pos), text.size());
    if (exponent < text.size() && (text[exponent] == 'D' || text[exponent] == 'd'))
        text[exponent] = 'E';
    double value = 0.0; // kept by from_chars when the number is beyond the doubles
    const char* last = text.data() + text.size();
    const std::errc error = std::from_chars(text.data() + pos, last, value).ec;
    if (error == std::errc::invalid_argument)
        return 0.0;
    if (error == std::errc::result_out_of_range && !belowTheDoubles(text.data() + pos, last))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::int32_t> NearestInt32(double value)
{
    // The default rounding, which nothing here changes, takes a half to the
    // even neighbour; NaN fails the range test.
    const double nearest = std::nearbyint(value);
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (!(nearest >= lowest && nearest <= highest))
        return std::nullopt;
    return static_cast<std::int32_t>(nearest);
}

std::optional<float> ToSingle(double value)
{
    // Converting a double beyond the float range is undefined; one that rounds
    // to the largest float is still in range.
    if (!(std::fabs(value) <= std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(value);
}

std::string SingleText(float value)
{
    if (value == 0.0f)
        return "0";
    // Seven significant digits, trailing zeros dropped, E notation from 1E+07
    // up and below 1E-04: the runtime's text of a single.
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7).ptr;
    std::string text(buffer, end);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace StoredText
