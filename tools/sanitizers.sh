# Sourced by tools/test.sh and tools/monkey.sh: how the sanitized build runs.
# - LeakSanitizer looks at every program's end; tools/lsan.supp names the leaks inside Qt and
#   the system libraries, each with the reason it is not ours.
# - intercept_tls_get_addr=0: the sanitizer runtime of GCC 12 takes a thread-local block that
#   happens to start 16 bytes into a page for one with the header of glibc before 2.25, reads
#   an address and a size from the two words before it, and LeakSanitizer's thread tracer then
#   faults at the end of the program ("Tracer caught signal 11" ... "LeakSanitizer has
#   encountered a fatal error", status 1, no leak reported). It struck one 2000-event monkey
#   run of five. Without the interception the blocks are still scanned as the heap memory
#   they are.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0
