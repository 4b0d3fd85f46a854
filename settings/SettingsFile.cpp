#include "settings/SettingsFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace SettingsFile {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view blanks = " \t";

// The escapes of a value in quotes, each with the byte it stands for.
constexpr std::array<std::pair<char, char>, 5> escapes{{{'\\', '\\'}, {'"', '"'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}}};

// The text without the blanks at either end; a text of blanks gives the empty
// view at its end, so that its place in the text is still known.
std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return text.substr(text.size());
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool isQuoted(std::string_view text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
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

enum class LineKind { Other, Section, Key };

// A line and what it says: a section header, a key line, or nothing the store
// reads (blank, comment, or not understood).
struct ReadLine {
    Line line;
    LineKind kind = LineKind::Other;
    // The section's name, or the key. A header without its closing bracket keeps
    // the bracket in its name, so that it names no section the store knows.
    std::string_view name;
    // Where the text after "=" starts.
    std::size_t valueFrom = 0;
    // A header or key line of the section asked for.
    bool inSection = false;
};

ReadLine meaningOf(const Line& line)
{
    const std::string_view text = trimmed(line.content);
    if (text.empty() || text[0] == '#' || text[0] == ';')
        return {line, LineKind::Other, {}, 0, false};
    if (text[0] == '[') {
        const std::size_t close = text.find(']');
        return {line, LineKind::Section, close == std::string_view::npos ? text : trimmed(text.substr(1, close - 1))};
    }
    const std::size_t equals = line.content.find('=');
    const std::string_view key = trimmed(line.content.substr(0, equals));
    if (equals == std::string_view::npos || key.empty())
        return {line, LineKind::Other, {}, 0, false};
    return {line, LineKind::Key, key, equals + 1};
}

std::vector<ReadLine> readLines(std::string_view text, std::string_view section)
{
    std::vector<ReadLine> lines;
    bool inSection = false;
    for (const Line& line : linesOf(text)) {
        ReadLine read = meaningOf(line);
        if (read.kind == LineKind::Section)
            inSection = read.name == section;
        read.inSection = inSection && read.kind != LineKind::Other;
        lines.push_back(read);
    }
    return lines;
}

// The line end the file uses, as its first line ends; LF for a file of one
// line or none.
std::string_view lineEndOf(const std::vector<ReadLine>& lines)
{
    return !lines.empty() && !lines.front().line.end.empty() ? lines.front().line.end : "\n";
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

// How lines added after lines[after] end: as the file's lines do, except where
// a lone CR would meet the LF of a blank line below and read as one CRLF,
// swallowing that line; there they end as the line above them does.
std::string_view endOfAddedLines(const std::vector<ReadLine>& lines, std::size_t after, std::string_view lineEnd)
{
    const bool wouldJoin = lineEnd == "\r" && after + 1 < lines.size() && lines[after + 1].line.content.empty() &&
                           lines[after + 1].line.end == "\n";
    return wouldJoin ? lines[after].line.end : lineEnd;
}

} // namespace

std::string UnescapedValue(std::string_view written)
{
    const std::string_view text = trimmed(written);
    if (!isQuoted(text))
        return std::string(text);
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const auto escape = std::find_if(escapes.begin(), escapes.end(),
                                         [&](const auto& e) { return i + 2 < text.size() && e.first == text[i + 1]; });
        // Any other backslash stands for itself, as in a hand-written Windows path.
        if (text[i] == '\\' && escape != escapes.end()) {
            value += escape->second;
            ++i;
        } else {
            value += text[i];
        }
    }
    return value;
}

std::string EscapedValue(std::string_view value)
{
    if (value.find_first_of("\r\n") == std::string_view::npos && trimmed(value) == value && !isQuoted(value))
        return std::string(value);
    std::string out = "\"";
    for (const char c : value) {
        const auto escape =
            std::find_if(escapes.begin(), escapes.end(), [c](const auto& e) { return e.second == c; });
        if (escape != escapes.end())
            out.append(1, '\\').append(1, escape->first);
        else
            out += c;
    }
    return out + '"';
}

Values ReadSection(std::string_view text, std::string_view section)
{
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    Values values;
    for (const ReadLine& read : readLines(text, section)) {
        if (read.inSection && read.kind == LineKind::Key)
            values.insert_or_assign(std::string(read.name), UnescapedValue(read.line.content.substr(read.valueFrom)));
    }
    return values;
}

namespace {

// The key's line with value in place of the one it holds, unless that is the
// same value already; the blanks around the value stay.
void appendRewritten(std::string& out, const ReadLine& read, std::string_view value)
{
    const std::string_view written = read.line.content.substr(read.valueFrom);
    if (UnescapedValue(written) == value) {
        out += read.line.content;
    } else {
        const std::string_view old = trimmed(written);
        const std::size_t begin = read.valueFrom + static_cast<std::size_t>(old.data() - written.data());
        out.append(read.line.content.substr(0, begin)).append(EscapedValue(value));
        out += read.line.content.substr(begin + old.size());
    }
    out += read.line.end;
}

// Whether the section has a line for key after lines[from - 1].
bool hasKey(const std::vector<ReadLine>& lines, std::size_t from, std::string_view key)
{
    return std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), [key](const ReadLine& read) {
        return read.inSection && read.kind == LineKind::Key && read.name == key;
    });
}

void appendKeyLines(std::string& out, const Values& values, const std::vector<ReadLine>& lines,
                    std::string_view lineEnd)
{
    for (const auto& [key, value] : values) {
        if (!hasKey(lines, 0, key))
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
    const std::vector<ReadLine> lines = readLines(text, section);
    const std::string_view lineEnd = lineEndOf(lines);
    // Missing keys go after the section's last header or key line.
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const ReadLine& read) { return read.inSection; });
    const std::size_t lastLine = static_cast<std::size_t>(lines.rend() - last) - 1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ReadLine& read = lines[i];
        const auto value = values.find(read.name);
        // Where a key stands more than once, the last one counts and is written.
        if (read.inSection && read.kind == LineKind::Key && value != values.end() && !hasKey(lines, i + 1, read.name))
            appendRewritten(out, read, value->second);
        else
            out.append(read.line.content).append(read.line.end);
        if (last != lines.rend() && i == lastLine) {
            out += lineEndToComplete(read.line, lineEnd);
            appendKeyLines(out, values, lines, endOfAddedLines(lines, i, lineEnd));
        }
    }
    if (last == lines.rend() && !values.empty()) {
        if (!lines.empty())
            out += lineEndToComplete(lines.back().line, lineEnd);
        // A blank line between sections.
        const auto hasText = [](const ReadLine& read) { return !trimmed(read.line.content).empty(); };
        if (std::any_of(lines.begin(), lines.end(), hasText))
            out += lineEnd;
        out.append("[").append(section).append("]").append(lineEnd);
        appendKeyLines(out, values, lines, lineEnd);
    }
    return out;
}

} // namespace SettingsFile
