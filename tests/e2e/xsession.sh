# Sourced by the e2e scripts: a private X display with openbox, and the
# helpers to drive the real program on it. Sets DISPLAY, WORK (a temporary
# folder removed at exit) and the XDG folders; everything started through
# e2e_start is stopped at exit, Xvfb last and with SIGTERM so that it removes
# its own lock and socket.

# The program under test must reach the X display, whatever the caller set.
unset QT_QPA_PLATFORM

WORK="$(mktemp -d)"
export XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
E2E_PIDS=""
BUS_PIDS=""
XVFB_PID=""
WM_PID=""

fail() { echo "FAIL: $*"; exit 1; }

e2e_stop() {
  # The last started first; each is waited for so nothing outlives the run.
  for p in $E2E_PIDS; do kill "$p" 2>/dev/null; done
  for p in $E2E_PIDS; do wait "$p" 2>/dev/null; done
  for p in $BUS_PIDS; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  if [ -n "$WM_PID" ]; then kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null; fi
  if [ -n "$XVFB_PID" ]; then kill -TERM "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
  rm -rf "$WORK"
}
trap e2e_stop EXIT
trap 'exit 2' INT TERM

# Polls (at most ~15 s) until the shell condition holds.
wait_for() {
  _i=0
  until eval "$1" >/dev/null 2>&1; do
    _i=$((_i + 1)); [ $_i -gt 150 ] && return 1; sleep 0.1
  done
}

# Xvfb picks a free display itself and writes its number once it accepts
# connections.
e2e_start_display() {
  mkfifo "$WORK/displayfd"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/displayfd" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  read -r _n <"$WORK/displayfd" || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  [ -n "$_n" ] || fail "Xvfb gave no display"
  export DISPLAY=":$_n"
  wait_for "xdpyinfo" || fail "the display $DISPLAY does not answer"
}

# The window manager is up once it has announced itself on the root window.
# On a busy machine openbox can fail to open a display that has just
# answered; it is started again a few times before the run gives up.
e2e_start_wm() {
  for _try in 1 2 3 4 5; do
    openbox >"$WORK/openbox.log" 2>&1 &
    WM_PID=$!
    _i=0
    while [ $_i -lt 100 ]; do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        return 0
      fi
      kill -0 "$WM_PID" 2>/dev/null || break
      _i=$((_i + 1)); sleep 0.1
    done
    kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null; WM_PID=""
    sleep 0.2
  done
  fail "openbox did not start: $(cat "$WORK/openbox.log")"
}

# Starts a program in the background and stops it at exit; sets STARTED.
e2e_start() {
  "$@" >/dev/null 2>&1 &
  STARTED=$!
  E2E_PIDS="$STARTED $E2E_PIDS"
}

# A session bus with the accessibility bus on it, so that a11y_read.py can
# read what the programs started afterwards show. The arguments, if any, are
# a command prefix that runs both buses as another user (the reader must then
# run as that user too: each bus lets in only its owner).
A11Y_READ="$(cd "$(dirname "$0")" && pwd)/a11y_read.py"
a11y_session() {
  mkfifo "$WORK/busfd"
  "$@" dbus-daemon --session --nofork --print-address=3 3>"$WORK/busfd" >"$WORK/dbus.log" 2>&1 &
  BUS_PIDS="$! $BUS_PIDS"
  read -r DBUS_SESSION_BUS_ADDRESS <"$WORK/busfd" || fail "no session bus: $(cat "$WORK/dbus.log")"
  export DBUS_SESSION_BUS_ADDRESS
  # Started here rather than by the bus on demand, so that it is stopped at
  # exit with the rest.
  "$@" /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$WORK/atspi.log" 2>&1 &
  BUS_PIDS="$! $BUS_PIDS"
  _as="$*"
  wait_for "$_as dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q 'boolean true'" ||
    fail "the accessibility bus did not start: $(cat "$WORK/atspi.log")"
  # Qt exposes its widgets only when told to or when a screen reader runs.
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# Reads the screen of the program $APP (see a11y_read.py); as the user of
# the buses when READ_AS holds the prefix that a11y_session was given.
READ_AS=""
read_screen() { $READ_AS "$A11Y_READ" --pid "$APP" "$@"; }
# Presses keys on the active window, one at a time.
press() { xdotool key --clearmodifiers --delay 30 "$@"; }
# The focused control, "role<TAB>name".
# A reading that finds nothing (the bus slow to answer under load) is taken
# again, a few times, before it counts.
focused() {
  for _r in 1 2 3; do
    _f=$(read_screen focus 2>/dev/null) && [ -n "$_f" ] && { echo "$_f"; return 0; }
    sleep 0.2
  done
  return 1
}
# Presses Tab until the focused control ("role<TAB>name") matches, at most
# 40 times.
# On a loaded machine a key sent just after a window change can go nowhere:
# Tab is sent again (at most three times) while the focus has not moved.
# The window manager can also mark a window active before the keyboard is
# given to it; after three Tabs that went nowhere the active window is given
# the keyboard again, and three more are tried.
tab_to() {
  _n=0
  until focused | grep -Eq "$1"; do
    _n=$((_n + 1)); [ $_n -gt 40 ] && return 1
    _before=$(focused)
    _sent=0
    until [ "$(focused)" != "$_before" ]; do
      _sent=$((_sent + 1)); [ $_sent -gt 6 ] && return 1
      if [ $_sent -eq 4 ]; then
        _w=$(xdotool getactivewindow 2>/dev/null) && xdotool windowfocus --sync "$_w" 2>/dev/null
      fi
      press Tab
      _i=0
      while [ $_i -lt 50 ] && [ "$(focused)" = "$_before" ]; do
        _i=$((_i + 1)); sleep 0.1
      done
    done
  done
}

visible_windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }
is_visible() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | grep -q "^$2\$"; }
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# The active window, when it is a window of the program $APP other than $1.
active_other() {
  _w=$(xdotool getactivewindow 2>/dev/null) || return 1
  [ "$_w" != "$1" ] && is_visible "$APP" "$_w" && echo "$_w"
}

e2e_start_display
e2e_start_wm
