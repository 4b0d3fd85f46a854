#pragma once

#include <string>

// The program's version and date as the main window and the About dialog show
// them, from the version information (AppInfo) and the release's own texts.
namespace AboutTexts {

// The release date, month/day/year, and the suffix written after the revision.
inline constexpr const char* AppDate = "3/14/2012";
inline constexpr const char* VersionMod = "b";

// "Version 4.6.9b": the main window's version link.
[[nodiscard]] std::string VersionLine();

// The About dialog's texts.
struct Dialog {
    std::string caption;     // "About Quillmar"
    std::string title;       // "Quillmar"
    std::string version;     // the version line, five blanks, the date
    std::string description; // the version information's comments
    std::string legal;       // its legal notice
};
[[nodiscard]] Dialog AboutDialog();

} // namespace AboutTexts
