#pragma once

#include "drivespace/DriveList.h"

#include <QComboBox>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The drive list: a drop-down of the machine's drives. It is read again every
// time it is opened, so a drive mounted or plugged in while the program runs
// appears and one that went away disappears. Change is emitted whenever the
// current drive changes, by the user's pick or through setDrive, and when the
// user picks the current drive again; never by a reload.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    using Lister = std::function<std::vector<DriveList::DriveEntry>()>;

    // lister gives the drives each time the list is read (DriveList::ListDrives
    // in the program; tests pass their own). The list starts on the drive that
    // holds the current directory.
    explicit DriveListBox(QWidget* parent = nullptr, Lister lister = DriveList::ListDrives);

    // The current drive's text as the list shows it ("c: [SYSTEM]",
    // "/media/usb [BACKUP]"); empty when the list has no drive.
    [[nodiscard]] QString Drive() const;
    // The current drive's root path ("C:\", "/media/usb"), its exact bytes;
    // empty when the list has no drive.
    [[nodiscard]] std::string rootPath() const;
    // The current drive's entry; none when the list has no drive.
    [[nodiscard]] std::optional<DriveList::DriveEntry> currentDrive() const;

    // Makes the drive with this root path current (on Windows matched by drive
    // letter, case-insensitively). A root path that is not in the list is
    // refused: returns false and leaves the selection as it was. The list is
    // read again before refusing, as the drive may have just been mounted.
    [[nodiscard]] bool setDrive(std::string_view rootPath);

    // Reads the drives again, keeping the current one selected; a current drive
    // that went away stays in the list while it is current.
    void reload();

    void showPopup() override;

signals:
    void Change();

private:
    // Replaces the items by entries and makes entries[current] current, without
    // a Change.
    void fill(std::vector<DriveList::DriveEntry> entries, int current);
    // The entry shown as current, or nullptr when the list is empty.
    [[nodiscard]] const DriveList::DriveEntry* currentEntry() const;
    void onCurrentIndexChanged();
    void onActivated();

    Lister m_lister;
    // The items, in the combo box's order.
    std::vector<DriveList::DriveEntry> m_entries;
    // The root path of the drive last reported as current, to tell a real change
    // from a pick of the same drive.
    std::string m_currentRoot;
    bool m_filling = false;
    // Whether the index change just seen moved to another drive: the user's pick
    // that follows it (activated comes after currentIndexChanged) sends no
    // second Change.
    bool m_changedByIndex = false;
};
