#pragma once

#include <cstdint>
#include <string_view>

// The five stored settings, each key beside its default, all in the section
// "Settings" of the per-user store named after the application.
namespace SettingKeys {

inline constexpr std::string_view Section = "Settings";

// The selected drive's root path.
inline constexpr std::string_view Drive = "Drive";
#ifdef _WIN32
inline constexpr std::string_view DefaultDrive = "C:\\";
#else
inline constexpr std::string_view DefaultDrive = "/";
#endif

// The main window's outer left and top edges in twips; the default is where it stands when read.
inline constexpr std::string_view X = "X";
inline constexpr std::string_view Y = "Y";

// The chart colours, 0x00BBGGRR.
inline constexpr std::string_view UsedColor = "UsedColor";
inline constexpr std::int32_t DefaultUsedColor = 7631561; // 0x007472C9: red 201, green 114, blue 116
inline constexpr std::string_view FreeColor = "FreeColor";
inline constexpr std::int32_t DefaultFreeColor = 12428157; // 0x00BDA37D: red 125, green 163, blue 189

} // namespace SettingKeys
