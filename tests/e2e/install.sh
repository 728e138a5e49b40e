#!/bin/sh
# The installed program: installed into a temporary prefix whose folder is
# then read-only, started under Xvfb as a user with a fresh home, it keeps
# the user's tables in the user's data folder, readable by the user only,
# and takes a newer installed bank. A note is written through the note
# window of a short exam taken by keyboard, and read back through it after a
# restart and after the newer bank. The superuser writes anywhere, so as
# root the program runs as nobody (and so do its buses and the screen
# reader, which a bus lets in only if they are its owner's).
set -u
BUILD="$1"
BANKC="$2"
SOURCE="$3"
NOTE_TOOL="$4"
. "$(dirname "$0")/xsession.sh"

PREFIX="$WORK/prefix"
HOMEDIR="$WORK/home"
chmod 755 "$WORK"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "install: $(cat "$WORK/install.log")"
LIB="$PREFIX/lib/quizlark"
[ -d "$LIB" ] || LIB=$(dirname "$(readlink -f "$PREFIX/bin/quizlark")")
desktop-file-validate "$PREFIX"/share/applications/*.desktop || fail "the .desktop file is not valid"
appstreamcli validate --no-net "$PREFIX"/share/metainfo/*.metainfo.xml >"$WORK/as.log" 2>&1 ||
  fail "the metainfo is not valid: $(cat "$WORK/as.log")"
echo "ok: the installed .desktop file and metainfo are valid"

mkdir -p "$HOMEDIR/run"
chmod 700 "$HOMEDIR/run"
AS_USER=""
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody "$HOMEDIR"
  AS_USER="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
export XDG_RUNTIME_DIR="$HOMEDIR/run"
# shellcheck disable=SC2086
a11y_session $AS_USER
READ_AS=$AS_USER
chmod -R a-w "$LIB"
DATA="$HOMEDIR/.local/share/quizlark"
run_installed() {
  e2e_start $AS_USER env -u XDG_DATA_HOME HOME="$HOMEDIR" XDG_CONFIG_HOME="$HOMEDIR/.config" \
    "$PREFIX/bin/quizlark"
  APP=$STARTED
  wait_for "[ \$(xdotool search --onlyvisible --name 'Quizlark TCP/IP 4.0' 2>/dev/null | wc -l) -ge 1 ]" ||
    fail "the installed program shows no window"
}
stop_installed() {
  kill "$APP" 2>/dev/null
  wait "$APP" 2>/dev/null
}
mode() { stat -c %a "$1"; }

run_installed
[ -f "$DATA/tcpip.DAT" ] || fail "the bank was not copied to the user's data folder"
[ -f "$DATA/tcpipusr.DAT" ] || fail "no user set in the user's data folder"
[ -f "$DATA/pictures/$(ls "$LIB/pictures" | head -1)" ] || fail "the pictures were not copied"
[ "$(mode "$DATA/tcpip.DAT")" = 600 ] || fail "the bank copy has mode $(mode "$DATA/tcpip.DAT")"
[ "$(mode "$DATA/tcpipusr.DAT")" = 600 ] || fail "the user set has mode $(mode "$DATA/tcpipusr.DAT")"
cmp -s "$DATA/tcpip.DAT" "$LIB/tcpip.DAT" || fail "the copy differs from the installed bank"
echo "ok: a first start copies the bank and makes a user set, 0600, in the user's data folder"

# Practice exam A by keyboard: Start Testing opens the exam window in place
# of the start window; the program's folder is never written.
start_exam() {
  START_WIN=$(xdotool search --onlyvisible --name 'Quizlark TCP/IP 4.0' | head -1)
  xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
  wait_for "active_is $START_WIN" || fail "the start window never became active"
  read_screen --timeout 30 wait '^Start Testing$' >/dev/null || fail "the screen reader sees nothing"
  press alt+t
  wait_for "! is_visible $APP $START_WIN && active_other $START_WIN" ||
    fail "Start Testing opened no exam window"
  EXAM_WIN=$(active_other "$START_WIN")
  # The exam the last run was stopped in is offered for resuming; No drops it.
  if [ "${1:-}" = offered ]; then
    read_screen --timeout 30 wait 'resume the interrupted exam "Practice Exam A"' >/dev/null ||
      fail "the exam left running was not offered"
    # The offer may come up before the exam window is seen to be active, so
    # No is pressed until the offer is gone (again only while it stays).
    for _try in 1 2 3 4 5; do
      press alt+n
      wait_for "! read_screen find 'resume the interrupted exam'" && break
    done
    read_screen find 'resume the interrupted exam' >/dev/null && fail "the offer stayed"
    wait_for "active_other $START_WIN" || fail "the exam window did not come back after the offer"
    EXAM_WIN=$(active_other "$START_WIN")
  fi
  press alt+m
  read_screen wait '^Practice Exam A$' >/dev/null || fail "the Exams menu did not open"
  press a
  read_screen wait '^Your Name$' >/dev/null || fail "no name dialog"
  press Return
  read_screen wait '^Item 1 of [0-9]+$' >/dev/null || fail "the exam did not start"
  wait_for "active_is $EXAM_WIN" ||
    fail "the exam window did not take the focus: $(read_screen dump 2>&1 | head -30)"
}
shown_id() { read_screen --role label find '^Item ID: [0-9]+$' | sed -n 's/^Item ID: //p' | head -1; }
# Pages on (Page Down) to the item with the given ID.
go_to_id() {
  _k=1
  until [ "$(shown_id)" = "$1" ]; do
    _k=$((_k + 1))
    [ $_k -gt 60 ] && fail "item ID $1 is not in the exam"
    press Next
    read_screen wait "^Item $_k of [0-9]+\$" >/dev/null || fail "Page Down did not reach item $_k"
  done
}
# The note window on the item shown, read through the program.
open_note() {
  press alt+n
  read_screen wait "^Practice Exam A,  Item ID: $1\$" >/dev/null ||
    fail "the note window did not open on item ID $1"
}
note_text() { read_screen --role text --all find "$1" 2>/dev/null; }

start_exam
NOTE_ID=$(shown_id)
[ -n "$NOTE_ID" ] || fail "no item ID on screen"
tab_to '	Choice a$' || fail "Tab never reached the first choice (the focus is on: $(focused))"
press b
open_note "$NOTE_ID"
tab_to '^text	Note$' || fail "Tab never reached the note"
xdotool type --delay 30 "subnet by hand"
tab_to '	Save Note$' || fail "Tab never reached Save Note"
press space
# Saved, the note leaves Save Note disabled.
read_screen --role 'push button' --without enabled wait '^Save Note$' >/dev/null ||
  fail "Save Note did not save"
note_text '^subnet by hand$' >/dev/null || fail "the note window does not show the note typed"
stop_installed
[ -e "$LIB/ces.DAT" ] && fail "the program wrote into its read-only folder"
[ "$(mode "$DATA/cesrun.DAT")" = 600 ] || fail "the kept exam has mode $(mode "$DATA/cesrun.DAT")"
FIRST=$(cat "$DATA/tcpip.DAT.source")
[ "$("$NOTE_TOOL" "$DATA/tcpip.DAT" "$NOTE_ID")" = "subnet by hand" ] ||
  fail "the note saved in the note window is not in the user's bank"
echo "ok: a short exam by keyboard; a note saved through the note window on item $NOTE_ID"

# The note stays through a restart of the same install.
run_installed
start_exam offered
go_to_id "$NOTE_ID"
open_note "$NOTE_ID"
note_text '^subnet by hand$' >/dev/null || fail "the note was lost on a restart"
stop_installed
[ "$(cat "$DATA/tcpip.DAT.source")" = "$FIRST" ] || fail "an unchanged install rebuilt the copy"
echo "ok: the note window shows the note again after a restart"

# A newer bank is installed: the next start rebuilds the copy from it.
chmod u+w "$LIB"
"$BANKC" "$SOURCE/data/bank" "$SOURCE/data/pictures" "$WORK/tcpip.DAT" >/dev/null ||
  fail "the bank could not be rebuilt"
chmod u+w "$LIB/tcpip.DAT" && cp "$WORK/tcpip.DAT" "$LIB/tcpip.DAT" && chmod a-w "$LIB/tcpip.DAT" "$LIB"
run_installed
wait_for "[ \"\$(cat '$DATA/tcpip.DAT.source')\" != '$FIRST' ]" || fail "the newer bank was not taken"
start_exam offered
go_to_id "$NOTE_ID"
open_note "$NOTE_ID"
note_text '^subnet by hand$' >/dev/null || fail "the note was lost in the rebuild"
stop_installed
[ "$("$NOTE_TOOL" "$DATA/tcpip.DAT" "$NOTE_ID")" = "subnet by hand" ] || fail "the rebuilt bank holds no note"
[ "$(mode "$DATA/tcpip.DAT")" = 600 ] || fail "the rebuilt copy has mode $(mode "$DATA/tcpip.DAT")"
[ -e "$DATA/tcpip.DAT.new" ] && fail "the rebuild left its new file behind"
echo "ok: a newer installed bank replaces the user's copy, the note window still shows the note"
chmod -R u+w "$PREFIX"
