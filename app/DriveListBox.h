#pragma once

#include "drivespace/DriveList.h"

#include <QComboBox>

#include <functional>
#include <vector>

// The drive list: a drop-down of the machine's drives. It is read again every
// time it is opened, so a drive mounted or plugged in while the program runs
// appears and one that went away disappears. Change is emitted whenever the
// current drive changes, by the user's pick or through setDrive.
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
    // The current drive's root path ("C:\", "/media/usb").
    [[nodiscard]] QString rootPath() const;

    // Makes the drive with this root path current (on Windows matched by drive
    // letter, case-insensitively). A root path that is not in the list is
    // refused: returns false and leaves the selection as it was.
    [[nodiscard]] bool setDrive(const QString& rootPath);

    // Reads the drives again, keeping the current one selected.
    void reload();

    void showPopup() override;

signals:
    void Change();

private:
    Lister m_lister;
    std::vector<DriveList::DriveEntry> m_entries;
};
