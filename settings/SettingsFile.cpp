#include "settings/SettingsFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace SettingsFile {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// One line of the file: its text and the line end that follows it ("\n",
// "\r\n", a lone "\r", or nothing at the end of the file).
struct Line {
    std::string_view content;
    std::string_view end;
};

// Each of CR, LF and CRLF ends a line: a file edited on several systems may mix
// them, and a CRLF file may have lost the LF of its last line.
std::vector<Line> linesOf(std::string_view text)
{
    std::vector<Line> lines;
    while (!text.empty()) {
        const std::size_t length = std::min(text.find_first_of("\r\n"), text.size());
        std::size_t endLength = length < text.size() ? 1 : 0;
        if (text.substr(length, 2) == "\r\n")
            endLength = 2;
        lines.push_back({text.substr(0, length), text.substr(length, endLength)});
        text.remove_prefix(length + endLength);
    }
    return lines;
}

// The line end the file uses, as its first line ends; LF for a file of one
// line or none.
std::string_view lineEndOf(const std::vector<Line>& lines)
{
    return !lines.empty() && !lines.front().end.empty() ? lines.front().end : "\n";
}

// What the last line needs so that a line added after it starts on its own in
// the file's style: a line end where it has none, and in a file not written
// with lone CRs, the LF its CR lost.
std::string_view lineEndToComplete(const Line& last, std::string_view lineEnd)
{
    if (last.end.empty())
        return lineEnd;
    if (last.end == "\r" && lineEnd != "\r")
        return "\n";
    return {};
}

enum class LineKind { Other, Section, Key };

// What a line says: a section header, a key line, or nothing the store reads
// (blank, comment, or not understood).
struct LineMeaning {
    LineKind kind = LineKind::Other;
    // The section's name, or the key.
    std::string_view name;
    // A header without its closing bracket: the keys below it belong to no
    // section the store knows.
    bool brokenHeader = false;
    // Where the text after "=" starts.
    std::size_t valueFrom = 0;
};

LineMeaning meaningOf(std::string_view content)
{
    const std::size_t first = content.find_first_not_of(" \t");
    if (first == std::string_view::npos || content[first] == '#' || content[first] == ';')
        return {};
    if (content[first] == '[') {
        const std::size_t close = content.find(']', first);
        if (close == std::string_view::npos)
            return {LineKind::Section, {}, true, 0};
        return {LineKind::Section, trimmed(content.substr(first + 1, close - first - 1)), false, 0};
    }
    const std::size_t equals = content.find('=', first);
    if (equals == std::string_view::npos)
        return {};
    const std::string_view key = trimmed(content.substr(first, equals - first));
    if (key.empty())
        return {};
    return {LineKind::Key, key, false, equals + 1};
}

// A value as written after "=", decoded, and where its text begins and ends in
// the line (blanks before it, blanks and a comment after it excluded).
struct ScannedValue {
    std::string value;
    std::size_t begin = 0;
    std::size_t end = 0;
};

constexpr std::array<std::pair<char, char>, 11> simpleEscapes{{
    {'a', '\a'},
    {'b', '\b'},
    {'f', '\f'},
    {'n', '\n'},
    {'r', '\r'},
    {'t', '\t'},
    {'v', '\v'},
    {'"', '"'},
    {'?', '?'},
    {'\'', '\''},
    {'\\', '\\'},
}};

// Decodes the escape at text[i] == '\\' onto value; returns the index after it.
std::size_t decodeEscape(std::string_view text, std::size_t i, std::string& value)
{
    if (i + 1 >= text.size())
        return text.size(); // a backslash at the end of the line stands for nothing
    const char code = text[i + 1];
    for (const auto& [written, meant] : simpleEscapes) {
        if (code == written) {
            value += meant;
            return i + 2;
        }
    }
    std::size_t j = i + 2;
    int byte = 0;
    if (code == 'x' && j < text.size() && isHexDigit(text[j])) {
        for (; j < i + 4 && j < text.size() && isHexDigit(text[j]); ++j)
            byte = byte * 16 + hexValue(text[j]);
        value += static_cast<char>(byte);
        return j;
    }
    if (code >= '0' && code <= '7') {
        for (j = i + 1; j < i + 4 && j < text.size() && text[j] >= '0' && text[j] <= '7'; ++j) {
            const int next = byte * 8 + (text[j] - '0');
            if (next > 0xFF)
                break;
            byte = next;
        }
        value += static_cast<char>(byte);
        return j;
    }
    // Not an escape: the backslash stands for itself, as in a hand-written
    // Windows path.
    value += '\\';
    return i + 1;
}

ScannedValue scanValue(std::string_view text, std::size_t from)
{
    ScannedValue scanned;
    std::size_t i = from;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    scanned.begin = i;
    scanned.end = i;
    // Blanks after this length are unquoted trailing blanks, not part of the value.
    std::size_t kept = 0;
    bool inQuotes = false;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ';' && !inQuotes)
            break;
        if (c == '"') {
            inQuotes = !inQuotes;
            i += 1;
        } else if (c == '\\') {
            i = decodeEscape(text, i, scanned.value);
        } else {
            scanned.value += c;
            i += 1;
            if (isBlank(c) && !inQuotes)
                continue;
        }
        kept = scanned.value.size();
        scanned.end = i;
    }
    scanned.value.erase(kept);
    return scanned;
}

// The length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80; // the allowed range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no UTF-16 surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

void appendHexEscape(std::string& out, unsigned char byte, bool twoDigits)
{
    constexpr std::string_view digits = "0123456789abcdef";
    out += "\\x";
    if (twoDigits || byte >= 0x10)
        out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

// Typed values of the older settings format, which hold no text.
constexpr std::array typedValuePrefixes{"@Variant("sv, "@DateTime("sv, "@Rect("sv,
                                        "@Size("sv,    "@Point("sv,    "@Invalid("sv};

} // namespace

std::optional<std::string> UnescapedValue(std::string_view written)
{
    const ScannedValue scanned = scanValue(written, 0);
    std::string_view text = scanned.value;
    if (text.starts_with('@') && text.ends_with(')')) {
        for (const std::string_view prefix : {"@ByteArray("sv, "@String("sv}) {
            if (text.starts_with(prefix))
                return std::string(text.substr(prefix.size(), text.size() - prefix.size() - 1));
        }
        for (const std::string_view prefix : typedValuePrefixes) {
            if (text.starts_with(prefix))
                return std::nullopt;
        }
    }
    if (text.starts_with("@@"))
        text.remove_prefix(1);
    return std::string(text);
}

std::string EscapedValue(std::string_view value)
{
    std::string out;
    if (value.starts_with('@'))
        out += '@';
    bool needsQuotes = false;
    // After a hex or octal escape a hex digit is escaped too, so that no reader
    // takes it for part of the escape.
    bool escapeHexDigit = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const auto byte = static_cast<unsigned char>(c);
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        const bool afterNumericEscape = escapeHexDigit;
        escapeHexDigit = false;
        if (afterNumericEscape && isHexDigit(c)) {
            appendHexEscape(out, byte, false);
            continue;
        }
        const auto simple = std::find_if(simpleEscapes.begin(), simpleEscapes.end(), [c](const auto& escape) {
            return escape.second == c && escape.first != '?' && escape.first != '\'';
        });
        if (simple != simpleEscapes.end()) {
            out += '\\';
            out += simple->first;
        } else if (c == '\0') {
            out += "\\0";
            escapeHexDigit = true;
        } else if (byte < 0x20) {
            appendHexEscape(out, byte, false);
            escapeHexDigit = true;
        } else if (byte >= 0x80) {
            const std::size_t length = utf8SequenceLength(value, i);
            if (length == 0) {
                appendHexEscape(out, byte, true);
                escapeHexDigit = true;
            } else {
                out += value.substr(i, length);
                i += length - 1;
            }
        } else {
            out += c;
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        return '"' + out + '"';
    return out;
}

Values ReadSection(std::string_view text, std::string_view section)
{
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    Values values;
    bool inSection = false;
    for (const Line& line : linesOf(text)) {
        const LineMeaning meaning = meaningOf(line.content);
        if (meaning.kind == LineKind::Section) {
            inSection = !meaning.brokenHeader && meaning.name == section;
        } else if (meaning.kind == LineKind::Key && inSection) {
            auto value = UnescapedValue(line.content.substr(meaning.valueFrom));
            if (value)
                values.insert_or_assign(std::string(meaning.name), std::move(*value));
            else if (const auto typed = values.find(meaning.name); typed != values.end())
                values.erase(typed);
        }
    }
    return values;
}

namespace {

// Where a key's value is to be written: the line that holds it, and the line
// after which missing keys go.
struct SectionPlan {
    std::map<std::string_view, std::size_t, std::less<>> lineOfKey;
    std::optional<std::size_t> lastLine;
};

SectionPlan planFor(const std::vector<Line>& lines, std::string_view section)
{
    SectionPlan plan;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineMeaning meaning = meaningOf(lines[i].content);
        if (meaning.kind == LineKind::Section)
            inSection = !meaning.brokenHeader && meaning.name == section;
        if (!inSection || meaning.kind == LineKind::Other)
            continue;
        plan.lastLine = i;
        if (meaning.kind == LineKind::Key)
            plan.lineOfKey[meaning.name] = i;
    }
    return plan;
}

// The key's line with value in place of the one it holds, unless that is the
// same value already.
void appendRewritten(std::string& out, const Line& line, std::string_view value)
{
    const LineMeaning meaning = meaningOf(line.content);
    const ScannedValue scanned = scanValue(line.content, meaning.valueFrom);
    if (UnescapedValue(line.content.substr(meaning.valueFrom)) == value) {
        out += line.content;
    } else {
        out += line.content.substr(0, scanned.begin);
        out += EscapedValue(value);
        out += line.content.substr(scanned.end);
    }
    out += line.end;
}

void appendKeyLines(std::string& out, const Values& values, const SectionPlan& plan, std::string_view lineEnd)
{
    for (const auto& [key, value] : values) {
        if (!plan.lineOfKey.contains(key))
            out.append(key).append("=").append(EscapedValue(value)).append(lineEnd);
    }
}

} // namespace

std::string WithValues(std::string_view text, std::string_view section, const Values& values)
{
    std::string out;
    if (text.starts_with(byteOrderMark)) {
        out += byteOrderMark;
        text.remove_prefix(byteOrderMark.size());
    }
    const std::vector<Line> lines = linesOf(text);
    // Added lines end as the file's first line does.
    const std::string_view lineEnd = lineEndOf(lines);
    const SectionPlan plan = planFor(lines, section);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const LineMeaning meaning = meaningOf(line.content);
        const auto value = values.find(meaning.name);
        const auto keyLine = plan.lineOfKey.find(meaning.name);
        if (meaning.kind == LineKind::Key && value != values.end() && keyLine != plan.lineOfKey.end() &&
            keyLine->second == i) {
            appendRewritten(out, line, value->second);
        } else {
            out.append(line.content).append(line.end);
        }
        if (plan.lastLine == i) {
            out += lineEndToComplete(line, lineEnd);
            appendKeyLines(out, values, plan, lineEnd);
        }
    }
    if (!plan.lastLine && !values.empty()) {
        if (!lines.empty())
            out += lineEndToComplete(lines.back(), lineEnd);
        // A blank line between sections.
        const bool anyText =
            std::any_of(lines.begin(), lines.end(), [](const Line& line) { return !trimmed(line.content).empty(); });
        if (anyText)
            out += lineEnd;
        out.append("[").append(section).append("]").append(lineEnd);
        appendKeyLines(out, values, plan, lineEnd);
    }
    return out;
}

} // namespace SettingsFile
