#include "settings/SettingsStore.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdio>

// The registry through QSettings: one string value (REG_SZ) per key, the bytes
// of a value read and written as UTF-8.
struct SettingsStore::State {
    QString appName;
    QString location;
    QSettings settings;

    explicit State(const QString& name)
        : appName(name), location(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + name),
          settings(location, QSettings::NativeFormat)
    {}
};

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString settingPath(std::string_view section, std::string_view key)
{
    return toQString(section) + QLatin1Char('/') + toQString(key);
}

} // namespace

SettingsStore::SettingsStore(std::string_view appName) : m_state(std::make_unique<State>(toQString(appName))) {}

SettingsStore::~SettingsStore() = default;

std::string SettingsStore::GetSetting(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    const QVariant value = m_state->settings.value(settingPath(section, key));
    if (!value.isValid() || !value.canConvert<QString>())
        return std::string(defaultValue);
    return value.toString().toStdString();
}

void SettingsStore::SaveSetting(std::string_view section, std::string_view key, std::string_view value)
{
    m_state->settings.setValue(settingPath(section, key), toQString(value));
}

bool SettingsStore::commit()
{
    m_state->settings.sync();
    if (m_state->settings.status() == QSettings::NoError)
        return true;
    const QString line = QStringLiteral("%1: could not save settings to %2: the registry refused the write\n")
                             .arg(m_state->appName.toLower(), m_state->location);
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    return false;
}

std::string SettingsStore::location() const
{
    return m_state->location.toStdString();
}
