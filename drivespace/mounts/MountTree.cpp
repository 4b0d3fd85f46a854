#include "drivespace/mounts/MountTree.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

using MountInfo::MountLine;

// Where a lookup stands before it reaches a mount of the table; also the parent
// of a mount whose parent is not in it or is itself (a namespace's root).
constexpr std::size_t Outside = std::numeric_limits<std::size_t>::max();

// Calls visit with each name in a path, in order, until it returns false.
void forEachName(std::string_view path, auto&& visit)
{
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start && !visit(path.substr(start, end - start)))
            return;
        start = end + 1;
    }
}

} // namespace

MountTree::MountTree(const std::vector<MountLine>& table) : m_directories(1)
{
    std::map<std::string_view, std::size_t> indexOfId;
    for (std::size_t i = 0; i < table.size(); ++i)
        indexOfId[table[i].mountId] = i;
    // The last mount made in each directory on each mount.
    std::map<std::pair<std::size_t, std::size_t>, std::size_t> lastOn;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto parent = indexOfId.find(table[i].parentId);
        const std::size_t on = parent == indexOfId.end() || parent->second == i ? Outside : parent->second;
        if (table[i].mountPoint.starts_with('/'))
            lastOn[{on, directoryOf(table[i].mountPoint)}] = i;
    }
    // Each directory goes on from the lookup of the one holding it, which comes
    // before it. "/" takes the root alone; elsewhere the stack is climbed, in a
    // bounded number of steps against a malformed table.
    for (std::size_t d = 0; d < m_directories.size(); ++d) {
        Directory& here = m_directories[d];
        std::size_t at = d == 0 ? Outside : m_directories[here.holder].endsAt;
        const std::size_t maxSteps = d == 0 ? 1 : table.size();
        for (auto next = lastOn.find({at, d}); next != lastOn.end() && here.steps.size() < maxSteps;
             next = lastOn.find({at, d}))
            here.steps.push_back(at = next->second);
        here.endsAt = at;
    }
}

std::size_t MountTree::directoryOf(std::string_view mountPoint)
{
    std::size_t d = 0;
    forEachName(mountPoint, [this, &d](std::string_view name) {
        const auto [child, added] = m_directories[d].children.try_emplace(name, m_directories.size());
        const std::size_t holder = std::exchange(d, child->second);
        if (added)
            m_directories.emplace_back().holder = holder;
        return true;
    });
    return d;
}

std::vector<std::size_t> MountTree::crossed(std::string_view path) const
{
    if (!path.starts_with('/'))
        return {};
    std::vector<std::size_t> mounts = m_directories[0].steps;
    std::size_t d = 0;
    forEachName(path, [this, &mounts, &d](std::string_view name) {
        const auto child = m_directories[d].children.find(name);
        if (child == m_directories[d].children.end())
            return false; // no mount point further down this path
        d = child->second;
        mounts.insert(mounts.end(), m_directories[d].steps.begin(), m_directories[d].steps.end());
        return true;
    });
    return mounts;
}
