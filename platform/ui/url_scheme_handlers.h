// Whether the desktop can open URLs of a scheme. The web's, mail's and files' schemes always go to the
// desktop's opener, which has fallbacks of its own. Any other scheme (appstream:, a software centre's) can
// be opened only when an installed application declares it, the way desktops find scheme handlers: a
// .desktop file in an applications folder of $XDG_DATA_HOME or $XDG_DATA_DIRS whose MimeType lists
// x-scheme-handler/<scheme>. An entry marked Hidden hides the entries of the same id in later folders.
// The folders are read afresh at each call. Main thread only.
#pragma once

#include <QString>

namespace quell {

bool desktopHandlesScheme(const QString& scheme);

}  // namespace quell
