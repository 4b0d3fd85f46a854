#include "app/qt/CommonDialogControl.h"

#include "chart/ColorValue.h"

#include <QColorDialog>

namespace {

QColor showColorDialog(const QColor& initial, std::int32_t flags, QWidget* parent)
{
    // Qt's dialog always shows its custom colours, so FullOpen needs nothing more.
    const QColor start = (flags & CommonDialogControl::RgbInit) ? initial : QColor(Qt::black);
    return QColorDialog::getColor(start, parent);
}

} // namespace

CommonDialogControl::CommonDialogControl(QWidget* parent, Chooser chooser)
    : QObject(parent), m_owner(parent), m_chooser(chooser ? std::move(chooser) : Chooser(showColorDialog))
{
    setObjectName(QStringLiteral("CommonDialog"));
}

void CommonDialogControl::ShowColor()
{
    const QColor chosen = m_chooser(ColorValue::toQColor(m_color), m_flags, m_owner);
    if (chosen.isValid())
        m_color = ColorValue::fromQColor(chosen);
}
