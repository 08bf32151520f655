#!/usr/bin/env bash
# schedule_test.sh KORVA KORVA_DECK OUT_DIR
#
# Studies a .korva deck on three days of a faked clock (libfaketime) in the
# real program on a virtual X display, as a learner would: on the first day
# 表示 > カード表示形式 > 復習するカード deals the five new cards, a card
# unchecked comes back before the day is done, and a message says when the
# day's cards are studied. On each later day the view must deal exactly the
# cards `korva-deck show --at` that day finds due, and nothing more: the
# record the program keeps (`korva-deck log`) tells which it dealt.
set -euo pipefail

here=$(dirname "$0")
if ! command -v faketime >/dev/null; then
  echo "schedule test: faketime is not installed" >&2
  exit 77
fi
if [ -z "${KORVA_ON_XVFB:-}" ]; then
  KORVA_ON_XVFB=1 exec "$here/virtual_display.sh" "$0" "$@"
fi
. "$here/x_steps.sh"

korva=$(realpath "$1")
korva_deck=$(realpath "$2")
out=$(realpath "$3")
mkdir -p "$out"
work=$(mktemp -d "$out/schedule.XXXXXX")
screenshot="$out/schedule-failure.png"
rm -f "$screenshot"
mkdir -p "$work/program" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
cp "$korva" "$work/program/korva"

export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" TZ=Asia/Tokyo
unset XDG_CONFIG_HOME XDG_STATE_HOME XDG_CURRENT_DESKTOP DESKTOP_SESSION GTK_MODULES || true
# Qt's timers keep the real monotonic clock; only the calendar is moved.
export FAKETIME_DONT_FAKE_MONOTONIC=1
# faketime preloads its library ahead of a sanitizer build's runtime, which
# would otherwise refuse to start.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

limit=15
main_title='^暗記支援ソフトウェア　KORVA!! '
pid=""
step="start"
deck="$work/words.korva"

fail() {
  echo "schedule test: FAILED at step: $step${1:+ ($1)}" >&2
  import -window root "$screenshot" 2>/dev/null && echo "screenshot: $screenshot" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

keys() { xdotool key --delay 20 "$@"; }

focus() { xdotool windowfocus --sync "$1" || fail "cannot focus $1"; }

wait_exit() {
  timeout "$limit" bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.05; done' _ "$pid" || fail "program still running"
  wait "$pid" || fail "exit status $?"
  pid=""
}

# A card window, which is no X window of its own, is open once it covers the
# workspace at its place.
wait_card_window() {
  local deadline=$((SECONDS + limit)) colours
  until colours=$(import -window "$main" png:- | convert - -format '%[pixel:p{100,300}] %[pixel:p{600,400}]' info:) &&
    [ "${colours% *}" != "${colours#* }" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "no card window"
    sleep 0.05
  done
}

# The program on DAY at noon in Tokyo, the clock running on from there.
start_on() {  # DAY
  faketime -f "@$1 12:00:00" "$work/program/korva" "$deck" >>"$work/korva.log" 2>&1 &
  pid=$!
  main=$(wait_window "$main_title")
  wait_card_window
  focus "$main"
}

# Once the day's cards are studied the view says so; Enter closes it.
day_done() {
  focus "$(wait_window '^KORVA!!$')"
  keys Return
  wait_window_gone '^KORVA!!$'
  focus "$main"
}

save_and_exit() {
  menu f s
  menu f x
  wait_exit
}

# The cards due by the end of DAY's day of study (04:00 the next morning),
# by korva-deck's reckoning at TIME that day (the record up to then), and those the program reviewed on DAY, each as
# a sorted list of card numbers.
due_on() {  # DAY TIME
  "$korva_deck" show --at "${1}T${2}+09:00" "$deck" | python3 -c '
import json, sys, datetime
end = datetime.datetime.fromisoformat(sys.argv[1] + "T04:00:00+09:00") + datetime.timedelta(days=1)
cards = json.load(sys.stdin)["cards"]
due = [n for n, c in enumerate(cards, 1)
       if c["memory"][c["question"] - 1] is not None
       and datetime.datetime.fromisoformat(c["memory"][c["question"] - 1]["due"].replace("Z", "+00:00")) < end]
print(" ".join(map(str, due)))' "$1"
}

reviewed_on() {  # DAY
  "$korva_deck" log "$deck" | python3 -c '
import csv, sys, datetime
day = datetime.date.fromisoformat(sys.argv[1])
tokyo = datetime.timezone(datetime.timedelta(hours=9))
rows = list(csv.DictReader(sys.stdin))
cards = sorted({int(r["card"]) for r in rows
                if datetime.datetime.fromisoformat(r["time"].replace("Z", "+00:00")).astimezone(tokyo).date() == day})
print(" ".join(map(str, cards)))' "$1"
}

step="a word list made a .korva deck"
printf 'dog,inu\r\ncat,neko\r\nbird,tori\r\nfish,sakana\r\nhorse,uma\r\n' >"$work/words.csv"
"$korva_deck" convert "$work/words.csv" "$deck" >/dev/null || fail "convert"

step="day 1: the due view deals the new cards, an unchecked one again"
start_on 2026-03-02
menu v c r
# Cards 1 to 5 in deck order, card 2 unchecked; then card 2 again.
keys x semicolon x apostrophe x semicolon x semicolon x semicolon
keys x semicolon
day_done
save_and_exit
[ "$("$korva_deck" log "$deck" | cut -d, -f2 | tail -n +2 | tr '\n' ' ')" = "1 2 3 4 5 2 " ] ||
  fail "the record holds $("$korva_deck" log "$deck")"

for day in 2026-03-03 2026-03-04 2026-03-07; do
  step="$day: the due view deals exactly the cards due"
  expected=$(due_on "$day" 12:00:00)
  [ -n "$expected" ] || fail "nothing due on $day"
  start_on "$day"
  for _ in $expected; do
    keys x semicolon
  done
  day_done
  save_and_exit
  actual=$(reviewed_on "$day")
  [ "$actual" = "$expected" ] || fail "dealt $actual, due $expected"
  echo "$day: dealt $actual, as due"
  left=$(due_on "$day" 23:00:00)
  [ -z "$left" ] || fail "still due after the day's study: $left"
done
echo "schedule test: passed"
