#pragma once

class QWidget;

// Screen readers' view of our controls: the swatches are buttons and the version
// and date labels links, with a press action; the drive list is named "Drive", its
// entry its value (Qt names it by its entry); the chart box is a chart and the main
// window a window (Qt says filler); the window and frame leave out controls not heard.
namespace AccessibleControls {

// Called last by each of those controls' constructors: an accessible object Qt
// made for its base class meanwhile is dropped, so screen readers get its own.
void adopt(QWidget* control);

// Screen readers are not given this control: its window and frame leave it out.
void leaveOut(QWidget* control);

} // namespace AccessibleControls
