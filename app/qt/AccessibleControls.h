#pragma once

class QWidget;

// What screen readers are told of the window's own controls, beyond what Qt
// tells of plain labels and lists: the legend swatches are buttons and the
// version and date labels links, both with a press action, and the drive list
// is named "Drive" with its current entry as its value (Qt would otherwise
// name it by its entry).
namespace AccessibleControls {

// Called by each of those controls' constructors, last. Qt may have made a
// plain label's or list's accessible object for it while its base class was
// being built; that one is dropped, so that screen readers get the control's own.
void adopt(QWidget* control);

} // namespace AccessibleControls
