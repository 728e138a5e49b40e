#!/bin/sh
# A second start brings the first instance forward and ends without a window.
# Runs the real program under Xvfb with openbox.
set -u
PROGRAM="$1"
WORK="$(mktemp -d)"
export XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
PIDS=""
cleanup() {
  for p in $PIDS; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A free display number.
N=150
while [ -e "/tmp/.X$N-lock" ] || [ -e "/tmp/.X11-unix/X$N" ]; do N=$((N + 1)); done
Xvfb ":$N" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
PIDS="$PIDS $!"
export DISPLAY=":$N"
i=0; until xdpyinfo >/dev/null 2>&1; do i=$((i+1)); [ $i -gt 100 ] && fail "Xvfb did not start"; sleep 0.1; done
openbox >/dev/null 2>&1 &
PIDS="$PIDS $!"

# Polls (at most ~15 s) until the condition holds.
wait_for() {
  i=0
  until eval "$1" >/dev/null 2>&1; do
    i=$((i+1)); [ $i -gt 150 ] && return 1; sleep 0.1
  done
}
# The window manager is up once it has announced itself on the root window.
wait_for "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || fail "openbox did not start"
visible_windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }

"$PROGRAM" >/dev/null 2>&1 &
FIRST=$!
PIDS="$PIDS $FIRST"
wait_for "[ \$(visible_windows $FIRST) -ge 1 ]" || fail "the first instance shows no window"
START_WIN=$(xdotool search --onlyvisible --pid "$FIRST" | head -1)
xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
xdotool key --clearmodifiers alt+t
wait_for "[ \"\$(xdotool getactivewindow)\" != \"$START_WIN\" ] && xdotool search --onlyvisible --pid $FIRST | grep -qv '^$START_WIN\$'" \
  || fail "Start Testing opened no exam window"
EXAM_WIN=$(xdotool getactivewindow)
xdotool search --onlyvisible --pid "$FIRST" | grep -q "^$EXAM_WIN\$" || fail "the active window is not the program's"

# Something else takes the focus.
xmessage -name other "another program" >/dev/null 2>&1 &
OTHER=$!
PIDS="$PIDS $OTHER"
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
"$(dirname "$PROGRAM")/quizlark-e2e-copy" >/dev/null 2>&1 &
COPY=$!
PIDS="$PIDS $COPY"
wait_for "[ \$(visible_windows $COPY) -ge 1 ]"; R=$?
kill -9 "$COPY" 2>/dev/null
rm -f "$(dirname "$PROGRAM")/quizlark-e2e-copy"
[ $R -eq 0 ] || fail "a copy under another name was blocked"
echo "ok: a copy under another name runs beside it"

# A killed instance leaves its lock behind; it must not block the next start.
kill -9 "$FIRST"
"$PROGRAM" >/dev/null 2>&1 &
THIRD=$!
PIDS="$PIDS $THIRD"
wait_for "[ \$(visible_windows $THIRD) -ge 1 ]" || fail "a stale lock blocked the next start"
echo "ok: a stale lock is taken over"
exit 0
