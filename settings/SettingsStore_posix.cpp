#include "settings/SettingsStore.h"

#include "settings/AtomicFile.h"
#include "settings/SettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

bool isAbsolute(const char* path)
{
    return path != nullptr && path[0] == '/';
}

// The directory without the separators at its end, so that a name can follow
// after one: "/home/me/" is "/home/me", "/" is "".
std::string withoutTrailingSlashes(std::string directory)
{
    directory.erase(directory.find_last_not_of('/') + 1);
    return directory;
}

// The user's configuration directory as the XDG rules name it: XDG_CONFIG_HOME
// when it is an absolute path (a relative one is ignored), else ~/.config, the
// home being HOME or, without one, the user's entry in the user database.
std::optional<std::string> configDirectory()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (isAbsolute(configHome))
        return withoutTrailingSlashes(configHome);
    const char* home = std::getenv("HOME");
    if (!isAbsolute(home)) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!isAbsolute(home))
        return std::nullopt;
    return withoutTrailingSlashes(home) + "/.config";
}

} // namespace

struct SettingsStore::State {
    std::string appName;
    std::string path;
    // The file as it was read at start, or as the last commit wrote it.
    std::string text;
    // Why the file cannot be used: no home directory, or a file that exists but
    // could not be read. Empty when it can.
    std::string problem;
    std::map<std::string, SettingsFile::Values, std::less<>> saved;

    void report(std::string_view reason) const
    {
        std::string program = appName;
        for (char& c : program)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::fprintf(stderr, "%s: could not save settings%s%s: %.*s\n", program.c_str(), path.empty() ? "" : " to ",
                     path.c_str(), static_cast<int>(reason.size()), reason.data());
    }
};

SettingsStore::SettingsStore(std::string_view appName) : m_state(std::make_unique<State>())
{
    m_state->appName = appName;
    const auto directory = configDirectory();
    if (!directory) {
        m_state->problem = "there is no home directory (HOME is not an absolute path and the user database names none)";
        return;
    }
    m_state->path = *directory + "/" + m_state->appName + "/" + m_state->appName + ".conf";
    AtomicFile::ReadResult file = AtomicFile::ReadAll(m_state->path);
    m_state->problem = file.problem;
    m_state->text = std::move(file.text);
}

SettingsStore::~SettingsStore() = default;

std::string SettingsStore::GetSetting(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    const SettingsFile::Values values = SettingsFile::ReadSection(m_state->text, section);
    const auto value = values.find(key);
    return std::string(value != values.end() ? value->second : defaultValue);
}

void SettingsStore::SaveSetting(std::string_view section, std::string_view key, std::string_view value)
{
    m_state->saved[std::string(section)].insert_or_assign(std::string(key), std::string(value));
}

bool SettingsStore::commit()
{
    // The file as it is now: what another program or the user wrote since it
    // was first read stays.
    AtomicFile::ReadResult file =
        m_state->problem.empty() ? AtomicFile::ReadAll(m_state->path) : AtomicFile::ReadResult{};
    std::string problem = m_state->problem.empty() ? file.problem : m_state->problem;
    std::string text = file.text;
    for (const auto& [section, values] : m_state->saved)
        text = SettingsFile::WithValues(text, section, values);
    // Rewriting the same bytes would gain nothing, and replacing them would part
    // the file from its other names.
    if (problem.empty() && text != file.text)
        problem = AtomicFile::Replace(m_state->path, text);
    if (!problem.empty()) {
        m_state->report(problem);
        return false;
    }
    m_state->text = std::move(text);
    return true;
}

std::string SettingsStore::location() const
{
    return m_state->path;
}
