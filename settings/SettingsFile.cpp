#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace SettingsFile {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view blanks = " \t";

// The bytes a quoted value escapes, and the letters standing for them after a backslash.
constexpr std::string_view escapedBytes = "\\\"\n\r\t";
constexpr std::string_view escapeLetters = "\\\"nrt";

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

// One line of the file, and what it says of the section asked for.
struct Line {
    std::string_view content;
    std::string_view end;   // "\n", "\r\n", a lone "\r", or nothing at the end of the file
    bool inSection = false; // a header or key line of the section
    // On a key line of the section: the key, and where the text after "=" starts.
    std::string_view key;
    std::size_t valueFrom = 0;
};

// Marks a line of the section that holds a key; blank and comment lines and
// lines without "=" or a key hold none.
void readKey(Line& line)
{
    const std::string_view text = trimmed(line.content);
    const std::size_t equals = line.content.find('=');
    if (text.empty() || text[0] == '#' || text[0] == ';' || equals == std::string_view::npos)
        return;
    line.key = trimmed(line.content.substr(0, equals));
    line.valueFrom = equals + 1;
    line.inSection = !line.key.empty();
}

// The lines after any byte-order mark. Each of CR, LF and CRLF ends a line: a file edited
// on several systems may mix them, and a CRLF file may have lost the LF of its last line.
std::vector<Line> linesOf(std::string_view text, std::string_view section)
{
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());
    std::vector<Line> lines;
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t length = std::min(text.find_first_of("\r\n"), text.size());
        const std::size_t endLength =
            text.substr(length, 2) == "\r\n" ? 2 : std::min<std::size_t>(text.size() - length, 1);
        Line line{text.substr(0, length), text.substr(length, endLength), false, {}, 0};
        text.remove_prefix(length + endLength);
        // A header without its closing bracket names no section.
        if (const std::string_view header = trimmed(line.content); header.starts_with('[')) {
            const std::size_t close = header.find(']');
            inSection = line.inSection =
                close != std::string_view::npos && trimmed(header.substr(1, close - 1)) == section;
        } else if (inSection) {
            readKey(line);
        }
        lines.push_back(line);
    }
    return lines;
}

// What the last line needs for a line added after it to start on its own in the file's
// style: a line end where it has none, and unless the file uses lone CRs, the LF its CR lost.
std::string_view lineEndToComplete(const Line& last, std::string_view lineEnd)
{
    if (last.end.empty())
        return lineEnd;
    return last.end == "\r" && lineEnd != "\r" ? "\n" : "";
}

bool hasKey(auto from, auto to, std::string_view key)
{
    return std::any_of(from, to, [key](const Line& line) { return line.key == key; });
}

// The key's line with value in place of the one it holds, unless that is the
// same value already; the blanks around the value stay.
void appendRewritten(std::string& out, const Line& line, std::string_view value)
{
    const std::string_view written = line.content.substr(line.valueFrom);
    if (UnescapedValue(written) == value) {
        out += line.content;
    } else {
        const std::string_view old = trimmed(written);
        const std::size_t begin = line.valueFrom + static_cast<std::size_t>(old.data() - written.data());
        out.append(line.content.substr(0, begin)).append(EscapedValue(value));
        out += line.content.substr(begin + old.size());
    }
    out += line.end;
}

void appendKeyLines(std::string& out, const Values& values, const std::vector<Line>& lines, std::string_view lineEnd)
{
    for (const auto& [key, value] : values) {
        if (!hasKey(lines.begin(), lines.end(), key))
            out.append(key).append("=").append(EscapedValue(value)).append(lineEnd);
    }
}

} // namespace

std::string UnescapedValue(std::string_view written)
{
    const std::string_view text = trimmed(written);
    if (!isQuoted(text))
        return std::string(text);
    std::string value;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const std::size_t escape =
            text[i] == '\\' && i + 2 < text.size() ? escapeLetters.find(text[i + 1]) : std::string_view::npos;
        // Any other backslash stands for itself, as in a hand-written Windows path.
        value += escape == std::string_view::npos ? text[i] : escapedBytes[escape];
        i += escape == std::string_view::npos ? 0 : 1;
    }
    return value;
}

std::string EscapedValue(std::string_view value)
{
    if (value.find_first_of("\r\n") == std::string_view::npos && trimmed(value) == value && !isQuoted(value))
        return std::string(value);
    std::string out = "\"";
    for (const char c : value) {
        const std::size_t escape = escapedBytes.find(c);
        if (escape != std::string_view::npos)
            out += '\\';
        out += escape == std::string_view::npos ? c : escapeLetters[escape];
    }
    return out + '"';
}

Values ReadSection(std::string_view text, std::string_view section)
{
    Values values;
    for (const Line& line : linesOf(text, section)) {
        if (!line.key.empty())
            values.insert_or_assign(std::string(line.key), UnescapedValue(line.content.substr(line.valueFrom)));
    }
    return values;
}

std::string WithValues(std::string_view text, std::string_view section, const Values& values)
{
    std::string out(text.starts_with(byteOrderMark) ? byteOrderMark : "");
    const std::vector<Line> lines = linesOf(text, section);
    // Added lines end as the file's first line does; LF in a file of one line or none.
    const std::string_view lineEnd = !lines.empty() && !lines.front().end.empty() ? lines.front().end : "\n";
    // Missing keys go after the section's last header or key line.
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const Line& line) { return line.inSection; });
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        const auto value = line->key.empty() ? values.end() : values.find(line->key);
        // Where a key stands more than once, the last one counts and is written.
        if (value != values.end() && !hasKey(line + 1, lines.end(), line->key))
            appendRewritten(out, *line, value->second);
        else
            out.append(line->content).append(line->end);
        if (last != lines.rend() && &*last == &*line) {
            out += lineEndToComplete(*line, lineEnd);
            // A lone CR before a blank LF line would read as one CRLF and swallow
            // that line: there added lines end as this one does.
            const bool wouldJoin =
                lineEnd == "\r" && line + 1 != lines.end() && line[1].content.empty() && line[1].end == "\n";
            appendKeyLines(out, values, lines, wouldJoin ? line->end : lineEnd);
        }
    }
    if (last == lines.rend() && !values.empty()) {
        if (!lines.empty())
            out += lineEndToComplete(lines.back(), lineEnd);
        // A blank line between sections.
        if (std::any_of(lines.begin(), lines.end(), [](const Line& line) { return !trimmed(line.content).empty(); }))
            out += lineEnd;
        out.append("[").append(section).append("]").append(lineEnd);
        appendKeyLines(out, values, lines, lineEnd);
    }
    return out;
}

} // namespace SettingsFile
