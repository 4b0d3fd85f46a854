#pragma once

#include "drivespace/drives/DriveList.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The drive list as both windows show it: the entries and which is current. A
// reload keeps the current drive current; one that went away stays listed after
// the drive listed before it (first when none is left), so the list does not
// jump and still names what the window shows, until another drive is picked.
class DriveListModel {
public:
    using Entry = DriveList::DriveEntry;

    // Fills the list with the drive that holds directory current, or the first
    // when none does.
    void start(std::vector<Entry> drives, std::string_view directory);
    void reload(std::vector<Entry> drives);
    // Makes the drive with this root path current (see DriveList::IndexOfRoot);
    // false, with the current drive kept, when it is not listed.
    [[nodiscard]] bool select(std::string_view rootPath);
    // Makes entry index current; false when there is no such entry.
    [[nodiscard]] bool pick(std::size_t index);
    // The entry with this root path now reads text (its name came late); false
    // when it is not listed or already reads so.
    [[nodiscard]] bool retitle(std::string_view rootPath, std::string text);

    [[nodiscard]] std::optional<std::size_t> currentIndex() const { return m_current; }
    // None when the list is empty.
    [[nodiscard]] std::optional<Entry> current() const;
    [[nodiscard]] std::vector<std::string> texts() const;

private:
    [[nodiscard]] std::size_t placeOfVanished(const std::vector<Entry>& drives) const;

    std::vector<Entry> m_entries;
    std::optional<std::size_t> m_current;
};
