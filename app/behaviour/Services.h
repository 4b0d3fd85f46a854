#pragma once

#include "drivespace/asker/AskDriveSpace.h"
#include "drivespace/CurrentDirectory.h"
#include "drivespace/drives/DriveList.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class SettingsAccess;

// What the main window's behaviour uses of the system, put together once by
// each program's main() and handed to the behaviour; tests hand in their own.
struct Services {
    // The drives' capacity and free bytes, with a short wait and a deadline.
    AskDriveSpace askDriveSpace;
    // The per-user settings store; it must outlive the behaviour.
    SettingsAccess& settings;
    // The drives a user can pick, in the order the list shows them; an entry
    // whose text comes late goes to the receiver given.
    std::function<std::vector<DriveList::DriveEntry>(const DriveList::LateDriveText&)> listDrives =
        DriveList::ListDrives;
    std::function<std::chrono::steady_clock::time_point()> clock = std::chrono::steady_clock::now;
    // The drive that holds it is the drive list's first current drive.
    std::string startDirectory;
};
