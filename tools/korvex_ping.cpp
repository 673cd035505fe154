// Asks a window whether its program still answers: sends it the window manager's
// _NET_WM_PING and waits for the program to return it to the root window, as toolkits do
// from their event loop. Used by tools/monkey.sh (on its own Xvfb, without a window manager) to
// tell a hang from a slow command.
//   Usage: korvex-ping WINDOW_ID TIMEOUT_SECONDS
//   Exit status: 0 answered, 1 no answer within the time, 2 no display or bad arguments,
//   3 no such window, or it went away before answering (a toolkit replaces its window, for one
//   when OpenGL is switched on).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "XErrors.h"

using korvex_tools::windowGone;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: korvex-ping WINDOW_ID TIMEOUT_SECONDS\n");
    return 2;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  const double timeout = std::atof(argv[2]);
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XSetErrorHandler(korvex_tools::NoteWindowGone);
  const Window root = DefaultRootWindow(display);
  // Toolkits send the answer to the root window for the window manager, and the server hands it
  // to the client that holds the root's substructure redirection: under Xvfb without a window
  // manager, that is us.
  XSelectInput(display, root, SubstructureNotifyMask | SubstructureRedirectMask);
  // A window destroyed or hidden before it answers is being replaced: no hang.
  XSelectInput(display, window, StructureNotifyMask);
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
  // A stamp of our own, so that an answer to an earlier ping is not taken for this one.
  const long stamp =
      static_cast<long>(std::chrono::steady_clock::now().time_since_epoch().count() & 0x7fffffff);

  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(ping);
  event.xclient.data.l[1] = stamp;
  event.xclient.data.l[2] = static_cast<long>(window);
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  if (windowGone) {
    XCloseDisplay(display);
    return 3;
  }

  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
  for (;;) {
    while (XPending(display) > 0) {
      XEvent reply;
      XNextEvent(display, &reply);
      if ((reply.type == DestroyNotify && reply.xdestroywindow.window == window) ||
          (reply.type == UnmapNotify && reply.xunmap.window == window)) {
        XCloseDisplay(display);
        return 3;
      }
      // Holding the redirection, we stand in for the window manager: windows that ask to be
      // shown or moved meanwhile (a dialog opening) must get it, or they would stay unmapped
      // and a modal one would block the program unseen.
      if (reply.type == MapRequest) {
        XMapWindow(display, reply.xmaprequest.window);
        continue;
      }
      if (reply.type == ConfigureRequest) {
        const XConfigureRequestEvent& r = reply.xconfigurerequest;
        XWindowChanges changes{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
        XConfigureWindow(display, r.window, static_cast<unsigned>(r.value_mask), &changes);
        continue;
      }
      if (reply.type == CirculateRequest) {
        XCirculateSubwindows(display, reply.xcirculaterequest.parent,
                             reply.xcirculaterequest.place == PlaceOnTop ? RaiseLowest : LowerHighest);
        continue;
      }
      if (reply.type == ClientMessage && reply.xclient.message_type == protocols &&
          static_cast<Atom>(reply.xclient.data.l[0]) == ping && reply.xclient.data.l[1] == stamp) {
        XCloseDisplay(display);
        return 0;
      }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
  }
  XCloseDisplay(display);
  return 1;
}
