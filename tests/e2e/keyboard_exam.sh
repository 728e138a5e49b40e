#!/bin/sh
# A whole practice exam by keyboard alone, both select-and-place simulations
# included: xdotool key presses only, no mouse. Every item is read off the
# screen through the accessibility bus (its ID says which bank item it is,
# the order being random) and answered from the bank's key by a fixed plan:
# most right, some wrong, some left open. The score report and the items
# review must then show what that plan earns.
set -u
PROGRAM="$1"
BANK="$2" # the folder of the bank's JSON sources
. "$(dirname "$0")/xsession.sh"
a11y_session
# A program folder of its own: the exam's tables are written beside the
# program, and other tests run the same build at the same time.
mkdir -p "$WORK/program"
cp -r "$PROGRAM" "$(dirname "$PROGRAM")/tcpip.DAT" "$(dirname "$PROGRAM")/tcpipusr.DAT" \
  "$(dirname "$PROGRAM")/pictures" "$WORK/program/" || fail "the program could not be copied"
PROGRAM="$WORK/program/$(basename "$PROGRAM")"

EXAM_FILE="$BANK/exam_a.json"
PLAN="$WORK/plan"
# One line per item of practice exam A: its ID, what to do, the letters to
# press (or the simulation), and the letters the review then lists.
#   right: the key; wrong: another answer; open: nothing pressed.
python3 - "$EXAM_FILE" >"$PLAN" <<'EOF' || fail "no plan from $EXAM_FILE"
import json, sys
items = json.load(open(sys.argv[1]))["items"]
for it in items:
    i = it["id"]
    if it.get("sim"):
        print(i, "right", it["sim"], "F")
        continue
    key = it["key"]
    letters = "abcdef"[: len(it["choices"])]
    if i % 9 == 0:
        print(i, "open", "-", "-")
    elif i % 5 == 0:
        if it.get("multiple") and len(key) > 1:
            press = key[:-1]
        elif it.get("multiple"):
            press = key + next(c for c in letters if c not in key)
        else:
            press = next(c for c in letters if c not in key)
        print(i, "wrong", press, "".join(sorted(press)).upper())
    else:
        print(i, "right", key, "".join(sorted(key)).upper())
EOF
TOTAL=$(wc -l <"$PLAN")
RIGHT=$(awk '$2 == "right"' "$PLAN" | wc -l)
[ "$TOTAL" -gt 0 ] && grep -q SIM1 "$PLAN" && grep -q SIM2 "$PLAN" ||
  fail "practice exam A does not hold both simulations"
# The score: (1000 / total) * right, rounded half to even.
EXPECTED=$(python3 -c "from fractions import Fraction as F; print(round(F(1000, $TOTAL) * $RIGHT))")
GRADE=Fail
[ "$(python3 -c "print(1000 * $RIGHT >= 850 * $TOTAL)")" = True ] && GRADE=Pass
echo "plan: $TOTAL items, $RIGHT right, expected score $EXPECTED ($GRADE)"

# Waits until the given window of the program is the active one.
back_to() { wait_for "active_is $1" || fail "the focus did not come back to window $1"; }

e2e_start "$PROGRAM"
APP=$STARTED
wait_for "[ \$(visible_windows $APP) -ge 1 ]" || fail "the program shows no window"
START_WIN=$(xdotool search --onlyvisible --pid "$APP" | head -1)
xdotool windowactivate --sync "$START_WIN" >/dev/null 2>&1
back_to "$START_WIN"
read_screen --timeout 30 wait '^Start Testing$' >/dev/null ||
  fail "the accessibility bus shows nothing of the start window"

# Start Testing, then Exams > Practice Exam A, then the name dialog.
press alt+t
wait_for "active_other $START_WIN" || fail "Start Testing opened nothing"
EXAM_WIN=$(active_other "$START_WIN")
press alt+m
read_screen wait '^Practice Exam A$' >/dev/null || fail "the Exams menu did not open"
press a
read_screen wait '^Your Name$' >/dev/null || fail "no name dialog"
press ctrl+a
xdotool type --delay 30 "Kim Keys"
press Return
read_screen wait "^Item 1 of $TOTAL\$" >/dev/null || fail "the exam did not start on item 1 of $TOTAL"
back_to "$EXAM_WIN"
read_screen --role label wait '^Time left: (90|89) minutes$' >/dev/null ||
  fail "the countdown is not read as the minutes left"
tab_to '	Choice a$' || fail "Tab never reached the first choice (the focus is on: $(focused))"
echo "ok: practice exam A started by keyboard, the focus on the first choice"

# Takes the simulation on screen: Tab to the first tile, then each drop as
# "target source" (tiles 1-4 the sources, 5-8 the places), moved to with the
# right arrow, picked up and dropped with Space; Return is OK.
solve_simulation() {
  _first=$1; shift
  read_screen wait "^$_first" >/dev/null || fail "the simulation window did not open"
  tab_to "	$_first" || fail "Tab never reached the first tile"
  _at=1
  for _drop in "$@"; do
    _target=${_drop% *}; _source=${_drop#* }
    for _step in $(seq $(((_source - _at + 8) % 8))); do press Right; done
    press space
    for _step in $(seq $(((_target - _source + 8) % 8))); do press Right; done
    press space
    _at=$_target
  done
}

K=0
ANSWERS="$WORK/answers"
: >"$ANSWERS"
while [ $K -lt "$TOTAL" ]; do
  K=$((K + 1))
  read_screen wait "^Item $K of $TOTAL\$" >/dev/null || fail "item $K never came"
  ID=$(read_screen --role label find '^Item ID: [0-9]+$' | sed -n 's/^Item ID: //p' | head -1)
  LINE=$(awk -v id="$ID" '$1 == id' "$PLAN")
  [ -n "$LINE" ] || fail "item $K shows ID '$ID', not an item of practice exam A"
  set -- $LINE
  case "$3" in
  SIM1)
    press alt+s
    solve_simulation 'Service tile 1' "5 3" "6 1" "7 2" "8 4"
    for place in 'Place A: LPQ' 'Place B: TCP/IP Printing Service' 'Place C: LPR' 'Place D: LPD Service'; do
      read_screen find "^$place\$" >/dev/null || fail "after the keys, '$place' is not on screen"
    done
    ;;
  SIM2)
    press alt+s
    solve_simulation 'Mask tile 1' "5 4" "6 3" "7 2" "8 1"
    read_screen find '^Row A mask: 255\.255\.0\.0$' >/dev/null ||
      fail "after the keys, row A does not hold 255.255.0.0"
    ;;
  -) ;;
  *) for letter in $(echo "$3" | sed 's/./& /g'); do press "$letter"; done ;;
  esac
  case "$3" in
  SIM*)
    press Return
    read_screen wait '^Your response has been saved\.$' >/dev/null ||
      fail "the simulation of item $K was not saved"
    press Return
    back_to "$EXAM_WIN"
    ;;
  esac
  echo "$K $ID $2 $4" >>"$ANSWERS"
  if [ $K -eq 1 ]; then
    # Over a few seconds the countdown's text changes each second, but a
    # screen reader is told of it once a minute at most; paging on while
    # listening shows that the listener hears changes at all.
    read_screen listen 3 >"$WORK/heard" 2>"$WORK/listening" &
    LISTENER=$!
    wait_for "grep -q listening '$WORK/listening'" || fail "the event listener did not start"
    press Next
    wait "$LISTENER"
    grep -q "	Item 2 of $TOTAL\$" "$WORK/heard" || fail "the listener did not hear the item counter change"
    [ "$(grep -c '	Time left: ' "$WORK/heard")" -le 1 ] ||
      fail "the countdown is announced more than once a minute: $(grep 'Time left' "$WORK/heard")"
    echo "ok: the countdown is not announced each second"
  elif [ $K -lt "$TOTAL" ]; then
    press Next
  fi
done
echo "ok: all $TOTAL items answered by keyboard, both simulations included"

# Ctrl+G grades (after the confirmation); the report shows the score.
press ctrl+g
read_screen wait 'Are you sure to end this exam' >/dev/null || fail "Ctrl+G asked nothing"
press Return
SCORE=$(read_screen wait '^Passing Score: ') || fail "no score report"
echo "shown: $SCORE"
echo "$SCORE" | grep -q "Your Score: $EXPECTED   Grade: $GRADE\$" ||
  fail "the report shows '$SCORE', expected a score of $EXPECTED ($GRADE)"
echo "ok: the score report shows $EXPECTED ($GRADE)"

# View Answers (the report's default button), then the items review.
press Return
wait_for "active_is $EXAM_WIN" || fail "View Answers did not return to the exam window"
press alt+r
read_screen wait ', (correct|incorrect) item$' >/dev/null || fail "no items review"
LISTED="$WORK/listed"
read_screen --role 'list item' find ', (correct|incorrect) item$' >"$LISTED"
[ "$(wc -l <"$LISTED")" -eq "$TOTAL" ] || fail "the review lists $(wc -l <"$LISTED") of $TOTAL items"
while read -r k id how letters; do
  [ "$letters" = - ] && letters=""
  state="incorrect item"
  [ "$how" = right ] && state="correct item"
  grep -qx "$k  $letters, $state" "$LISTED" ||
    fail "item $k (ID $id, $how) is not listed as '$k  $letters, $state': $(grep "^$k " "$LISTED")"
done <"$ANSWERS"
[ "$(grep -c ', correct item$' "$LISTED")" -eq "$RIGHT" ] || fail "the review counts another number of right items"
echo "ok: the items review lists every item with the letters pressed and its verdict"
