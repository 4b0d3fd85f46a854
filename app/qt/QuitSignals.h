#pragma once

class QWidget;

// Closes window, as if the user closed it, when the program is asked to stop
// (SIGTERM, SIGINT or SIGHUP on POSIX systems), so the settings are written
// on the way out as at any close.
void closeOnQuitSignals(QWidget* window);
