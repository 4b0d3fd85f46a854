#pragma once

// What screen readers are told of the window's own controls, beyond what Qt
// tells of plain labels and lists: the legend swatches are buttons and the
// version and date labels links, both with a press action, and the drive list
// is named "Drive" with its current entry as its value (Qt would otherwise
// name it by its entry). Installed once, by the controls' constructors.
namespace AccessibleControls {

void install();

} // namespace AccessibleControls
