#include "app/behaviour/DriveCaption.h"

#include <algorithm>

std::string DriveCaption(const DriveList::DriveEntry& drive)
{
    // ASCII letters only: a UTF-8 volume label keeps its other bytes intact.
    std::string caption = drive.text;
    std::transform(caption.begin(), caption.end(), caption.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return caption;
}
