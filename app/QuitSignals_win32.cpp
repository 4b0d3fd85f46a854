#include "app/QuitSignals.h"

// Windows asks a program to stop through its windows (WM_CLOSE, WM_ENDSESSION),
// which reach the window's close handling already.
void closeOnQuitSignals(QWidget*) {}
