// Quillmar on Windows: the main window on Windows' own controls.

#include "AppInfo.h"
#include "app/win32/MainWindow.h"
#include "settings/SettingsStore.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    // A drive without a medium answers with an error, never with a box asking
    // for a disk; the threads that ask drives say so again for themselves.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The services, once for the program; the store outlives the window.
    SettingsStore settings(AppInfo::Title);
    win32::MainWindow window(Services{platformDriveSpaceAsker(), settings, DriveList::ListDrives,
                                      std::chrono::steady_clock::now, currentDirectory()});
    window.show(showCommand);
    return win32::MainWindow::run();
}
