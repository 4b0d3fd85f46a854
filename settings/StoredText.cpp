#include "settings/StoredText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace StoredText {

namespace {

// Beyond this many decimal orders of magnitude no double is left: the largest
// is about 1.8E308, the smallest subnormal about 4.9E-324.
constexpr std::int64_t beyondAnyDouble = 400;
// Exponent digits are added up no further than this, far past beyondAnyDouble,
// so that a long run of exponent digits cannot overflow the count.
constexpr std::int64_t exponentCap = 1'000'000'000;

[[nodiscard]] bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

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
            const int bits = (digits[i] - '0') << 9 | (digits[i + 1] - '0') << 6 | (digits[i + 2] - '0') << 3 |
                             (digits[i + 3] - '0');
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

// The significant digits without leading zeros, and how many of them stand
// before the decimal point (negative for zeros right after the point).
struct Mantissa {
    std::string digits;
    std::int64_t integerDigits = 0;
    bool sawDigit = false;
};

// Reads digits with at most one decimal point from pos on, leaving pos after
// them.
[[nodiscard]] Mantissa readMantissa(std::string_view text, std::size_t& pos)
{
    Mantissa mantissa;
    bool sawPoint = false;
    for (; pos < text.size() && (isDigit(text[pos]) || (text[pos] == '.' && !sawPoint)); ++pos) {
        const char c = text[pos];
        sawPoint = sawPoint || c == '.';
        if (c == '.')
            continue;
        mantissa.sawDigit = true;
        if (mantissa.digits.empty() && c == '0') {
            if (sawPoint)
                --mantissa.integerDigits;
            continue;
        }
        mantissa.digits.push_back(c);
        if (!sawPoint)
            ++mantissa.integerDigits;
    }
    return mantissa;
}

// An exponent ("E", "D", either case, a sign and digits) from pos on, 0 when
// there is none.
[[nodiscard]] std::int64_t exponentAt(std::string_view text, std::size_t pos)
{
    if (pos >= text.size() || std::string_view("EeDd").find(text[pos]) == std::string_view::npos)
        return 0;
    ++pos;
    const bool negative = pos < text.size() && text[pos] == '-';
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::int64_t exponent = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        if (exponent < exponentCap)
            exponent = exponent * 10 + (text[pos] - '0');
    }
    return negative ? -exponent : exponent;
}

// The double nearest to 0.<digits> times ten to the order, rounded once by
// from_chars; empty when it is too large for a double.
[[nodiscard]] std::optional<double> nearestDouble(bool negative, const std::string& digits, std::int64_t order)
{
    const std::string decimal = (negative ? "-0." : "0.") + digits + "e" + std::to_string(order);
    double value = 0.0;
    const auto error = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value).ec;
    if (error == std::errc::result_out_of_range)
        return order > 0 ? std::nullopt : std::optional<double>{negative ? -0.0 : 0.0};
    if (error != std::errc{} || std::isinf(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> NumericValue(std::string_view original)
{
    // The text without the blanks, tabs and line ends that the reading skips.
    std::string text(original);
    std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    if (text.starts_with('&'))
        return radixValue(text);
    const bool negative = text.starts_with('-');
    std::size_t pos = negative || text.starts_with('+') ? 1 : 0;
    const Mantissa mantissa = readMantissa(text, pos);
    if (!mantissa.sawDigit)
        return 0.0;
    // The value is 0.<digits> times ten to this power.
    const std::int64_t order = mantissa.integerDigits + exponentAt(text, pos);
    if (order > beyondAnyDouble && !mantissa.digits.empty())
        return std::nullopt;
    if (mantissa.digits.empty() || order < -beyondAnyDouble)
        return negative ? -0.0 : 0.0;
    return nearestDouble(negative, mantissa.digits, order);
}

std::optional<std::int32_t> NearestInt32(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    double nearest = std::floor(value);
    // Exact for every double: below 2^52 the fraction is held exactly, above it
    // there is none.
    const double fraction = value - nearest;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(nearest, 2.0) != 0.0))
        nearest += 1.0;
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
    constexpr double largest = std::numeric_limits<float>::max();
    if (!(std::fabs(value) <= largest))
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
