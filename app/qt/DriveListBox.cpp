#include "app/qt/DriveListBox.h"

#include "app/qt/AccessibleControls.h"
#include "app/qt/TextConversion.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    // A pick of the entry already current changes no index, but the user asks
    // for that drive again: activated reports it as any other pick.
    connect(this, &QComboBox::activated, this, &DriveListBox::Picked);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { setToolTip(currentText()); });
    AccessibleControls::adopt(this);
}

void DriveListBox::showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current)
{
    const QSignalBlocker quiet(this);
    clear();
    int widest = 0;
    const QFontMetrics metrics(font());
    for (const std::string& text : texts) {
        const QString item = toQString(text);
        addItem(item);
        widest = std::max(widest, metrics.horizontalAdvance(item));
    }
    setCurrentIndex(current ? static_cast<int>(*current) : -1);
    setToolTip(currentText());
    // Mount points with their labels are longer than the box is wide; the open
    // list is as wide as its longest entry.
    view()->setMinimumWidth(widest + 2 * metrics.averageCharWidth() + view()->verticalScrollBar()->sizeHint().width());
}

void DriveListBox::showPopup()
{
    emit Opened();
    QComboBox::showPopup();
}
