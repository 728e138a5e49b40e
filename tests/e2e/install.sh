#!/bin/sh
# The installed program: installed into a temporary prefix whose folder is
# then read-only, started under Xvfb as a user with a fresh home, it keeps
# the user's tables in the user's data folder, readable by the user only,
# and takes a newer installed bank. The superuser writes anywhere, so as root
# the program runs as nobody.
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

mkdir -p "$HOMEDIR"
AS_USER=""
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$HOMEDIR"
  AS_USER="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
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

# Start Testing opens the exam window in place of the start window; the
# program's folder is never written.
START_WIN=$(xdotool search --onlyvisible --name 'Quizlark TCP/IP 4.0' | head -1)
xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
wait_for "active_is $START_WIN" || fail "the start window never became active"
xdotool key --clearmodifiers alt+t
wait_for "! xdotool search --onlyvisible --name 'Quizlark TCP/IP 4.0' | grep -q '^$START_WIN\$'" ||
  fail "Start Testing opened no exam window"
stop_installed
[ -e "$LIB/ces.DAT" ] && fail "the program wrote into its read-only folder"
FIRST=$(cat "$DATA/tcpip.DAT.source")

# A note on item 7 stays through a restart of the same install.
$AS_USER "$NOTE_TOOL" "$DATA/tcpip.DAT" 7 "subnet by hand" || fail "the note could not be saved"
run_installed
stop_installed
[ "$("$NOTE_TOOL" "$DATA/tcpip.DAT" 7)" = "subnet by hand" ] || fail "the note was lost on a restart"
[ "$(cat "$DATA/tcpip.DAT.source")" = "$FIRST" ] || fail "an unchanged install rebuilt the copy"
echo "ok: a note stays through a restart"

# A newer bank is installed: the next start rebuilds the copy from it.
chmod u+w "$LIB"
"$BANKC" "$SOURCE/data/bank" "$SOURCE/data/pictures" "$WORK/tcpip.DAT" >/dev/null ||
  fail "the bank could not be rebuilt"
chmod u+w "$LIB/tcpip.DAT" && cp "$WORK/tcpip.DAT" "$LIB/tcpip.DAT" && chmod a-w "$LIB/tcpip.DAT" "$LIB"
run_installed
wait_for "[ \"\$(cat '$DATA/tcpip.DAT.source')\" != '$FIRST' ]" || fail "the newer bank was not taken"
stop_installed
[ "$("$NOTE_TOOL" "$DATA/tcpip.DAT" 7)" = "subnet by hand" ] || fail "the note was lost in the rebuild"
[ "$(mode "$DATA/tcpip.DAT")" = 600 ] || fail "the rebuilt copy has mode $(mode "$DATA/tcpip.DAT")"
[ -e "$DATA/tcpip.DAT.new" ] && fail "the rebuild left its new file behind"
echo "ok: a newer installed bank replaces the user's copy, the note carried over"
chmod -R u+w "$PREFIX"
