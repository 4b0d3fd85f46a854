#include "app/behaviour/AboutTexts.h"

#include "AppInfo.h"

namespace AboutTexts {

std::string VersionLine()
{
    return "Version " + std::string(AppInfo::VersionNumber);
}

Dialog AboutDialog()
{
    const std::string title(AppInfo::Title);
    return {"About " + title,
            title,
            VersionLine() + "     " + std::string(AppInfo::AppDate),
            std::string(AppInfo::Comments),
            std::string(AppInfo::LegalCopyright),
            title + " icon"};
}

} // namespace AboutTexts
