#!/bin/sh
# A second start brings the first instance forward and ends without a window.
# Runs the real program under Xvfb with openbox.
set -u
PROGRAM="$1"
. "$(dirname "$0")/xsession.sh"

e2e_start "$PROGRAM"
FIRST=$STARTED
wait_for "[ \$(visible_windows $FIRST) -ge 1 ]" || fail "the first instance shows no window"
START_WIN=$(xdotool search --onlyvisible --pid "$FIRST" | head -1)
xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
xdotool key --clearmodifiers alt+t
wait_for "[ \"\$(xdotool getactivewindow)\" != \"$START_WIN\" ] && xdotool search --onlyvisible --pid $FIRST | grep -qv '^$START_WIN\$'" \
  || fail "Start Testing opened no exam window"
EXAM_WIN=$(xdotool getactivewindow)
xdotool search --onlyvisible --pid "$FIRST" | grep -q "^$EXAM_WIN\$" || fail "the active window is not the program's"

# Something else takes the focus.
e2e_start xmessage -name other "another program"
wait_for "[ \"\$(xdotool getactivewindow)\" != \"$EXAM_WIN\" ]" || fail "the other window never became active"

second_start() {
  "$PROGRAM" >/dev/null 2>&1 &
  SECOND=$!
  i=0
  while kill -0 "$SECOND" 2>/dev/null; do
    [ "$(visible_windows "$SECOND")" -eq 0 ] || fail "the second instance showed a window"
    i=$((i+1)); [ $i -gt 150 ] && fail "the second instance did not end"; sleep 0.1
  done
  wait "$SECOND"; RC=$?
  [ "$RC" -eq 0 ] || fail "the second instance ended with $RC"
}

second_start
wait_for "[ \"\$(xdotool getactivewindow)\" = \"$EXAM_WIN\" ]" \
  || fail "the exam window did not come forward (active: $(xdotool getactivewindow))"
echo "ok: a second start brings the modal exam window forward"

xdotool windowminimize --sync "$EXAM_WIN" 2>/dev/null
wait_for "[ \"\$(xdotool getactivewindow 2>/dev/null)\" != \"$EXAM_WIN\" ]"
second_start
wait_for "xdotool search --onlyvisible --pid $FIRST | grep -q '^$EXAM_WIN\$' && [ \"\$(xdotool getactivewindow)\" = \"$EXAM_WIN\" ]" \
  || fail "the minimised exam window was not restored"
echo "ok: a minimised instance is restored"

# A copy under another file name is another program.
cp "$PROGRAM" "$(dirname "$PROGRAM")/quizlark-e2e-copy"
e2e_start "$(dirname "$PROGRAM")/quizlark-e2e-copy"
COPY=$STARTED
wait_for "[ \$(visible_windows $COPY) -ge 1 ]"; R=$?
kill -9 "$COPY" 2>/dev/null
rm -f "$(dirname "$PROGRAM")/quizlark-e2e-copy"
[ $R -eq 0 ] || fail "a copy under another name was blocked"
echo "ok: a copy under another name runs beside it"

# A killed instance leaves its lock behind; it must not block the next start.
kill -9 "$FIRST"
e2e_start "$PROGRAM"
THIRD=$STARTED
wait_for "[ \$(visible_windows $THIRD) -ge 1 ]" || fail "a stale lock blocked the next start"
echo "ok: a stale lock is taken over"
exit 0
