#pragma once
// X11 pieces the Linux port shares between its SDL window code and the monitor list: finding a
// host's window safely, keeping an X error about it from ending the process, and asking a
// window's size and the monitors straight from the server.
// The project's headers come first: Xlib defines macros (None, Status) that clash with them.
#include "platform/platform.h"
#include "platform/x11/server_loss.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace hg::platform::x11 {

// The window `id` names (0: the root window of the default screen), checked on a connection of
// our own so that a wrong id cannot reach Xlib's default error handler, which ends the process.
std::optional<::Window> findHostWindow(uint64_t id);

// From here on an X error no longer ends the process: it is noted. An error about `window` (the
// host destroyed it while we drew) marks it gone.
void watchHostWindow(::Window window);
bool hostWindowGone();

// A window's size, asked on `display`; nothing once it is gone.
std::optional<Point> windowSize(Display* display, ::Window window);
// The size of the screen `window` is on.
std::optional<Point> screenSizeOf(Display* display, ::Window window);

// The monitors of an open connection: RandR 1.5 monitors or Xinerama heads, whichever lists more
// (a server combining screens with Xinerama may show RandR only its first screen).
std::vector<Monitor> monitorsOf(Display* display);

// Asks an EWMH window manager, when one runs, to stretch `window` full screen over every monitor.
void requestFullScreenOverMonitors(Display* display, ::Window window, const std::vector<Monitor>& monitors);

}  // namespace hg::platform::x11
