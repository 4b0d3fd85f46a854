#pragma once

#include "settings/SettingsAccess.h"
#include "settings/SettingsFile.h"

#include <map>
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
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    [[nodiscard]] std::string GetSetting(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const override;
    void SaveSetting(std::string_view section, std::string_view key, std::string_view value) override;
    bool commit() override;

    // Where the store lives: the file path (empty when there is no home
    // directory to hold it), or the registry key on Windows.
    [[nodiscard]] std::string location() const { return m_location; }

private:
    // The one line on standard error that says why a commit failed.
    void reportFailure(std::string_view reason) const;

    std::string m_appName;
    std::string m_location;
    // What SaveSetting set, by section and key, until commit writes it.
    std::map<std::string, SettingsFile::Values, std::less<>> m_saved;
#ifndef _WIN32
    // The file as it was read at start, or as the last commit wrote it.
    std::string m_text;
    // Why the file cannot be used: no home directory, or a file that exists but
    // could not be read. Empty when it can.
    std::string m_problem;
#endif
};
