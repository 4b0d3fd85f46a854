#pragma once

#include "app/behaviour/FormTable.h"

class QWidget;
class Twips;

// Creates a control as its form table describes it: the widget of its kind,
// named as designed, at its rectangle, with its first text, font and what
// screen readers are told of it. The widgets come in the table's order, which
// makes it their focus order.
[[nodiscard]] QWidget* createControl(const FormTable::Control& control, QWidget* parent, const Twips& twips);
