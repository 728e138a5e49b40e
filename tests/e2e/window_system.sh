#!/bin/sh
# The window system around the modal runs: minimising the exam window never
# ends its run, Escape never closes the start window, a dialog shown again
# comes back where it was. Runs the real program under Xvfb with openbox.
set -u
PROGRAM="$1"
. "$(dirname "$0")/xsession.sh"

geometry() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*,[0-9]*\).*/\1/p'; }
# A window of the program other than the given ones, active and visible.
new_active() {
  _w=$(xdotool getactivewindow 2>/dev/null) || return 1
  for _old in "$@"; do [ "$_w" = "$_old" ] && return 1; done
  is_visible "$APP" "$_w" || return 1
  echo "$_w"
}
# A visible window of the program other than the given ones (a menu, which
# never becomes the active window).
new_visible() {
  for _w in $(xdotool search --onlyvisible --pid "$APP" 2>/dev/null); do
    _new=1
    for _old in "$@"; do [ "$_w" = "$_old" ] && _new=0; done
    [ $_new -eq 1 ] && { echo "$_w"; return 0; }
  done
  return 1
}

e2e_start "$PROGRAM"
APP=$STARTED
wait_for "[ \$(visible_windows $APP) -ge 1 ]" || fail "the program shows no window"
START_WIN=$(xdotool search --onlyvisible --pid "$APP" | head -1)
xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
wait_for "active_is $START_WIN" || fail "the start window never became active"

# Escape on the start window leaves it open; the program goes on.
xdotool key --clearmodifiers Escape
xdotool key --clearmodifiers alt+t
wait_for "new_active $START_WIN" || fail "Start Testing after Escape opened no exam window"
EXAM_WIN=$(new_active "$START_WIN")
kill -0 "$APP" || fail "Escape on the start window ended the program"
echo "ok: Escape leaves the start window open"

# Minimise the exam window, then bring it back.
xdotool windowminimize --sync "$EXAM_WIN" 2>/dev/null
wait_for "! is_visible $APP $EXAM_WIN" || fail "the exam window did not minimise"
xdotool windowactivate --sync "$EXAM_WIN" >/dev/null 2>&1
wait_for "is_visible $APP $EXAM_WIN && active_is $EXAM_WIN" || fail "the exam window did not come back"
# The exam window takes input again: its File menu opens. By then the
# program has handled the minimising too.
xdotool key --clearmodifiers alt+f
wait_for "new_visible $START_WIN $EXAM_WIN" || fail "the restored exam window takes no input"
MENU=$(new_visible "$START_WIN" "$EXAM_WIN")
is_visible "$APP" "$START_WIN" && fail "minimising the exam window ended its modal run"
echo "ok: minimising the exam window keeps it modal, restoring brings it back"

# Options shown twice comes back where it was.
xdotool key --clearmodifiers o
wait_for "new_active $START_WIN $EXAM_WIN $MENU" || fail "Options did not open"
OPTIONS=$(new_active "$START_WIN" "$EXAM_WIN" "$MENU")
FIRST_PLACE=$(geometry "$OPTIONS")
xdotool key --clearmodifiers Escape
wait_for "! is_visible $APP $OPTIONS" || fail "Escape did not close Options"
wait_for "active_is $EXAM_WIN" || fail "the exam window did not come back after Options"
xdotool key --clearmodifiers alt+f
wait_for "new_visible $START_WIN $EXAM_WIN $OPTIONS" || fail "the File menu did not open again"
xdotool key --clearmodifiers o
wait_for "new_active $START_WIN $EXAM_WIN" || fail "Options did not open again"
OPTIONS=$(new_active "$START_WIN" "$EXAM_WIN")
SECOND_PLACE=$(geometry "$OPTIONS")
[ "$FIRST_PLACE" = "$SECOND_PLACE" ] || fail "Options came back at $SECOND_PLACE, not $FIRST_PLACE"
xdotool key --clearmodifiers Escape
wait_for "active_is $EXAM_WIN" || fail "the exam window did not come back after Options"
echo "ok: Options shown again comes back where it was"

# File > Exit closes the exam window; the start window takes input again and
# its Exit ends the program.
xdotool key --clearmodifiers alt+f
wait_for "new_visible $START_WIN $EXAM_WIN $OPTIONS" || fail "the File menu did not open"
xdotool key --clearmodifiers x
wait_for "is_visible $APP $START_WIN && active_is $START_WIN && ! is_visible $APP $EXAM_WIN" \
  || fail "the start window did not come back"
xdotool key --clearmodifiers alt+x
wait_for "! kill -0 $APP" || fail "Exit on the start window did not end the program"
wait "$APP"; RC=$?
[ "$RC" -eq 0 ] || fail "the program ended with $RC"
echo "ok: the start window takes input after the exam window and Exit ends the program"
exit 0
