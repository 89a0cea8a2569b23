// Whether quellbox can open a window here. Qt aborts when its platform plugin is missing or cannot reach a
// display; quellbox instead says in one line what is missing and what to install, and exits 1.
#pragma once

#include <optional>
#include <string>

namespace quell {

// Looks, before Qt's GUI starts and without connecting to anything, at the platforms Qt will try (the
// -platform argument, else QT_QPA_PLATFORM, each a list "a;b" tried in order; else Qt's own choice: wayland
// in a Wayland session outside GNOME, xcb otherwise), whether a plugin for each is installed (by the
// plugins' own metadata, in Qt's plugin folders), and for xcb and wayland whether there is a display to
// reach ($DISPLAY; the socket $WAYLAND_DISPLAY names, wayland-0 by default, under $XDG_RUNTIME_DIR).
// Returns the line to print ("quellbox: ...", no newline) when none of them can start, else nullopt.
std::optional<std::string> missingWindowSystem(int argc, char** argv);

// Guards the making of the application object: a fatal error in Qt's platform start (a display that
// refuses the connection, a plugin that cannot load) prints one line, "quellbox: " with Qt's reason and
// what to check, and exits 1 instead of aborting. The messages Qt writes meanwhile are held back and
// passed on when endPlatformStartGuard() is called after the application object exists.
void beginPlatformStartGuard();
void endPlatformStartGuard();

}  // namespace quell
