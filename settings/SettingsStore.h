#pragma once

#include "settings/SettingsAccess.h"

#include <memory>
#include <string>
#include <string_view>

// The per-user settings store of one application, holding values by section and
// key. Values are byte strings: UTF-8 text, or a path's exact bytes. On Windows:
// HKEY_CURRENT_USER\Software\<app>\<section>, one string value per key.
// Elsewhere: <XDG config dir>/<app>/<app>.conf, a [section] group of
// "key=value" lines a user can edit by hand (see SettingsFile.h), read at start
// and written on commit, leaving everything else in it as it was; a file that
// could not be read is never written. A commit that fails prints one line on
// standard error naming the file and why. Neither needs a toolkit.
class SettingsStore : public SettingsAccess {
public:
    explicit SettingsStore(std::string_view appName);
    ~SettingsStore() override;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    [[nodiscard]] std::string GetSetting(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const override;
    void SaveSetting(std::string_view section, std::string_view key, std::string_view value) override;
    bool commit() override;

    // Where the store lives: the file path (empty when there is no home
    // directory to hold it), or the registry key on Windows.
    [[nodiscard]] std::string location() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
