#pragma once

#include <QKeyEvent>

namespace KeyActivation {

// Whether a key press works a control as a click would: Space, Enter or Return,
// any modifiers (the control reads Shift itself); a held key's repeats do not.
[[nodiscard]] inline bool activates(const QKeyEvent& event)
{
    const int key = event.key();
    return !event.isAutoRepeat() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter);
}

} // namespace KeyActivation
