// Quillmar on Windows: the main window on Windows' own controls.

#include "app/win32/MainWindow.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    win32::MainWindow window;
    window.show(showCommand);
    return win32::MainWindow::run();
}
