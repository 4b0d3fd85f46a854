#include "app/qt/DriveListBox.h"

#include "app/qt/AccessibleControls.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

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
        const QString item = QString::fromUtf8(text);
        addItem(item);
        widest = std::max(widest, metrics.horizontalAdvance(item));
    }
    setCurrentIndex(current ? static_cast<int>(*current) : -1);
    setToolTip(currentText());
    // Mount points with their labels are longer than the box is wide; the open
    // list is as wide as its longest entry.
    view()->setMinimumWidth(widest + 2 * metrics.averageCharWidth() + view()->verticalScrollBar()->sizeHint().width());
}

// The closed list's entry, as the style draws it, is shortened with "…" where the
// field is too narrow (fieldText), not cut mid-letter; the tooltip has it whole.
void DriveListBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The styles draw the text one pixel in from either end of the field.
    option.currentText = fieldText(option.currentText, fontMetrics(), field.width() - 2);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

// Drives mounted under one folder ("/media/alice/...") differ only at the end: the
// folder part is shortened in the middle, the last component and label kept whole;
// where they alone are too wide, the folder goes and they are cut at the end.
QString DriveListBox::fieldText(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    // Entries read "<mount point> [<label>]"; the label may hold slashes.
    const qsizetype labelStart = text.indexOf(QStringLiteral(" ["));
    const qsizetype lastSlash = text.lastIndexOf(QLatin1Char('/'), labelStart < 0 ? -1 : labelStart);
    if (lastSlash <= 0)
        return metrics.elidedText(text, Qt::ElideMiddle, width);
    const QString kept = text.mid(lastSlash);
    const QString folder =
        metrics.elidedText(text.left(lastSlash), Qt::ElideMiddle, width - metrics.horizontalAdvance(kept));
    if (folder.size() > 1)
        return folder + kept;
    const QString ellipsis(QChar(0x2026));
    return ellipsis + metrics.elidedText(kept, Qt::ElideRight, width - metrics.horizontalAdvance(ellipsis));
}

void DriveListBox::showPopup()
{
    emit Opened();
    QComboBox::showPopup();
}
