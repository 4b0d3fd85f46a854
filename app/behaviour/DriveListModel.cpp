#include "app/behaviour/DriveListModel.h"

#include <utility>

void DriveListModel::start(std::vector<Entry> drives, std::string_view directory)
{
    m_entries = std::move(drives);
    const std::size_t holding = DriveList::IndexOfDriveHolding(m_entries, directory);
    m_current = m_entries.empty() ? std::nullopt : std::optional<std::size_t>(holding < m_entries.size() ? holding : 0);
}

void DriveListModel::reload(std::vector<Entry> drives)
{
    const std::optional<Entry> shown = current();
    if (!shown) {
        start(std::move(drives), {});
        return;
    }
    std::size_t at = DriveList::IndexOfRoot(drives, shown->rootPath);
    if (at == drives.size()) {
        at = placeOfVanished(drives);
        drives.insert(drives.begin() + static_cast<std::ptrdiff_t>(at), *shown);
    }
    m_entries = std::move(drives);
    m_current = at;
}

// Right after the nearest entry before the current one that is still listed.
std::size_t DriveListModel::placeOfVanished(const std::vector<Entry>& drives) const
{
    for (std::size_t before = *m_current; before-- > 0;) {
        const std::size_t found = DriveList::IndexOfRoot(drives, m_entries[before].rootPath);
        if (found < drives.size())
            return found + 1;
    }
    return 0;
}

bool DriveListModel::select(std::string_view rootPath)
{
    return pick(DriveList::IndexOfRoot(m_entries, rootPath));
}

bool DriveListModel::pick(std::size_t index)
{
    if (index >= m_entries.size())
        return false;
    m_current = index;
    return true;
}

bool DriveListModel::retitle(std::string_view rootPath, std::string text)
{
    const std::size_t at = DriveList::IndexOfRoot(m_entries, rootPath);
    if (at == m_entries.size() || m_entries[at].text == text)
        return false;
    m_entries[at].text = std::move(text);
    return true;
}

std::optional<DriveListModel::Entry> DriveListModel::current() const
{
    return m_current ? std::optional(m_entries[*m_current]) : std::nullopt;
}

std::vector<std::string> DriveListModel::texts() const
{
    std::vector<std::string> texts;
    texts.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        texts.push_back(entry.text);
    return texts;
}
