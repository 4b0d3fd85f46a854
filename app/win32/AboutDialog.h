#pragma once

#include <windows.h>

namespace win32 {

// The About dialog: modal to owner, over its top-left corner, with the icon,
// the title, the version and date, the description and the legal notice. OK
// has the focus and closes it, as does the close button; Escape does nothing.
// Returns once it is closed; nothing of it remains.
void ShowAboutDialog(HWND owner);

// The dialog's OK button, for tests that press it.
inline constexpr int AboutOkId = IDOK;

} // namespace win32
