#include "app/qt/AccessibleControls.h"

#include "app/qt/ChartView.h"
#include "app/qt/DriveListBox.h"
#include "app/qt/LegendSwatch.h"
#include "app/qt/LinkLabel.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>

#include <mutex>

namespace {

// Our controls' objects, each in the role given: the only ones adopt keeps.
class OwnAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
};

// Set on a control that screen readers are not given.
constexpr char LeftOut[] = "quillmarLeftOutOfAccessibleTree";

// A window or frame whose children screen readers get, but for those left out.
class ContainerAccessible : public OwnAccessible {
public:
    using OwnAccessible::OwnAccessible;

    [[nodiscard]] int childCount() const override { return static_cast<int>(heardChildren().size()); }
    // Out of range, value() gives null, which has no interface.
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        return QAccessible::queryAccessibleInterface(heardChildren().value(index));
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? static_cast<int>(heardChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    // The child widgets in creation order; dialogs and other windows owned by
    // this one stand on their own.
    [[nodiscard]] QList<QWidget*> heardChildren() const
    {
        QList<QWidget*> heard;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !child->property(LeftOut).toBool())
                heard.append(child);
        }
        return heard;
    }
};

// A control worked by a click or by Space: a press action that types Space.
class PressableAccessible : public OwnAccessible {
public:
    using OwnAccessible::OwnAccessible;

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        const auto* label = qobject_cast<const QLabel*>(widget());
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty() && label)
            return label->text();
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(widget(), &space);
    }
};

// The drive list: its own name, the current entry as value and read-only text (how
// the value reaches screen readers over AT-SPI), the entries' list its one child.
class DriveListAccessible : public OwnAccessible, public QAccessibleTextInterface {
public:
    explicit DriveListAccessible(DriveListBox* list) : OwnAccessible(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(int startOffset, int endOffset) const override
    {
        return list()->currentText().mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override { return static_cast<int>(list()->currentText().size()); }
    // Nothing in it can be selected, edited or pointed at.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    [[nodiscard]] int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    [[nodiscard]] int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    [[nodiscard]] QRect characterRect(int) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    [[nodiscard]] QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? list()->currentText() : QAccessibleWidget::text(kind);
    }

    [[nodiscard]] int childCount() const override { return 1; }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    [[nodiscard]] DriveListBox* list() const { return static_cast<DriveListBox*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object)
{
    if (auto* list = qobject_cast<DriveListBox*>(object))
        return new DriveListAccessible(list);
    if (auto* swatch = qobject_cast<LegendSwatch*>(object))
        return new PressableAccessible(swatch, QAccessible::Button);
    if (auto* link = qobject_cast<LinkLabel*>(object))
        return new PressableAccessible(link, QAccessible::Link);
    if (auto* chart = qobject_cast<ChartView*>(object))
        return new OwnAccessible(chart, QAccessible::Chart);
    if (auto* frame = qobject_cast<QGroupBox*>(object))
        return new ContainerAccessible(frame, QAccessible::Grouping);
    // A window made straight from QWidget, which Qt would call a filler.
    if (auto* window = qobject_cast<QWidget*>(object);
        window && window->isWindow() && window->metaObject()->superClass() == &QWidget::staticMetaObject)
        return new ContainerAccessible(window, QAccessible::Window);
    return nullptr;
}

} // namespace

namespace AccessibleControls {

void adopt(QWidget* control)
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(interfaceFor); });
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(control);
    if (made && !dynamic_cast<OwnAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void leaveOut(QWidget* control)
{
    control->setProperty(LeftOut, true);
}

} // namespace AccessibleControls
