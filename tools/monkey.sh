#!/usr/bin/env bash
# Random clicks, drags, wheel turns and keys on the program, as a user in a hurry would give them.
#   Usage: tools/monkey.sh EVENTS SEED
# Starts the sanitized build (build/test/app/korvex, or $KORVEX_MONKEY_BUILD/app/korvex; built
# if missing) on an Xvfb of its own and sends EVENTS events with xdotool, drawn from SEED: on the
# controls of the main window (buttons, check boxes, fields, combo boxes, the track bar, the
# charts), anywhere in the window, and in any dialog, message box or list that opens. Some events
# start an animation and at once press PgDn, PgUp, pick a slide or click another command.
# After every event the window must answer (_NET_WM_PING, tools/korvex_ping.cpp) within 10 s.
# Fails on a crash, a sanitizer report, a hang, or a peak resident memory above
# $KORVEX_MONKEY_MAX_RSS_MB (see below). Prints the events survived, the peak memory and the
# slowest answer; the events sent (with every answer that took 2 s or more) and the program's
# error output are kept in <build>/monkey/seed-SEED.{events,log}.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: tools/monkey.sh EVENTS SEED" >&2; exit 2; }
events=$1
seed=$2
build=${KORVEX_MONKEY_BUILD:-$root/build/test}
mkdir -p "$build" && build=$(cd "$build" && pwd)
# Peak resident memory of the sanitized build (VmHWM): 311 and 314 MB over 60 and 500 events
# (seeds 1 and 2), 631 MB over 500 events on seed 1 where OpenGL (Mesa's software renderer) and
# heavy drawings came together. The bound, about 2.4 times the highest, leaves room for heavier
# drawings, not for a leak or a runaway.
max_rss_mb=${KORVEX_MONKEY_MAX_RSS_MB:-1536}
hang_s=${KORVEX_MONKEY_HANG_S:-10}

program="$build/app/korvex"
if [ ! -x "$program" ] || [ ! -x "$build/tools/korvex-layout" ] || [ ! -x "$build/tools/korvex-ping" ] ||
   [ ! -x "$build/tools/korvex-close" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKORVEX_SANITIZE=ON >/dev/null
  cmake --build "$build" -j2 --target korvex korvex-layout korvex-ping korvex-close
fi
work=$(mktemp -d)
log="$work/stderr.log"

# An Xvfb of our own: the clicks go to whatever window lies under the pointer, so no other
# program may share the screen.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true  # gone already when the whole group was interrupted
  mkdir -p "$build/monkey"
  cp "$work/events" "$build/monkey/seed-$seed.events" 2>/dev/null || true
  cp "$log" "$build/monkey/seed-$seed.log" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 143" TERM INT HUP
for _ in $(seq 100); do if [ -s "$work/display" ]; then break; fi; sleep 0.1; done
[ -s "$work/display" ] || { echo "monkey: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
# Leaks are reported when the program ends: at the end of the run the monkey closes it as a user
# does, and a leak report fails the run like any other sanitizer report.
source "$root/tools/sanitizers.sh"

# The layout helper is no part of the program; its leaks are not looked for.
ASAN_OPTIONS=detect_leaks=0 "$build/tools/korvex-layout" >"$work/layout" 2>>"$log"
mapfile -t controls <"$work/layout"
[ ${#controls[@]} -gt 10 ] || { echo "monkey: no layout of the main window" >&2; cat "$log" >&2; exit 1; }
control_named() {  # name: the layout line of that control
  local c rest
  for c in "${controls[@]}"; do
    rest=${c#* }  # the name is the second word; no subprocess per control
    if [ "${rest%% *}" = "$1" ]; then echo "$c"; return 0; fi
  done
  return 0
}

survived=0
peak_kb=0
slowest_ms=0
slowest_event=0
fail() {
  echo "monkey: FAILED after $survived of $events events (seed $seed): $1" >&2
  tail -n 60 "$log" >&2
  echo "monkey: last events:" >&2
  tail -n 15 "$work/events" >&2
  exit 1
}
# Where a program that does not answer is: the stacks of its threads, kept in the log.
stacks() {
  if command -v gdb >/dev/null; then
    echo "monkey: stacks of the program while it did not answer:" >>"$log"
    timeout 120 gdb -p "$1" -batch -ex "thread apply all bt 40" >>"$log" 2>&1 </dev/null || true
  fi
}
sanitizer_report() { grep -qE 'ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer' "$log"; }
# Every report ends the program (UBSan halts on error, ASan after a fault), but only once its
# stack is written: the program is given a minute to end before the run fails, or the log would
# keep the report's first line without its stack.
sanitizer_fail() {
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  fail "sanitizer report"
}

start_program() {
  (cd "$build/app" && exec "$program") 2>>"$log" &
  pid=$!
  main=""
  for _ in $(seq 600); do
    find_main
    if [ -n "$main" ]; then break; fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended while starting"
    sleep 0.1
  done
  [ -n "$main" ] || fail "no main window after 60 s"
  "$build/tools/korvex-ping" "$main" 60 || fail "the main window does not answer after start"
  # The first drawing goes on after the window shows; the events start once it is done.
  for _ in $(seq 30); do
    if "$build/tools/korvex-ping" "$main" 2; then break; fi
  done
}

# The main window is the largest window of the program; it is looked up again before every
# check, since the program replaces it when OpenGL is switched on.
find_main() {
  local w wx wy ww wh area=0
  main=""
  for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
    read -r wx wy ww wh < <(geometry "$w")
    if [ -n "${wh:-}" ] && [ $((ww * wh)) -gt "$area" ]; then area=$((ww * wh)); main=$w; fi
  done
  return 0
}
# True when the program answers within hang_s; a window replaced meanwhile is asked again.
answers() {
  local before status
  for _ in 1 2 3; do
    find_main
    if [ -z "$main" ]; then sleep 0.5; continue; fi
    before=$main
    status=0
    "$build/tools/korvex-ping" "$main" "$hang_s" || status=$?
    if [ "$status" -eq 0 ]; then return 0; fi
    find_main
    if [ "$status" -eq 1 ] && [ "$main" = "$before" ]; then return 1; fi
  done
  return 1
}

# pick VAR N: a number from 0 to N-1 into VAR. Never inside $(...): bash seeds RANDOM anew in
# every subshell, and the run would no longer follow from its seed.
RANDOM=$seed
pick() { printf -v "$1" %d $((RANDOM % $2)); }
keys=(Page_Down Page_Up space Return Escape Tab ISO_Left_Tab BackSpace Delete Up Down Left Right
      Home End minus period comma 0 1 2 5 9 e x ctrl+a ctrl+c ctrl+v ctrl+z shift+Tab F1
      ctrl+shift+c alt+d)
texts=(0 00 -0 1 -1 2 10 1e6 -2147483648 2147483648 99999999999 1.54 1,54 0.0001 1e-300 1e308
       nan inf abc "" " " "1 5" 20,1,2,3 -30 30 100 0.5 Si GaAs In5Ga5As Xx9 "In0Ga0As" 45 90 360)
anim_buttons=(ButtonMove ButtonRotK ButtonRotRec ButtonK0KhTor ButtonPSD ButtonAzCone)

# Geometry of a window: "x y width height".
geometry() {
  xdotool getwindowgeometry --shell "$1" 2>/dev/null |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}'
}
click_control() {  # layout line, button
  local kind name cx cy cw ch wx wy ww wh dx dy
  read -r kind name cx cy cw ch <<<"$1"
  pick dx $((cw > 4 ? cw - 4 : 1))
  pick dy $((ch > 4 ? ch - 4 : 1))
  read -r wx wy ww wh < <(geometry "$main")
  [ -n "${wx:-}" ] || return 0
  xdotool mousemove $((wx + cx + 2 + dx)) $((wy + cy + 2 + dy)) click "$2"
  echo "$kind $name" >>"$work/events"
}
in_window() {  # window: mousemove to a random point of it; false if it is gone
  local wx wy ww wh dx dy
  read -r wx wy ww wh < <(geometry "$1")
  [ -n "${wx:-}" ] && [ "${ww:-0}" -gt 2 ] && [ "${wh:-0}" -gt 2 ] || return 1
  pick dx $((ww - 2))
  pick dy $((wh - 2))
  xdotool mousemove $((wx + 1 + dx)) $((wy + 1 + dy))
}

one_event() {
  local windows others r n
  mapfile -t windows < <(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true)
  others=()
  for w in "${windows[@]}"; do if [ "$w" != "$main" ]; then others+=("$w"); fi; done
  pick r 100
  if [ ${#others[@]} -gt 0 ] && [ "$r" -lt 60 ]; then
    # A dialog, message box or open list: clicks and keys inside it.
    pick n ${#others[@]}
    in_window "${others[$n]}" || return 0
    pick r 4
    case $r in
      0|1) xdotool click 1; echo "dialog click" >>"$work/events" ;;
      2) pick n ${#keys[@]}; xdotool key --clearmodifiers "${keys[$n]}"; echo "dialog key" >>"$work/events" ;;
      3) xdotool key Escape; echo "dialog Escape" >>"$work/events" ;;
    esac
    return 0
  fi
  pick n ${#controls[@]}  # the control, for the events that click one
  pick r 20
  case $r in
    0|1|2|3|4|5|6|7) click_control "${controls[$n]}" 1 ;;
    8) click_control "${controls[$n]}" 3 ;;
    9|10)  # a field: a value typed over its text, sometimes confirmed
      local fields=() c
      for c in "${controls[@]}"; do if [ "${c%% *}" = field ]; then fields+=("$c"); fi; done
      pick n ${#fields[@]}
      click_control "${fields[$n]}" 1
      pick n ${#texts[@]}
      xdotool key ctrl+a
      xdotool type -- "${texts[$n]}"
      echo "  typed '${texts[$n]}'" >>"$work/events"
      pick r 2
      if [ "$r" -eq 0 ]; then xdotool key Return; echo "  Return" >>"$work/events"; fi
      ;;
    11|12)  # drag across a chart or anywhere
      in_window "$main" || return 0
      xdotool mousedown 1
      local dx dy
      for _ in 1 2 3; do
        pick dx 200
        pick dy 200
        xdotool mousemove_relative -- $((dx - 100)) $((dy - 100))
      done
      xdotool mouseup 1
      echo "drag" >>"$work/events"
      ;;
    13)  # wheel turns
      in_window "$main" || return 0
      pick n 5
      pick r 2
      xdotool click --repeat $((1 + n)) $((4 + r))
      echo "wheel" >>"$work/events"
      ;;
    14|15) pick n ${#keys[@]}; xdotool key --clearmodifiers "${keys[$n]}"; echo "key" >>"$work/events" ;;
    16) if in_window "$main"; then xdotool click --repeat 2 1; fi; echo "double click" >>"$work/events" ;;
    17|18|19)  # an animation, and at once a slide key, a slide picked or another command
      pick r ${#anim_buttons[@]}
      click_control "$(control_named "${anim_buttons[$r]}")" 1
      pick r 4
      case $r in
        0) xdotool key Page_Down; echo "  PgDn" >>"$work/events" ;;
        1) xdotool key Page_Up; echo "  PgUp" >>"$work/events" ;;
        2) local steps
           steps=$(control_named ComboBoxSteps)
           if [ -n "$steps" ]; then
             click_control "$steps" 1
             xdotool key Down Down Return
           fi ;;
        3) click_control "${controls[$n]}" 1 ;;
      esac
      ;;
  esac
}

: >"$work/events"
start_program
for ((i = 1; i <= events; i++)); do
  one_event
  if ! kill -0 "$pid" 2>/dev/null; then
    status=0
    wait "$pid" || status=$?
    pid=""
    if sanitizer_report; then fail "sanitizer report"; fi
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    echo "monkey: the program was closed by event $i; started again" >&2
    start_program
    continue
  fi
  asked=${EPOCHREALTIME//[.,]/}
  if ! answers; then
    kill -0 "$pid" 2>/dev/null || continue  # ended meanwhile: seen above next time
    if sanitizer_report; then sanitizer_fail; fi  # still writing its report
    stacks "$pid"
    fail "no answer for $hang_s s"
  fi
  # The time to the answer is the time the program took over the event: the slow ones are
  # marked in the events log, and the slowest is reported with the result.
  answer_ms=$(((${EPOCHREALTIME//[.,]/} - asked) / 1000))
  if [ "$answer_ms" -ge 2000 ]; then
    printf '  answered after %d.%d s\n' $((answer_ms / 1000)) $((answer_ms % 1000 / 100)) >>"$work/events"
  fi
  if [ "$answer_ms" -gt "$slowest_ms" ]; then slowest_ms=$answer_ms; slowest_event=$i; fi
  if sanitizer_report; then sanitizer_fail; fi
  rss=$(awk '/^VmHWM:/{print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
  if [ "${rss:-0}" -gt "$peak_kb" ]; then peak_kb=$rss; fi
  [ "$peak_kb" -le $((max_rss_mb * 1024)) ] || fail "peak resident memory $((peak_kb / 1024)) MB above $max_rss_mb MB"
  survived=$i
done
# The end, as a user ends the program: every window asked to close (dialogs and lists first,
# since a window under a modal dialog ignores the request), until the program has ended. It then
# runs its exit path, where LeakSanitizer looks for memory that nothing owns any more.
close_program() {
  local w
  for _ in $(seq 120); do
    kill -0 "$pid" 2>/dev/null || return 0
    find_main
    # Hidden windows too: a dialog that never got shown can still hold the program modal.
    for w in $(xdotool search --pid "$pid" 2>/dev/null || true); do
      if [ "$w" != "$main" ]; then "$build/tools/korvex-close" "$w" || true; fi
    done
    if [ -n "$main" ]; then "$build/tools/korvex-close" "$main" || true; fi
    sleep 0.5
  done
  kill -0 "$pid" 2>/dev/null && return 1
  return 0
}
close_program || fail "the program did not end within 60 s of being asked to close"
status=0
wait "$pid" || status=$?
pid=""
if sanitizer_report; then fail "sanitizer report at the end"; fi
[ "$status" -eq 0 ] || fail "the program ended with status $status after being asked to close"
echo "monkey: $survived of $events events survived (seed $seed); peak resident memory $((peak_kb / 1024)) MB (bound $max_rss_mb MB); slowest answer $((slowest_ms / 1000)).$((slowest_ms % 1000 / 100)) s, after event $slowest_event"
