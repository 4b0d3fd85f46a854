#pragma once

#include <map>
#include <string>
#include <string_view>

// The text of the per-user settings file as a person may have edited it:
// "[section]" headers, "key=value" lines, "#" and ";" comment lines, blank lines,
// a UTF-8 byte-order mark, LF, CRLF or CR line ends. A line that cannot be
// understood is passed over and spoils no other. Values are byte strings (UTF-8,
// or a path's exact bytes, written as they are): the text after "=" without the
// blanks around it, backslashes and ";" included. Only a value this cannot hold
// (a line end, blanks at either end, quotes at both ends) is written in double
// quotes, with \\ \" \n \r \t as escapes; a quoted value is read back the same way.
namespace SettingsFile {

using Values = std::map<std::string, std::string, std::less<>>;

// The values of section's keys; where a key stands more than once, the last counts.
[[nodiscard]] Values ReadSection(std::string_view text, std::string_view section);

// The text with section's keys set to values: a present key keeps its line,
// rewritten only when its value changed; missing ones are added at the end of the
// section, a missing section at the end of the text. Every other byte stays.
[[nodiscard]] std::string WithValues(std::string_view text, std::string_view section, const Values& values);

// The value as it is written after "=".
[[nodiscard]] std::string EscapedValue(std::string_view value);

// The value a text after "=" stands for.
[[nodiscard]] std::string UnescapedValue(std::string_view written);

} // namespace SettingsFile
