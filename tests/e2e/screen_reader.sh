#!/bin/sh
# What a blind candidate gets: an exam taken, graded and reviewed by keyboard,
# with its results read from the accessibility bus alone (each section's
# result in the score report, the correct choice of a reviewed item, the
# history's values); a letter typed after Alt+M answers the item; and no
# window shows a control that takes the focus, or a picture, without a name.
set -u
PROGRAM="$1"
BANK="$2" # the folder of the bank's JSON sources
. "$(dirname "$0")/xsession.sh"
a11y_session
mkdir -p "$WORK/program"
cp -r "$PROGRAM" "$(dirname "$PROGRAM")/tcpip.DAT" "$(dirname "$PROGRAM")/tcpipusr.DAT" \
  "$(dirname "$PROGRAM")/pictures" "$WORK/program/" || fail "the program could not be copied"
PROGRAM="$WORK/program/$(basename "$PROGRAM")"
EXAM_FILE="$BANK/exam_a.json"

# Fails when a window on screen holds an object a screen reader cannot name.
all_named() {
  read_screen unnamed >"$WORK/unnamed" 2>&1 ||
    fail "$1: unnamed controls or pictures:
$(cat "$WORK/unnamed")"
  echo "ok: every control and picture of $1 has a name"
}
back_to() { wait_for "active_is $1" || fail "the focus did not come back to window $1"; }
# One bank item's field: key, section or sim.
item_field() {
  python3 -c "import json,sys; it=[i for i in json.load(open(sys.argv[1]))['items'] if i['id']==int(sys.argv[2])][0]; print(it.get(sys.argv[3]) or '')" \
    "$EXAM_FILE" "$1" "$2"
}

e2e_start "$PROGRAM"
APP=$STARTED
wait_for "[ \$(visible_windows $APP) -ge 1 ]" || fail "the program shows no window"
START_WIN=$(xdotool search --onlyvisible --pid "$APP" | head -1)
xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
back_to "$START_WIN"
read_screen --timeout 30 wait '^Start Testing$' >/dev/null ||
  fail "the accessibility bus shows nothing of the start window"
all_named "the start window"

press alt+t
wait_for "active_other $START_WIN" || fail "Start Testing opened nothing"
EXAM_WIN=$(active_other "$START_WIN")
read_screen wait '^Practice Exam A$' >/dev/null || fail "no start panel"
all_named "the idle exam window"
press alt+m
read_screen wait '^Take All Questions$' >/dev/null ||
  fail "the Exams menu does not read its entries without ampersands: $(read_screen find 'Take All')"
press a
read_screen wait '^Your Name$' >/dev/null || fail "no name dialog"
press ctrl+a
xdotool type --delay 30 "Kim Keys"
press Return
read_screen wait '^Item 1 of 50$' >/dev/null || fail "the exam did not start"
back_to "$EXAM_WIN"

# The first item that is no simulation: marked with Alt+M, then answered by
# its key's letters while the focus is still on the mark box.
K=1
while :; do
  ID=$(read_screen --role label find '^Item ID: [0-9]+$' | sed -n 's/^Item ID: //p' | head -1)
  [ -n "$ID" ] || fail "item $K shows no ID"
  [ -z "$(item_field "$ID" sim)" ] && break
  press Next
  K=$((K + 1))
  read_screen wait "^Item $K of 50\$" >/dev/null || fail "item $K never came"
done
KEY=$(item_field "$ID" key)
SECTION=$(item_field "$ID" section)
all_named "the exam window on an item"
press alt+m
read_screen --role 'check box' --with checked wait '^Mark this item$' >/dev/null ||
  fail "Alt+M did not mark item $K"
for letter in $(echo "$KEY" | sed 's/./& /g'); do press "$letter"; done
for letter in $(echo "$KEY" | sed 's/./& /g'); do
  read_screen --with checked wait "^Choice $letter\$" >/dev/null ||
    fail "after Alt+M, the letter $letter did not answer item $K (focus: $(focused))"
done
echo "ok: after Alt+M the letters $KEY answered item $K"

press ctrl+g
read_screen wait 'Are you sure to end this exam' >/dev/null || fail "Ctrl+G asked nothing"
press Return
read_screen wait '^Passing Score: ' >/dev/null || fail "no score report"
# The sections as a screen reader reads them: one right answer in the
# section of item $K, none elsewhere.
EXPECTED=$(python3 - "$EXAM_FILE" "$SECTION" <<'PY'
import json, sys
from fractions import Fraction
items = json.load(open(sys.argv[1]))["items"]
names = ["Planning", "Installation and Configuration", "Connectivity",
         "Monitoring and Optimization", "Troubleshooting"]
right = int(sys.argv[2])
for s in range(1, 6):
    total = sum(1 for i in items if i["section"] == s)
    k = 1 if s == right else 0
    p = 0 if k == 0 or total == 0 else round(Fraction(100 * k, total))
    print(f"{names[s - 1]}: {k} of {total} correct, {p} percent")
PY
)
SAID=$(read_screen describe '^Sections$') || fail "the score report's sections are not on the bus"
echo "read: $SAID"
echo "$EXPECTED" | while read -r line; do
  echo "$SAID" | grep -qF "$line" || fail "the sections do not say '$line'"
done || exit 1
read_screen find '^Kim Keys,  Quizlark TCP/IP 4\.0,  Practice Exam A$' >/dev/null ||
  fail "the candidate line is not readable"
read_screen describe '^Kim Keys,' | grep -q '^Your score: 20 of 1000; Required score: 850$' ||
  fail "the total is not readable: $(read_screen describe '^Kim Keys,')"
all_named "the score report"
echo "ok: the score report's total and sections read from the bus"

# View Answers; then the items review, where typing the item's number
# selects it, and Go to shows it.
press Return
back_to "$EXAM_WIN"
press alt+r
read_screen wait ', (correct|incorrect) item$' >/dev/null || fail "no items review"
all_named "the items review"
for digit in $(echo "$K" | sed 's/./& /g'); do press "$digit"; done
read_screen --with selected wait "^$K  [A-F]*, correct item\$" >/dev/null ||
  fail "typing $K did not select item $K"
press alt+g
read_screen wait "^Item $K of 50\$" >/dev/null || fail "Go to did not show item $K"
back_to "$EXAM_WIN"
read_screen --role label find '^Correct$' >/dev/null || fail "item $K is not read as correct"
for letter in a b c d e f; do
  said=$(read_screen describe "^Choice $letter\$") || continue
  case "$KEY" in
  *$letter*) echo "$said" | grep -q ', correct answer$' ||
    fail "choice $letter of item $K is the answer but is read as '$said'" ;;
  *) echo "$said" | grep -q 'correct answer' &&
    fail "choice $letter of item $K is not the answer but is read as '$said'" ;;
  esac
done
all_named "the exam window in review"
echo "ok: the correct choices of item $K are read as correct answers"

press alt+n
read_screen wait '^User Note$' >/dev/null || fail "no note window"
all_named "the note window"
press Escape
back_to "$EXAM_WIN"
press alt+f
read_screen wait '^Options\.\.\.$' >/dev/null || fail "the File menu did not open"
press o
read_screen wait '^High contrast$' >/dev/null || fail "the options show no High contrast choice"
all_named "the options dialog"
press Escape
back_to "$EXAM_WIN"

# Exit Exam, then the history: the attempt's values are read.
press alt+x
read_screen wait 'Are you sure you wish to end this exam' >/dev/null || fail "Exit Exam asked nothing"
press Return
read_screen wait '^Practice Exam A$' >/dev/null || fail "Exit Exam did not end the exam"
back_to "$EXAM_WIN"
press alt+m
read_screen wait '^History\.\.\.$' >/dev/null || fail "the Exams menu did not open"
press h
read_screen wait '^Graded exams$' >/dev/null || fail "no history window"
read_screen describe '^Score of every attempt$' | grep -q '^attempt 1 ([^)]*): 20\. ' ||
  fail "the history's score chart is not readable: $(read_screen describe '^Score of')"
read_screen describe "^Planning percent\$" | grep -q '^attempt 1 (' ||
  fail "the history's section charts are not readable"
all_named "the history window"
echo "ok: the history's values read from the bus"
press Escape
back_to "$EXAM_WIN"

# The sampler, from the start window once the exam window is closed.
press alt+F4
back_to "$START_WIN"
press alt+s
read_screen wait '^Question text$' >/dev/null || fail "no sampler"
all_named "the test sampler"
