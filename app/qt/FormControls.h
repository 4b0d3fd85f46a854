#pragma once

#include "app/behaviour/FormTable.h"

class QWidget;
class Twips;

// Creates a control as its form table describes it: the widget of its kind, named,
// placed, with its first text, font and what screen readers are told of it. Made
// in the table's order, the widgets take it as their focus order.
[[nodiscard]] QWidget* createControl(const FormTable::Control& control, QWidget* parent, const Twips& twips);
