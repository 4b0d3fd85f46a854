#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The text of the per-user settings file: "[section]" headers and "key=value"
// lines, as a person may have edited it. Values are byte strings: UTF-8 text,
// or a path's exact bytes, which need not be UTF-8.
//
// Read as written: a UTF-8 byte-order mark, LF, CRLF or CR line ends, blank lines,
// "#" and ";" comment lines, blanks around "=", other sections and unknown keys.
// A line that cannot be understood is passed over; it never spoils the others.
// A value may be quoted ("..."), in part or whole, and may hold the escapes
// \a \b \f \n \r \t \v \" \? \' \\, "\x" with one or two hex digits and "\"
// with one to three octal digits (each one byte). Outside quotes, blanks at its
// end and a ";" comment after it are not part of the value.
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

// The value as it is written after "=": control bytes, quotes, backslashes and
// bytes that are not UTF-8 as escapes, and in quotes when it holds ";", ",",
// "=" or begins or ends with a blank.
[[nodiscard]] std::string EscapedValue(std::string_view value);

// The value a text after "=" stands for. Empty for a typed value ("@Rect(...)",
// "@Invalid()") that is no text; "@@" stands for a leading "@".
[[nodiscard]] std::optional<std::string> UnescapedValue(std::string_view written);

} // namespace SettingsFile
