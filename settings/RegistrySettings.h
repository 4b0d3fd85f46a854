#pragma once

#include "settings/SettingsAccess.h"

#include <string>

// The per-user settings store on Windows: the key
// HKEY_CURRENT_USER\Software\<app>\<section>, one REG_SZ value per key. Each SaveSetting writes at once; keys
// and sections are created as needed.
class RegistrySettings : public SettingsAccess {
public:
    explicit RegistrySettings(std::string appName);

    [[nodiscard]] std::string GetSetting(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const override;
    void SaveSetting(std::string_view section, std::string_view key, std::string_view value) override;
    // False when any write since the last commit failed.
    bool commit() override;

    // The key of a section below HKEY_CURRENT_USER: "Software\<app>\<section>".
    [[nodiscard]] std::string keyPath(std::string_view section) const;

private:
    std::string m_appName;
    bool m_writeFailed = false;
};
