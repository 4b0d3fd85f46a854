#include "app/qt/FormControls.h"

#include "app/qt/AccessibleControls.h"
#include "app/qt/AutoSizeLabel.h"
#include "app/qt/ChartView.h"
#include "app/qt/ClassicFont.h"
#include "app/qt/DriveListBox.h"
#include "app/qt/FigureLabel.h"
#include "app/qt/FocusMark.h"
#include "app/qt/LegendSwatch.h"
#include "app/qt/LinkLabel.h"
#include "app/qt/Resources.h"
#include "app/qt/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>

namespace {

using FormTable::Kind;

// The frame around the figures: a group box without a title, drawn as the style's
// plain frame. A style may draw a group box from an image looked up by name, which
// has Qt load every image format plugin, most of a megabyte, at every start.
class FormFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.frameShape = QFrame::StyledPanel;
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    }
};

// A standard control that marks the keyboard focus as the others do, inset pixels
// inside its edge, on its face: a label has no mark, and the styles' mark on a
// button is faint (Fusion's barely lighter than the frame) or none at all.
template <class Base, QPalette::ColorRole Face, int Inset> class FocusMarked : public Base {
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Base::paintEvent(event);
        if (!FocusMark::shows(*this))
            return;
        QPainter painter(this);
        const QColor face = this->palette().color(Face);
        FocusMark::paint(painter, *this, this->rect().adjusted(Inset, Inset, -Inset, -Inset), face, face);
    }
};

// The icon box, which may take the focus.
using IconBox = FocusMarked<QLabel, QPalette::Window, 0>;
// The mark inside the style's frame, where the classic dotted rectangle stood.
using CommandButton = FocusMarked<QPushButton, QPalette::Button, 3>;

// Widgets sized to their text or picture take their design rectangle here; the caller places the others.
QWidget* makeWidget(const FormTable::Control& control, QWidget* parent, const QRect& design)
{
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case Kind::ChartBox:
        return new ChartView(parent);
    case Kind::DriveList:
        return new DriveListBox(parent);
    case Kind::Swatch:
        return new LegendSwatch(0, design, parent);
    case Kind::Link:
        return new LinkLabel(text, design, parent);
    case Kind::Caption:
        return new AutoSizeLabel(text, design, parent);
    case Kind::Figure:
        return new FigureLabel(text, design, parent);
    case Kind::Frame:
        return new FormFrame(parent);
    case Kind::Label: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::Button:
        return new CommandButton(text, parent);
    case Kind::Icon: {
        // Sized to the application icon, 32 x 32 logical pixels drawn for the screen's pixel ratio.
        const QPixmap icon = Resources::AppIconImage(parent->devicePixelRatioF());
        auto* picture = new IconBox(parent);
        picture->setPixmap(icon);
        picture->setGeometry(QRect(design.topLeft(), icon.deviceIndependentSize().toSize()));
        return picture;
    }
    }
    return nullptr;
}

} // namespace

QWidget* createControl(const FormTable::Control& control, QWidget* parent, const Twips& twips)
{
    const QRect design = twips.rect(control.rect);
    QWidget* widget = makeWidget(control, parent, design);
    widget->setObjectName(QString::fromUtf8(control.name));
    const bool placesItself =
        FormTable::keepsRightEdge(control.kind) || control.kind == Kind::Swatch || control.kind == Kind::Icon;
    if (!placesItself)
        widget->setGeometry(design);
    if (control.pointSize != FormTable::Control{}.pointSize) {
        QFont font = classicFont(control.pointSize);
        font.setWeight(QFont::Normal);
        widget->setFont(font);
    }
    if (control.tabStop && widget->focusPolicy() == Qt::NoFocus)
        widget->setFocusPolicy(Qt::StrongFocus);
    if (!control.accessibleName.empty())
        widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
    if (!control.description.empty())
        widget->setAccessibleDescription(QString::fromUtf8(control.description));
    if (!FormTable::heardByScreenReaders(control.kind))
        AccessibleControls::leaveOut(widget);
    if (control.kind == Kind::ChartBox || control.kind == Kind::Frame)
        AccessibleControls::adopt(widget);
    return widget;
}
