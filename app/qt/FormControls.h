#pragma once

#include "app/behaviour/FormTable.h"

class QWidget;
class Twips;

// Creates a control as its form table describes it: widget, name, place, first text,
// font and what screen readers are told; made in table order, which is focus order.
[[nodiscard]] QWidget* createControl(const FormTable::Control& control, QWidget* parent, const Twips& twips);
