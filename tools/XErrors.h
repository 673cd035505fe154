// The X error handler of the monkey's small X helpers (korvex-ping, korvex-close): a window
// that is gone (BadWindow) is noted instead of ending the helper, as Xlib's default handler does.
#pragma once

#include <X11/Xlib.h>

namespace korvex_tools {

inline bool windowGone = false;

inline int NoteWindowGone(Display*, XErrorEvent* error) {
  if (error->error_code == BadWindow) windowGone = true;
  return 0;
}

}  // namespace korvex_tools
