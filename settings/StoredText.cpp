#include "settings/StoredText.h"

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

[[nodiscard]] bool isIgnored(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

[[nodiscard]] bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[nodiscard]] int hexDigitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The text without the blanks, tabs and line feeds that the reading skips.
[[nodiscard]] std::string withoutBlanks(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (!isIgnored(c))
            kept.push_back(c);
    }
    return kept;
}

// Converts hexadecimal digits, as many as there are, to the nearest double.
// Empty when the value is too large for a double.
[[nodiscard]] std::optional<double> fromHexDigits(const std::string& digits)
{
    if (digits.empty())
        return 0.0;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::hex);
    if (error == std::errc::result_out_of_range)
        return std::nullopt;
    if (error != std::errc{} || end != digits.data() + digits.size())
        return 0.0;
    return value;
}

// "&H" and "&O" numbers: the plain value of their digits, never negative.
[[nodiscard]] std::optional<double> radixValue(std::string_view text)
{
    const char prefix = text.size() > 1 ? text[1] : '\0';
    std::string hex;
    if (prefix == 'H' || prefix == 'h') {
        for (const char c : text.substr(2)) {
            if (hexDigitValue(c) < 0)
                break;
            hex.push_back(c);
        }
    } else if (prefix == 'O' || prefix == 'o') {
        // Three bits per octal digit, regrouped by four into hexadecimal digits so
        // that from_chars rounds a long run of digits exactly.
        std::string bits;
        for (const char c : text.substr(2)) {
            if (c < '0' || c > '7')
                break;
            const int v = c - '0';
            bits.push_back((v & 4) ? '1' : '0');
            bits.push_back((v & 2) ? '1' : '0');
            bits.push_back((v & 1) ? '1' : '0');
        }
        bits.insert(0, (4 - bits.size() % 4) % 4, '0');
        for (std::size_t i = 0; i < bits.size(); i += 4) {
            const int v = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 + (bits[i + 3] - '0');
            hex.push_back("0123456789ABCDEF"[v]);
        }
    } else {
        return 0.0;
    }
    return fromHexDigits(hex);
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
[[nodiscard]] Mantissa readMantissa(const std::string& text, std::size_t& pos)
{
    Mantissa mantissa;
    bool sawPoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (isDigit(c)) {
            mantissa.sawDigit = true;
            if (mantissa.digits.empty() && c == '0') {
                if (sawPoint)
                    --mantissa.integerDigits;
                continue;
            }
            mantissa.digits.push_back(c);
            if (!sawPoint)
                ++mantissa.integerDigits;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    return mantissa;
}

// An exponent ("E", "D", either case, a sign and digits) from pos on, 0 when
// there is none; leaves pos after it.
[[nodiscard]] std::int64_t readExponent(const std::string& text, std::size_t& pos)
{
    if (pos >= text.size() || (text[pos] != 'E' && text[pos] != 'e' && text[pos] != 'D' && text[pos] != 'd'))
        return 0;
    ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
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
    std::string decimal;
    decimal.reserve(digits.size() + 24);
    if (negative)
        decimal.push_back('-');
    decimal.append("0.");
    decimal.append(digits);
    decimal.push_back('e');
    char exponentText[24];
    const auto exponentEnd = std::to_chars(exponentText, exponentText + sizeof exponentText, order).ptr;
    decimal.append(exponentText, exponentEnd);

    double value = 0.0;
    const auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
    if (error == std::errc::result_out_of_range)
        return order > 0 ? std::nullopt : std::optional<double>{negative ? -0.0 : 0.0};
    if (error != std::errc{} || std::isinf(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> NumericValue(std::string_view original)
{
    const std::string text = withoutBlanks(original);
    if (!text.empty() && text[0] == '&')
        return radixValue(text);

    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const Mantissa mantissa = readMantissa(text, pos);
    if (!mantissa.sawDigit)
        return 0.0;
    const std::int64_t exponent = readExponent(text, pos);

    const double zero = negative ? -0.0 : 0.0;
    if (mantissa.digits.empty())
        return zero;
    // The value is 0.<digits> times ten to this power.
    const std::int64_t order = mantissa.integerDigits + exponent;
    if (order > beyondAnyDouble)
        return std::nullopt;
    if (order < -beyondAnyDouble)
        return zero;
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
    for (char& c : text) {
        if (c == 'e')
            c = 'E';
    }
    return text;
}

} // namespace StoredText
