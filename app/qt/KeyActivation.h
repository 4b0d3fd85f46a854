#pragma once

#include <QKeyEvent>

namespace KeyActivation {

// Whether a key press works a control as a click would: Space, Enter or Return,
// with or without modifiers (the control reads Shift itself). Auto-repeat of a
// held key does not click again.
[[nodiscard]] inline bool activates(const QKeyEvent& event)
{
    const int key = event.key();
    return !event.isAutoRepeat() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter);
}

} // namespace KeyActivation
