#pragma once

#include <map>
#include <string>
#include <string_view>

// The text of the per-user settings file: "[section]" headers and "key=value"
// lines, as a person may have edited it. Values are byte strings: UTF-8 text,
// or a path's exact bytes, which need not be UTF-8 and are written as they are.
//
// Read as written: a UTF-8 byte-order mark, LF, CRLF or CR line ends, blank lines,
// "#" and ";" comment lines, other sections and unknown keys. A line that cannot
// be understood is passed over; it never spoils the others. A value is the
// text after "=" without the blanks around it, backslashes and ";" included.
// Only a value that this cannot hold (a line end, blanks at either end, or
// quotes at both ends) is written in double quotes, with \\ \" \n \r \t as
// escapes; a value in quotes is read back the same way.
namespace SettingsFile {

using Values = std::map<std::string, std::string, std::less<>>;

// The values of the keys of section, by key. Where a key stands more than once,
// the last one counts.
[[nodiscard]] Values ReadSection(std::string_view text, std::string_view section);

// The text with the keys of section set to values: a key that is present keeps
// its line, rewritten only when its value changed; missing ones are added at the
// end of the section, and a missing section at the end of the text. Every other
// byte stays as it was.
[[nodiscard]] std::string WithValues(std::string_view text, std::string_view section, const Values& values);

// The value as it is written after "=".
[[nodiscard]] std::string EscapedValue(std::string_view value);

// The value a text after "=" stands for.
[[nodiscard]] std::string UnescapedValue(std::string_view written);

} // namespace SettingsFile
