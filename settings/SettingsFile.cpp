#include "settings/SettingsFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
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

// How lines added after lines[after] end: as the file's lines do, except where
// a lone CR would meet the LF of a blank line below and read as one CRLF,
// swallowing that line; there they end as the line above them does.
std::string_view endOfAddedLines(const std::vector<Line>& lines, std::size_t after, std::string_view lineEnd)
{
    const bool wouldJoin =
        lineEnd == "\r" && after + 1 < lines.size() && lines[after + 1].content.empty() && lines[after + 1].end == "\n";
    return wouldJoin ? lines[after].end : lineEnd;
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
    const std::size_t first = content.find_first_not_of(blanks);
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
    bool inSection = false;
    for (const Line& line : linesOf(text)) {
        const LineMeaning meaning = meaningOf(line.content);
        if (meaning.kind == LineKind::Section)
            inSection = !meaning.brokenHeader && meaning.name == section;
        else if (meaning.kind == LineKind::Key && inSection)
            values.insert_or_assign(std::string(meaning.name), UnescapedValue(line.content.substr(meaning.valueFrom)));
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
// same value already; the blanks around the value stay.
void appendRewritten(std::string& out, const Line& line, std::size_t valueFrom, std::string_view value)
{
    const std::string_view written = line.content.substr(valueFrom);
    if (UnescapedValue(written) == value) {
        out += line.content;
    } else {
        const std::string_view old = trimmed(written);
        const std::size_t begin = valueFrom + static_cast<std::size_t>(old.data() - written.data());
        out.append(line.content.substr(0, begin)).append(EscapedValue(value));
        out += line.content.substr(begin + old.size());
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
    const std::string_view lineEnd = lineEndOf(lines);
    const SectionPlan plan = planFor(lines, section);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const LineMeaning meaning = meaningOf(line.content);
        const auto value = values.find(meaning.name);
        const auto keyLine = plan.lineOfKey.find(meaning.name);
        if (meaning.kind == LineKind::Key && value != values.end() && keyLine != plan.lineOfKey.end() &&
            keyLine->second == i)
            appendRewritten(out, line, meaning.valueFrom, value->second);
        else
            out.append(line.content).append(line.end);
        if (plan.lastLine == i) {
            out += lineEndToComplete(line, lineEnd);
            appendKeyLines(out, values, plan, endOfAddedLines(lines, i, lineEnd));
        }
    }
    if (!plan.lastLine && !values.empty()) {
        if (!lines.empty())
            out += lineEndToComplete(lines.back(), lineEnd);
        // A blank line between sections.
        if (std::any_of(lines.begin(), lines.end(), [](const Line& line) { return !trimmed(line.content).empty(); }))
            out += lineEnd;
        out.append("[").append(section).append("]").append(lineEnd);
        appendKeyLines(out, values, plan, lineEnd);
    }
    return out;
}

} // namespace SettingsFile
