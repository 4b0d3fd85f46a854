#pragma once

class QWidget;

// What screen readers are told of our controls beyond Qt's plain labels and
// lists: the swatches are buttons and the version and date labels links, each
// with a press action; the drive list is named "Drive", its entry its value (Qt
// would name it by its entry); the chart box is a chart and the main window a
// window (Qt would call both fillers); the window and the frame leave out the
// controls screen readers are not given.
namespace AccessibleControls {

// Called last by each of those controls' constructors: an accessible object Qt
// made for its base class meanwhile is dropped, so screen readers get its own.
void adopt(QWidget* control);

// Screen readers are not given this control: its window and frame leave it out.
void leaveOut(QWidget* control);

} // namespace AccessibleControls
