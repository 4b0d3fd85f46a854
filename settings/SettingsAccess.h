#pragma once

#include <string>
#include <string_view>

// What the main window needs of a per-user settings store: text values by
// section and key, UTF-8. Each platform's store implements it.
class SettingsAccess {
public:
    virtual ~SettingsAccess() = default;

    // The stored text of the key (also when empty), or defaultValue when the key
    // has no value or the store cannot be read.
    [[nodiscard]] virtual std::string GetSetting(std::string_view section, std::string_view key,
                                                 std::string_view defaultValue) const = 0;

    // Sets the key's text; a store that writes in one go does so on commit.
    virtual void SaveSetting(std::string_view section, std::string_view key, std::string_view value) = 0;

    // Writes what SaveSetting set; false when the store could not be written.
    virtual bool commit() = 0;
};
