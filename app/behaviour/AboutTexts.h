#pragma once

#include <string>

// The program's version and date as the main window and the About dialog show
// them, from the version information (AppInfo).
namespace AboutTexts {

// "Version 4.6.9b": the main window's version link.
[[nodiscard]] std::string VersionLine();

// The About dialog's texts.
struct Dialog {
    std::string caption;     // "About Quillmar"
    std::string title;       // "Quillmar"
    std::string version;     // the version line, five blanks, the release date
    std::string description; // the version information's comments
    std::string legal;       // its legal notice
    std::string iconName;    // the icon's name for screen readers: "Quillmar icon"
};
[[nodiscard]] Dialog AboutDialog();

} // namespace AboutTexts
