// Installs the application-wide event filter through which every active button and text field gets its
// style and behaviour without subclassing. Call once, after the QApplication exists.
#pragma once

class QApplication;

namespace quell {

void installNeumorphicHooks(QApplication& app);

}  // namespace quell
