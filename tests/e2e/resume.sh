#!/bin/sh
# An exam survives kill -9: a practice exam is answered with the keyboard,
# one item marked and the exam moved on; the program is killed with SIGKILL
# and started again; the offer to resume is accepted, and the answers, the
# mark, the current item and the time left are back. The screen is read
# over the accessibility bus. Runs the real program under Xvfb with openbox.
set -u
PROGRAM="$1"
. "$(dirname "$0")/xsession.sh"
a11y_session

# A copy of the program with its bank: the data stays in this run's folder.
PROG_DIR="$WORK/program"
mkdir -p "$PROG_DIR"
OUT_DIR="$(dirname "$PROGRAM")"
cp "$PROGRAM" "$OUT_DIR/tcpip.DAT" "$OUT_DIR/tcpipusr.DAT" "$PROG_DIR/" || fail "cannot copy the program"
[ -d "$OUT_DIR/pictures" ] && cp -r "$OUT_DIR/pictures" "$PROG_DIR/"
BIN="$PROG_DIR/$(basename "$PROGRAM")"

# Starts the program and opens the exam window with Start Testing, until $1
# is on screen.
start_exam_window() {
  e2e_start "$BIN"
  APP=$STARTED
  wait_for "[ \$(visible_windows $APP) -ge 1 ]" || fail "the program shows no window"
  _win=$(xdotool search --onlyvisible --pid "$APP" | head -1)
  xdotool windowactivate --sync "$_win" >/dev/null 2>&1
  wait_for "active_is $_win" || fail "the start window never became active"
  read_screen wait '^Start Testing$' >/dev/null || fail "the start window is not readable"
  press_until alt+t "$1" '^Start Testing$'
}
see() { read_screen wait "$@" >/dev/null || fail "not on screen: $*"; }
# Presses a key until $2 is on screen; it is pressed again only while $3,
# the screen before it, is still there (see press_until_checked).
press_until() {
  for _try in 1 2 3; do
    xdotool key --clearmodifiers "$1"
    read_screen --timeout 3 wait "$2" >/dev/null && return 0
    read_screen find "$3" >/dev/null || break
  done
  see "$2"
}
# The choices and boxes that are checked, on one line.
checked() { read_screen --with checked find '^(Choice [a-f]|Mark this item)$' | sort | tr '\n' ' '; }
# Presses a key that checks something on the item and waits until the
# checked choices and mark are $2. On a loaded machine a key sent while the
# window manager moves the focus can go nowhere: the key is sent again only
# while nothing at all has changed, so a toggle is never undone.
press_until_checked() {
  _before=$(checked)
  for _try in 1 2 3; do
    xdotool key --clearmodifiers "$1"
    _i=0
    while [ $_i -lt 10 ]; do
      _now=$(checked)
      [ "$_now" = "$2" ] && return 0
      [ "$_now" != "$_before" ] && break 2
      _i=$((_i + 1)); sleep 0.1
    done
  done
  expect_checked "$2" "$3"
}
expect_checked() {
  _i=0
  until [ "$(checked)" = "$1" ]; do
    _i=$((_i + 1))
    [ $_i -gt 50 ] && fail "checked: \"$(checked)\", expected \"$1\" ($2); focus: $(focused); active: $(xdotool getactivewindow getwindowname 2>&1)"
    sleep 0.1
  done
}
# Milliseconds on the wall clock, for the exam time the script lets pass.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
start_exam_window '^Practice Exam A$'
press_until alt+a 'Your Name' '^Practice Exam A$'
xdotool type --delay 20 "Pat Candidate"
press_until Return '^Item 1 of [0-9]+$' '^Begin Practice Exam A$'
T0=$(now_ms)
wait_for "active_is \$(xdotool search --onlyvisible --pid $APP --name '^Quizlark TCP/IP 4.0\$' | head -1)" ||
  fail "the exam window is not active after the name dialog"
ITEMS=$(read_screen find '^Item 1 of [0-9]+$' | sed 's/.* of //')
[ "$ITEMS" -ge 4 ] || fail "Practice Exam A has $ITEMS items, the run needs 4"
echo "ok: Practice Exam A started, $ITEMS items"

# Three items answered, the second marked, then on to the next item.
# Simulation items show no choices and are passed over.
CUR=1
next_item() {
  press_until Next "^Item $((CUR + 1)) of " "^Item $CUR of "
  CUR=$((CUR + 1))
}
to_item_with_choices() {
  until read_screen find '^Choice a$' >/dev/null; do next_item; done
}
to_item_with_choices
I1=$CUR
press_until_checked alt+a "Choice a " "item $I1"
next_item
to_item_with_choices
I2=$CUR
C2=a
read_screen find '^Choice b$' >/dev/null && C2=b
press_until_checked "alt+$C2" "Choice $C2 " "item $I2"
press_until_checked alt+m "Choice $C2 Mark this item " "item $I2 marked"
next_item
to_item_with_choices
I3=$CUR
press_until_checked alt+a "Choice a " "item $I3"
# The exam runs 6 s before the move, so that the time used shows in the
# offer: the move writes it.
wait_for "[ \$(( \$(now_ms) - $T0 )) -ge 6000 ]"
T_MOVE=$(now_ms)
next_item
I4=$CUR
expect_checked "" "item $I4"
T_KILL=$(now_ms)
echo "ok: items $I1, $I2 and $I3 answered, $I2 marked, on item $I4"

kill -9 "$APP"
wait "$APP" 2>/dev/null
echo "ok: killed with SIGKILL"

start_exam_window 'resume the interrupted exam "Practice Exam A"'
OFFER=$(read_screen find "Item $I4 of $ITEMS, [0-9:]+ left, answered 3\\.") ||
  fail "the offer does not name item $I4 and three answers"
LEFT=$(echo "$OFFER" | sed -n 's/.*, \([0-9]*\):\([0-9]*\):\([0-9]*\) left.*/\1 \2 \3/p' |
  awk '{ print $1 * 3600 + $2 * 60 + $3 }')
# Used: at least the time up to the last move, at most the time up to the
# kill; the time the program was down does not count. The exam's clock
# started before the script saw item 1, by as long as a reading of the
# screen takes on a busy machine.
MOST=$((5400 - (T_MOVE - T0) / 1000 + 1))
LEAST=$((5400 - (T_KILL - T0) / 1000 - 6))
[ -n "$LEFT" ] && [ "$LEFT" -le "$MOST" ] && [ "$LEFT" -ge "$LEAST" ] ||
  fail "the offer says ${LEFT:-?} s left, expected $LEAST..$MOST: $OFFER"
echo "ok: offered item $I4 of $ITEMS, answered 3, $LEFT s left"
press_until alt+y "^Item $I4 of $ITEMS\$" 'resume the interrupted exam'
see '^Practice Exam A$'
see "^Time left: $(( (LEFT + 59) / 60 )) minutes\$"
echo "ok: resumed on item $I4, the countdown goes on from there"
# Back to item 1, each item as it was left.
while :; do
  case $CUR in
    "$I1" | "$I3") WANT="Choice a " ;;
    "$I2") WANT="Choice $C2 Mark this item " ;;
    *) WANT="" ;;
  esac
  expect_checked "$WANT" "item $CUR after resuming"
  [ "$CUR" -eq 1 ] && break
  press_until Prior "^Item $((CUR - 1)) of " "^Item $CUR of "
  CUR=$((CUR - 1))
done
echo "ok: the answers and the mark are back"
exit 0
