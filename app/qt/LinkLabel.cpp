#include "app/qt/LinkLabel.h"

#include "app/behaviour/Contrast.h"
#include "app/qt/AccessibleControls.h"
#include "app/qt/ColorValue.h"
#include "app/qt/FocusMark.h"
#include "app/qt/KeyActivation.h"
#include "app/qt/Resources.h"

#include <QMouseEvent>
#include <QPainter>

LinkLabel::LinkLabel(const QString& caption, const QRect& design, QWidget* parent)
    : AutoSizeLabel(caption, design, parent)
{
    // Room each side of the text for the focus ring (at 150 % the glyphs touch the
    // label's edges); given before the font, whose change sizes the label.
    setContentsMargins(FocusMark::LabelPadding, 0, FocusMark::LabelPadding, 0);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    setCursor(Resources::PointingHandCursor());
    setFocusPolicy(Qt::StrongFocus);
    followPalette();
    AccessibleControls::adopt(this);
}

void LinkLabel::followPalette()
{
    const QPalette inherited = parentWidget()->palette();
    QPalette own = palette();
    const std::uint32_t link = ColorValue::fromQColor(inherited.color(QPalette::Link));
    const std::uint32_t background = ColorValue::fromQColor(inherited.color(QPalette::Window));
    own.setColor(QPalette::WindowText, ColorValue::toQColor(Contrast::readableLink(link, background)));
    // An equal palette sends no change: this ends the round through changeEvent.
    setPalette(own);
}

void LinkLabel::changeEvent(QEvent* event)
{
    AutoSizeLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        followPalette();
}

// Qt gives a focusable label a text editor's machinery (a document and its layout)
// once it has a text, costing more than the rest of the window's start. A link, which
// handles its keys and paints plain text, needs none: Qt makes it only once the label
// takes the focus, and a new text drops it again.
void LinkLabel::showText(const QString& text)
{
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::NoFocus);
    setText(text);
    setFocusPolicy(policy);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (KeyActivation::activates(*event))
        emit Click();
    else
        AutoSizeLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent* event)
{
    AutoSizeLabel::paintEvent(event);
    if (FocusMark::shows(*this)) {
        QPainter painter(this);
        FocusMark::paint(painter, rect(),
                         FocusMark::labelRings(ColorValue::fromQColor(palette().color(QPalette::Window))));
    }
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}
