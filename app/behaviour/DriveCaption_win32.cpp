#include "app/behaviour/DriveCaption.h"

#include "common/WideText_win32.h"

std::string DriveCaption(const DriveList::DriveEntry& drive)
{
    // Upper case by the rules of the user's language, as Windows itself
    // writes it: a label "Données Été" reads "DONNÉES ÉTÉ".
    const std::wstring text = WideText::fromUtf8(drive.text);
    const auto upperCase = [&text](wchar_t* into, int size) {
        return LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING, text.data(),
                             static_cast<int>(text.size()), into, size, nullptr, nullptr, 0);
    };
    std::wstring caption(static_cast<std::size_t>(text.empty() ? 0 : upperCase(nullptr, 0)), L'\0');
    if (caption.empty() || !upperCase(caption.data(), static_cast<int>(caption.size())))
        return drive.text; // nothing to map, or no mapping to be had: the text as listed
    return WideText::toUtf8(caption);
}
