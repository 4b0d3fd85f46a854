#pragma once

#include "app/behaviour/FormTable.h"

#include <QDialog>

#include <array>

// The About dialog, made for one showing: the opener places it, runs it modally
// and deletes it. OK only hides it; the title bar's close button destroys it
// (deferred), so the opener holds it in a QPointer and deletes it only if alive.
class frmABOUT : public QDialog {
    Q_OBJECT
public:
    explicit frmABOUT(QWidget* owner);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();

    // The form table's controls, in its order; owned by the dialog.
    std::array<QWidget*, FormTable::aboutControls.size()> m_controls{};
    template <class Widget> [[nodiscard]] Widget* control(FormTable::About which) const
    {
        return static_cast<Widget*>(m_controls[static_cast<std::size_t>(which)]);
    }
};
