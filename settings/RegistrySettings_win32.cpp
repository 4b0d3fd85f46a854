#include "settings/RegistrySettings.h"

#include "settings/WideText_win32.h"

#include <cstdio>
#include <vector>

RegistrySettings::RegistrySettings(std::string appName) : m_appName(std::move(appName)) {}

std::string RegistrySettings::keyPath(std::string_view section) const
{
    return "Software\\" + m_appName + "\\" + std::string(section);
}

std::string RegistrySettings::GetSetting(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const
{
    const std::wstring path = WideText::fromUtf8(keyPath(section));
    const std::wstring name = WideText::fromUtf8(key);
    // The value may grow between asking its size and reading it: ask again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD bytes = 0;
        LSTATUS status =
            RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
        if (status != ERROR_SUCCESS)
            return std::string(defaultValue);
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status =
            RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
        if (status == ERROR_SUCCESS)
            return WideText::toUtf8(text.data());
        if (status != ERROR_MORE_DATA)
            return std::string(defaultValue);
    }
    return std::string(defaultValue);
}

void RegistrySettings::SaveSetting(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string path = keyPath(section);
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, WideText::fromUtf8(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        const std::wstring text = WideText::fromUtf8(value);
        status = RegSetValueExW(handle, WideText::fromUtf8(key).c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS) {
        // Nothing else would tell the user why the settings did not stick.
        std::fprintf(stderr, "Cannot write %s in HKEY_CURRENT_USER\\%s (error %ld)\n", std::string(key).c_str(),
                     path.c_str(), static_cast<long>(status));
        m_writeFailed = true;
    }
}

bool RegistrySettings::commit()
{
    const bool written = !m_writeFailed;
    m_writeFailed = false;
    return written;
}
