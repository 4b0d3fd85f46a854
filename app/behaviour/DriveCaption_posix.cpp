#include "app/behaviour/DriveCaption.h"

std::string DriveCaption(const DriveList::DriveEntry& drive)
{
    return drive.text;
}
