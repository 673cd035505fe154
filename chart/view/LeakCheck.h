// The sanitized build's leak check, run while the display is still open.
//
// Qt closes the X display when the application object goes, and Mesa's OpenGL driver is
// unloaded with it; whatever the driver's globals pointed to then looks leaked to
// LeakSanitizer, from frames of a module that is no longer there and that no suppression can
// name. A program that shows charts calls this once its windows are gone and before its
// application object is, so that only real leaks are reported. Does nothing without the
// sanitizer (or with detect_leaks=0); after it, the check at exit is not run again.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEX_LEAK_CHECK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORVEX_LEAK_CHECK 1
#endif
#ifdef KORVEX_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace korvex {

inline void CheckLeaksBeforeTheDisplayCloses() {
#ifdef KORVEX_LEAK_CHECK
  __lsan_do_leak_check();
#endif
}

}  // namespace korvex
