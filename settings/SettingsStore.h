#pragma once

#include "settings/SettingsAccess.h"
#include "settings/SettingsFile.h"

#include <map>
#include <string>
#include <string_view>

// The per-user settings store of one application: byte strings (UTF-8 text, or a
// path's exact bytes) by section and key. On Windows one string value per key in
// HKEY_CURRENT_USER\Software\<app>\<section>; elsewhere the hand-editable file
// <XDG config dir>/<app>/<app>.conf (see SettingsFile.h), read at start and written
// on commit with all else in it kept; a file that could not be read is never
// written. A failed commit prints one line on standard error naming the file and why.
class SettingsStore : public SettingsAccess {
public:
    explicit SettingsStore(std::string_view appName);
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    [[nodiscard]] std::string GetSetting(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) const override;
    void SaveSetting(std::string_view section, std::string_view key, std::string_view value) override;
    bool commit() override;

    // The file path (empty without a home directory to hold it), or the registry key on Windows.
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
    // Why the file cannot be used (no home directory, or it exists but could not be read).
    std::string m_problem;
#endif
};
