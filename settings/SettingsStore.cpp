#include "settings/SettingsStore.h"

#include <cctype>
#include <cstdio>

void SettingsStore::SaveSetting(std::string_view section, std::string_view key, std::string_view value)
{
    m_saved[std::string(section)].insert_or_assign(std::string(key), std::string(value));
}

// Named as the program is run: "quillmar".
void SettingsStore::reportFailure(std::string_view reason) const
{
    std::string program = m_appName;
    for (char& c : program)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::fprintf(stderr, "%s: could not save settings%s%s: %.*s\n", program.c_str(), m_location.empty() ? "" : " to ",
                 m_location.c_str(), static_cast<int>(reason.size()), reason.data());
}
