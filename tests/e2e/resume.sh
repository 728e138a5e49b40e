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

# Starts the program and opens the exam window with Start Testing.
start_exam_window() {
  e2e_start "$BIN"
  APP=$STARTED
  wait_for "[ \$(visible_windows $APP) -ge 1 ]" || fail "the program shows no window"
  _win=$(xdotool search --onlyvisible --pid "$APP" | head -1)
  xdotool windowactivate --sync "$_win" >/dev/null 2>&1
  wait_for "active_is $_win" || fail "the start window never became active"
  read_screen wait '^Start Testing$' >/dev/null || fail "the start window is not readable"
  xdotool key --clearmodifiers alt+t
}
see() { read_screen wait "$@" >/dev/null || fail "not on screen: $*"; }
# The choices and boxes that are checked, on one line.
checked() { read_screen --with checked find '^(Choice [a-f]|Mark this item)$' | sort | tr '\n' ' '; }
expect_checked() {
  _i=0
  until [ "$(checked)" = "$1" ]; do
    _i=$((_i + 1)); [ $_i -gt 50 ] && fail "checked: \"$(checked)\", expected \"$1\" ($2)"
    sleep 0.1
  done
}
# Milliseconds on the wall clock, for the exam time the script lets pass.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
start_exam_window
see '^Practice Exam A$'
xdotool key --clearmodifiers alt+a
see 'Your Name'
xdotool type --delay 20 "Pat Candidate"
xdotool key --clearmodifiers Return
see '^Item 1 of [0-9]+$'
T0=$(now_ms)
ITEMS=$(read_screen find '^Item 1 of [0-9]+$' | sed 's/.* of //')
[ "$ITEMS" -ge 4 ] || fail "Practice Exam A has $ITEMS items, the run needs 4"
echo "ok: Practice Exam A started, $ITEMS items"

# Item 1: b. Item 2: c, marked. Item 3: a. Then on to item 4.
xdotool key --clearmodifiers alt+b
expect_checked "Choice b " "item 1"
xdotool key --clearmodifiers Next
see '^Item 2 of '
xdotool key --clearmodifiers c
expect_checked "Choice c " "item 2"
xdotool key --clearmodifiers alt+m
expect_checked "Choice c Mark this item " "item 2 marked"
xdotool key --clearmodifiers Next
see '^Item 3 of '
xdotool key --clearmodifiers alt+a
expect_checked "Choice a " "item 3"
# The exam runs 6 s before the move, so that the time used shows in the
# offer: the move writes it.
wait_for "[ \$(( \$(now_ms) - $T0 )) -ge 6000 ]"
T_MOVE=$(now_ms)
xdotool key --clearmodifiers Next
see '^Item 4 of '
expect_checked "" "item 4"
T_KILL=$(now_ms)
echo "ok: three items answered, item 2 marked, on item 4"

kill -9 "$APP"
wait "$APP" 2>/dev/null
echo "ok: killed with SIGKILL"

start_exam_window
see 'resume the interrupted exam "Practice Exam A"'
OFFER=$(read_screen find "Item 4 of $ITEMS, [0-9:]+ left, answered 3\\.") ||
  fail "the offer does not name item 4 and three answers"
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
echo "ok: offered item 4 of $ITEMS, answered 3, $LEFT s left"
xdotool key --clearmodifiers alt+y
see "^Item 4 of $ITEMS\$"
see '^Practice Exam A$'
see "^Time left: $(( (LEFT + 59) / 60 )) minutes\$"
echo "ok: resumed on item 4, the countdown goes on from there"
expect_checked "" "item 4 after resuming"
xdotool key --clearmodifiers Prior
see '^Item 3 of '
expect_checked "Choice a " "item 3 after resuming"
xdotool key --clearmodifiers Prior
see '^Item 2 of '
expect_checked "Choice c Mark this item " "item 2 after resuming"
xdotool key --clearmodifiers Prior
see '^Item 1 of '
expect_checked "Choice b " "item 1 after resuming"
echo "ok: the answers and the mark are back"
exit 0
