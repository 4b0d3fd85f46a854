#include "settings/SettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

[[nodiscard]] QString settingPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

[[nodiscard]] QSettings::Format storeFormat()
{
#ifdef Q_OS_WIN
    return QSettings::NativeFormat;
#else
    return QSettings::IniFormat;
#endif
}

} // namespace

SettingsStore::SettingsStore(const QString& appName) : m_appName(appName)
{
#ifdef Q_OS_WIN
    // One string value (REG_SZ) per key, as QSettings stores a QString.
    m_location = QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
#else
    // The file QSettings' user scope would choose, named here rather than left to
    // QSettings: it caches that directory for the life of the process and gives
    // its files the extension ".ini", and its user scope would also read an
    // organisation-wide file and the system's fallbacks.
    m_location = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + appName +
                 QLatin1Char('/') + appName + QStringLiteral(".conf");
    const QFileInfo file(m_location);
    if (file.exists() && (!file.isFile() || !file.isReadable()))
        m_readable = false;
#endif
    m_settings = std::make_unique<QSettings>(m_location, storeFormat());
    // QSettings parses the sections of a file lazily; parse them all now so that
    // a malformed file is known before the first key is read.
    static_cast<void>(m_settings->allKeys());
    if (m_settings->status() != QSettings::NoError)
        m_readable = false;
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::GetSetting(const QString& section, const QString& key, const QString& defaultValue) const
{
    if (!m_readable)
        return defaultValue;
    const QVariant value = m_settings->value(settingPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-written value with commas, such as "1,440", is parsed as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    if (!value.canConvert<QString>())
        return defaultValue;
    return value.toString();
}

void SettingsStore::SaveSetting(const QString& section, const QString& key, const QString& value)
{
    // Over an unreadable file QSettings is not given the value: it would write it
    // together with whatever parts of that file it understood.
    if (m_readable)
        m_settings->setValue(settingPath(section, key), value);
    m_saved.insert(settingPath(section, key), value);
}

bool SettingsStore::commit()
{
    if (m_readable) {
        // QSettings writes a whole new file beside the old one and renames it into
        // place (QSaveFile, atomic sync being its default).
        m_settings->sync();
        switch (m_settings->status()) {
        case QSettings::NoError:
            return true;
        case QSettings::AccessError:
            reportFailure(whyTheFileCannotBeWritten());
            return false;
        case QSettings::FormatError:
            // Another program spoiled the file while this one ran.
            break;
        }
    }
    return replaceUnreadableFile();
}

// The values of a file that could not be read are lost already; rather than
// keep a spoiled file for ever, it is replaced by one holding what was saved.
// QSettings' status never returns to NoError once a parse failed, and it would
// keep whatever parts of the old file it understood, so the old file is first
// swapped, atomically, for an empty one, and a new QSettings writes into that.
bool SettingsStore::replaceUnreadableFile()
{
#ifndef Q_OS_WIN
    QSaveFile empty(m_location);
    empty.setDirectWriteFallback(false);
    if (!empty.open(QIODevice::WriteOnly) || !empty.commit()) {
        reportFailure(empty.errorString());
        return false;
    }
#endif
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(m_location, storeFormat());
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        reportFailure(whyTheFileCannotBeWritten());
        return false;
    }
    m_readable = true;
    return true;
}

// QSettings only says that the write failed; a trial write, never committed,
// finds out why.
QString SettingsStore::whyTheFileCannotBeWritten() const
{
#ifdef Q_OS_WIN
    return QStringLiteral("the registry refused the write");
#else
    // QSaveFile would only say that the existing file is not writable; opening
    // it for appending (which changes nothing) tells why. QFile checks
    // writability before it opens, so the system call it is.
    if (QFileInfo::exists(m_location)) {
        const int existing = ::open(QFile::encodeName(m_location).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (existing < 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        ::close(existing);
    }
    QSaveFile trial(m_location);
    trial.setDirectWriteFallback(false);
    if (!trial.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return trial.errorString();
    // About the size of the file: a full disk or a file size limit shows here.
    const QByteArray block(4096, '\n');
    qint64 written = 0;
    while (written < block.size()) {
        const qint64 n = trial.write(block.constData() + written, block.size() - written);
        if (n <= 0) {
            const QString reason = trial.errorString();
            trial.cancelWriting();
            return reason;
        }
        written += n;
    }
    trial.cancelWriting();
    return QStringLiteral("the file could not be written");
#endif
}

void SettingsStore::reportFailure(const QString& reason) const
{
    const QString line =
        QStringLiteral("%1: could not save settings to %2: %3\n").arg(m_appName.toLower(), m_location, reason);
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QString SettingsStore::location() const
{
    return m_location;
}
