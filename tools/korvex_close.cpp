// Asks a window to close, as a window manager's close button does: sends it WM_DELETE_WINDOW.
// Used by tools/monkey.sh (on its own Xvfb, without a window manager) to end the program the
// way a user does, so that it runs its exit path, where LeakSanitizer reports.
//   Usage: korvex-close WINDOW_ID
//   Exit status: 0 sent, 2 no display or bad arguments, 3 no such window.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "XErrors.h"

using korvex_tools::windowGone;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvex-close WINDOW_ID\n");
    return 2;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XSetErrorHandler(korvex_tools::NoteWindowGone);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return windowGone ? 3 : 0;
}
