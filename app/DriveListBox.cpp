#include "app/DriveListBox.h"

#include "app/AccessibleControls.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <filesystem>
#include <utility>

DriveListBox::DriveListBox(QWidget* parent, Lister lister) : QComboBox(parent), m_lister(std::move(lister))
{
    setAccessibleName(tr("Drive"));
    setAccessibleDescription(tr("The drive whose capacity, used and free space the window shows"));
    // Every change of the current entry goes through here, whether the user
    // picked it with the mouse, the keyboard or the wheel, or setDrive chose it.
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::onCurrentIndexChanged);
    // A pick of the entry already current changes no index, but the user asks
    // for that drive again: one that came back shows its figures again.
    connect(this, &QComboBox::activated, this, &DriveListBox::onActivated);

    const auto entries = m_lister();
    std::error_code error;
    const std::size_t holding = DriveList::IndexOfDriveHolding(entries, std::filesystem::current_path(error).string());
    fill(entries, holding < entries.size() ? static_cast<int>(holding) : 0);
    AccessibleControls::adopt(this);
}

const DriveList::DriveEntry* DriveListBox::currentEntry() const
{
    const int index = currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(index)];
}

QString DriveListBox::Drive() const
{
    const auto* entry = currentEntry();
    return entry ? QString::fromStdString(entry->text) : QString();
}

std::string DriveListBox::rootPath() const
{
    const auto* entry = currentEntry();
    return entry ? entry->rootPath : std::string();
}

std::optional<DriveList::DriveEntry> DriveListBox::currentDrive() const
{
    const auto* entry = currentEntry();
    return entry ? std::optional(*entry) : std::nullopt;
}

bool DriveListBox::setDrive(std::string_view wanted)
{
    std::size_t index = DriveList::IndexOfRoot(m_entries, wanted);
    if (index == m_entries.size()) {
        // It may have been mounted or plugged in since the list was last read.
        reload();
        index = DriveList::IndexOfRoot(m_entries, wanted);
        if (index == m_entries.size())
            return false;
    }
    setCurrentIndex(static_cast<int>(index));
    m_changedByIndex = false;
    return true;
}

void DriveListBox::reload()
{
    auto entries = m_lister();
    int current = 0;
    if (const auto* entry = currentEntry()) {
        const DriveList::DriveEntry selected = *entry;
        std::size_t found = DriveList::IndexOfRoot(entries, selected.rootPath);
        if (found == entries.size()) {
            // The current drive went away. It stays in the list, at its old place
            // as far as the list allows, so the list still says what is shown;
            // the next reload after the user picks another drive drops it.
            found = std::min(static_cast<std::size_t>(currentIndex()), entries.size());
            entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(found), selected);
        }
        current = static_cast<int>(found);
    }
    if (entries == m_entries && current == currentIndex())
        return;
    fill(std::move(entries), current);
}

void DriveListBox::showPopup()
{
    reload();
    QComboBox::showPopup();
}

void DriveListBox::fill(std::vector<DriveList::DriveEntry> entries, int current)
{
    // Refilling the items is no change of the current drive.
    m_filling = true;
    clear();
    m_entries = std::move(entries);
    int widest = 0;
    const QFontMetrics metrics(font());
    for (const auto& entry : m_entries) {
        const QString text = QString::fromStdString(entry.text);
        addItem(text);
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    setCurrentIndex(m_entries.empty() ? -1 : current);
    m_filling = false;
    m_currentRoot = rootPath();
    setToolTip(Drive());
    // Mount points with their labels are longer than the box is wide; the open
    // list is as wide as its longest entry.
    view()->setMinimumWidth(widest + 2 * metrics.averageCharWidth() + view()->verticalScrollBar()->sizeHint().width());
}

void DriveListBox::onCurrentIndexChanged()
{
    if (m_filling)
        return;
    setToolTip(Drive());
    std::string root = rootPath();
    m_changedByIndex = root != m_currentRoot;
    if (!m_changedByIndex)
        return;
    m_currentRoot = std::move(root);
    emit Change();
}

void DriveListBox::onActivated()
{
    // A pick that moved to another drive has had its Change already.
    if (!std::exchange(m_changedByIndex, false))
        emit Change();
}
