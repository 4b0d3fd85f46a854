#pragma once

class QWidget;

// Closes window as the user would when the program is asked to stop (SIGTERM,
// SIGINT or SIGHUP), so the settings are written on the way out as at any close.
void closeOnQuitSignals(QWidget* window);
