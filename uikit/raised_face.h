// The raised face the app's panels and the kit's gallery are drawn with: a rounded face that rises out of
// the page. In light it is the page's colour, raised by a soft shade below right and a glow above left; in
// dark, where a shade cannot show on the black page, it is a shade lighter than the page, with a faint glow
// above. Main thread only.
#pragma once

class QWidget;

namespace quell {

// Gives the widget the face colour, the shadow colours and offsets (8 points, below right for the shade)
// and the corner radius of a raised face, and sets its `active`. It draws nothing yet: apply the widget's
// style (applyNeumorphicStyle, or the button or text field style) once it has its size, and again whenever
// its size changes.
void makeRaised(QWidget* widget, double cornerRadius);

}  // namespace quell
