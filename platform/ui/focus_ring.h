// The focus ring: a rounded outline around the control that has the keyboard focus, shown only while the
// keyboard is in use. A key press (other than typing into a text field) shows it around the focused
// control, and it follows the focus from then on; a tap, a click or a touch hides it, so that a tap never
// leaves a ring behind, while a control focused by Tab always shows one. It is drawn in the appearance's
// tint. Main thread only.
#pragma once

class QWidget;

namespace quell {

namespace FocusRing {
// Starts the ring for the whole application; later calls do nothing. Call after the QApplication exists.
void install();
// The widget the ring is shown around, or nullptr while it is hidden.
QWidget* ringedWidget();
}  // namespace FocusRing

}  // namespace quell
