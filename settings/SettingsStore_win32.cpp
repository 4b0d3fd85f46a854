#include "settings/SettingsStore.h"

#include "common/WideText_win32.h"

#include <optional>
#include <vector>

// The registry, without a toolkit: REG_SZ values, UTF-8 here and UTF-16 there.
namespace {

std::wstring keyPath(std::string_view appName, std::string_view section)
{
    return WideText::fromUtf8("Software\\" + std::string(appName) + "\\" + std::string(section));
}

std::optional<std::string> readValue(const std::wstring& path, const std::wstring& name)
{
    // The value may grow between asking its size and reading it: ask again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
        if (status == ERROR_SUCCESS)
            return WideText::toUtf8(text.data());
        if (status != ERROR_MORE_DATA)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

SettingsStore::SettingsStore(std::string_view appName)
    : m_appName(appName), m_location("HKEY_CURRENT_USER\\Software\\" + m_appName)
{}

std::string SettingsStore::GetSetting(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    return readValue(keyPath(m_appName, section), WideText::fromUtf8(key)).value_or(std::string(defaultValue));
}

bool SettingsStore::commit()
{
    bool written = true;
    for (const auto& [section, values] : m_saved) {
        for (const auto& [key, value] : values) {
            // Creates the section's key when it is missing.
            const std::wstring text = WideText::fromUtf8(value);
            const LSTATUS status =
                RegSetKeyValueW(HKEY_CURRENT_USER, keyPath(m_appName, section).c_str(), WideText::fromUtf8(key).c_str(),
                                REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
            if (status != ERROR_SUCCESS) {
                reportFailure("the registry refused the write (error " + std::to_string(status) + ")");
                written = false;
            }
        }
    }
    m_saved.clear();
    return written;
}
