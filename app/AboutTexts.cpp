#include "app/AboutTexts.h"

#include "AppInfo.h"

namespace AboutTexts {

std::string VersionLine()
{
    return "Version " + std::to_string(AppInfo::Major) + "." + std::to_string(AppInfo::Minor) + "." +
           std::to_string(AppInfo::Revision) + VersionMod;
}

Dialog AboutDialog()
{
    const std::string title(AppInfo::Title);
    return {"About " + title, title, VersionLine() + "     " + AppDate, std::string(AppInfo::Comments),
            std::string(AppInfo::LegalCopyright)};
}

} // namespace AboutTexts
