#!/usr/bin/env bash
# Runs WendraWin as a user would, twice over the same folders:
#   1. the first start shows its window (found by its caption) and has taken
#      today's backup "WendraWin.bak_" + weekday in its program folder;
#   2. a second start shows the single-instance message (a box titled with the
#      program's name), waits for it to be answered, then ends by itself without
#      touching the backup;
#   3. once the first copy is killed outright, a new start is let in: the lock
#      does not outlive its process.
# Arguments: the WendraWin executable, an empty WendraWin.dt, the icons folder.
set -uo pipefail

exe=$1
database=$2
icons=${3:-}

command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/wendra-e2e-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
    exit 1
}

prog=$work/program
mkdir -p "$prog" "$work/config" "$work/run"
chmod 700 "$work/run"
cp "$exe" "$prog/WendraWin"
cp "$database" "$prog/WendraWin.dt"
[ -n "$icons" ] && [ -d "$icons" ] && cp -r "$icons" "$prog/icons"

export XDG_CONFIG_HOME=$work/config
export XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=xcb
# Qt and the X libraries keep allocations until the process ends; the sanitizer's
# leak report at exit would be theirs, not the program's.
export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0

# A virtual X server on a free display.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "the X server did not start"
export DISPLAY=:$(tr -d '[:space:]' <"$work/display")

# Waits for a shown window of the process whose name matches; prints its id.
find_window() {
    timeout "$3" xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n 1
}
running() { kill -0 "$1" 2>/dev/null; }

# ---- 1. the first start
day_before=$(LC_ALL=C date +%a)
"$prog/WendraWin" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
main_window=$(find_window "$first" '^Wendra[(]win[)]' 60)
[ -n "$main_window" ] || fail "the first start showed no window with its caption"
echo "first start: window $main_window \"$(xdotool getwindowname "$main_window")\""
day_after=$(LC_ALL=C date +%a)
backups=$(cd "$prog" && ls WendraWin.bak_* 2>/dev/null)
[ "$(echo "$backups" | grep -c .)" = 1 ] || fail "expected one backup, found: $backups"
case "$backups" in
    "WendraWin.bak_$day_before" | "WendraWin.bak_$day_after") echo "backup: $backups" ;;
    *) fail "backup named $backups on a $day_after" ;;
esac
cmp -s "$prog/$backups" "$prog/WendraWin.dt" || [ -s "$prog/$backups" ] || fail "the backup is empty"
backup_stamp=$(stat -c %Y:%s "$prog/$backups")
running "$first" || fail "the first start ended"

# ---- 2. a second start in the same folders
sleep 1  # a backup taken by mistake would show in the time stamp
"$prog/WendraWin" >"$work/second.log" 2>&1 &
second=$!
pids+=($second)
message=$(find_window "$second" '^WendraWin$' 60)
[ -n "$message" ] || fail "the second start showed no message"
sleep 1
running "$second" || fail "the second start ended before its message was answered"
[ -z "$(xdotool search --all --onlyvisible --pid "$second" --name '^Wendra[(]win[)]' 2>/dev/null)" ] ||
    fail "the second start showed a main window"
[ "$(stat -c %Y:%s "$prog/$backups")" = "$backup_stamp" ] || fail "the second start touched the backup"
echo "second start: message window $message"
xdotool windowfocus --sync "$message" || fail "the message could not be given the focus"
sleep 0.3
xdotool key --clearmodifiers Return
ended=no
for _ in $(seq 100); do
    if ! running "$second"; then ended=yes; break; fi
    sleep 0.2
done
[ "$ended" = yes ] || fail "the second start did not end once its message was answered"
wait "$second"
code=$?
[ "$code" = 0 ] || fail "the second start ended with $code"
running "$first" || fail "the first copy ended with the second"

# ---- 3. the first copy dies; the next start is let in
kill -9 "$first"
wait "$first" 2>/dev/null
"$prog/WendraWin" >"$work/third.log" 2>&1 &
third=$!
pids+=($third)
window=$(find_window "$third" '^Wendra[(]win[)]' 60)
[ -n "$window" ] || fail "a start after the first copy died showed no window"
[ -z "$(xdotool search --all --onlyvisible --pid "$third" --name '^WendraWin$' 2>/dev/null)" ] || fail "a start after the first copy died was refused"
echo "third start: window $window"
echo "PASS"
