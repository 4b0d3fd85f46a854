#include "settings/SettingsStore.h"

#include "settings/AtomicFile.h"
#include "settings/SettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace {

// An absolute path as a directory a name can follow after a '/': without the
// separators at its end, "/home/me/" is "/home/me" and "/" is "".
std::optional<std::string> absoluteDirectory(const char* path)
{
    if (path == nullptr || path[0] != '/')
        return std::nullopt;
    std::string directory(path);
    directory.erase(directory.find_last_not_of('/') + 1);
    return directory;
}

// The user's configuration directory as the XDG rules name it: XDG_CONFIG_HOME
// when it is an absolute path (a relative one is ignored), else ~/.config, the
// home being HOME or, without one, the user's entry in the user database.
std::optional<std::string> configDirectory()
{
    if (auto configHome = absoluteDirectory(std::getenv("XDG_CONFIG_HOME")))
        return configHome;
    auto home = absoluteDirectory(std::getenv("HOME"));
    if (!home) {
        const passwd* user = getpwuid(getuid());
        home = absoluteDirectory(user ? user->pw_dir : nullptr);
    }
    return home ? std::optional(*home + "/.config") : std::nullopt;
}

} // namespace

SettingsStore::SettingsStore(std::string_view appName) : m_appName(appName)
{
    const auto directory = configDirectory();
    if (!directory) {
        m_problem = "there is no home directory (HOME is not an absolute path and the user database names none)";
        return;
    }
    m_location = *directory + "/" + m_appName + "/" + m_appName + ".conf";
    AtomicFile::ReadResult file = AtomicFile::ReadAll(m_location);
    m_problem = file.problem;
    m_text = std::move(file.text);
}

std::string SettingsStore::GetSetting(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    const SettingsFile::Values values = SettingsFile::ReadSection(m_text, section);
    const auto value = values.find(key);
    return std::string(value != values.end() ? value->second : defaultValue);
}

bool SettingsStore::commit()
{
    // The file as it is now: what others wrote in it since it was first read stays.
    AtomicFile::ReadResult file =
        m_problem.empty() ? AtomicFile::ReadAll(m_location) : AtomicFile::ReadResult{{}, m_problem};
    std::string text = file.text;
    for (const auto& [section, values] : m_saved)
        text = SettingsFile::WithValues(text, section, values);
    // Unchanged bytes are not rewritten: that gains nothing and could part the file from its other names.
    if (file.problem.empty() && text != file.text)
        file.problem = AtomicFile::Replace(m_location, text);
    if (!file.problem.empty()) {
        reportFailure(file.problem);
        return false;
    }
    m_text = std::move(text);
    return true;
}
