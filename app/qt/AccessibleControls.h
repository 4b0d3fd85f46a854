#pragma once

class QWidget;

// What screen readers are told of the window's own controls, beyond what Qt
// tells of plain labels and lists: the legend swatches are buttons and the
// version and date labels links, both with a press action; the drive list is
// named "Drive" with its current entry as its value (Qt would otherwise name
// it by its entry); the chart box is a chart, the main window a window (Qt
// would call both fillers); and the window and the frame leave out of their
// children the controls screen readers are not given.
namespace AccessibleControls {

// Called by each of those controls' constructors, last. Qt may have made a
// plain label's or list's accessible object for it while its base class was
// being built; that one is dropped, so that screen readers get the control's own.
void adopt(QWidget* control);

// Screen readers are not given this control: its window and frame leave it out.
void leaveOut(QWidget* control);

} // namespace AccessibleControls
