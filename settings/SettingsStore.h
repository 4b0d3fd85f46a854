#pragma once

#include <QMap>
#include <QString>

#include <memory>

class QSettings;

// The per-user settings store of one application, holding text values by
// section and key. On Windows: HKEY_CURRENT_USER\Software\<app>\<section>, one
// string value per key. Elsewhere: <XDG config dir>/<app>/<app>.conf, a [section]
// group of plain "key=value" lines a user can edit by hand.
class SettingsStore {
public:
    explicit SettingsStore(const QString& appName);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text of the key (also when empty), or defaultValue when the key
    // has no value or the store cannot be read (a corrupt or unreadable file).
    [[nodiscard]] QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) const;

    // Sets the key's text; it reaches the store on commit.
    void SaveSetting(const QString& section, const QString& key, const QString& value);

    // Writes what SaveSetting set. The file is replaced whole or not at all. On
    // failure prints one line on standard error naming the file and why, and
    // returns false; the earlier file is left as it was.
    bool commit();

    // Where the store lives: the file path, or the registry key on Windows.
    [[nodiscard]] QString location() const;

private:
    [[nodiscard]] bool replaceUnreadableFile();
    [[nodiscard]] QString whyTheFileCannotBeWritten() const;
    void reportFailure(const QString& reason) const;

    QString m_appName;
    QString m_location;
    std::unique_ptr<QSettings> m_settings;
    bool m_readable = true;
    // What SaveSetting set, by "section/key": all that is written over a file
    // that could not be read.
    QMap<QString, QString> m_saved;
};
