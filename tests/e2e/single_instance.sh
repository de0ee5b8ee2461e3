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

source "$(dirname "$0")/../support/x_session.sh"
x_session_start "$exe" "$database" "$icons"

# ---- 1. the first start
day_before=$(LC_ALL=C date +%a)
launch first
first=$program
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
launch second
second=$program
message=$(find_window "$second" '^WendraWin$' 60)
[ -n "$message" ] || fail "the second start showed no message"
sleep 1
running "$second" || fail "the second start ended before its message was answered"
[ -z "$(xdotool search --all --onlyvisible --pid "$second" --name '^Wendra[(]win[)]' 2>/dev/null)" ] ||
    fail "the second start showed a main window"
[ "$(stat -c %Y:%s "$prog/$backups")" = "$backup_stamp" ] || fail "the second start touched the backup"
echo "second start: message window $message"
press "$message" Return
wait_until 20 not running "$second" || fail "the second start did not end once its message was answered"
wait "$second"
code=$?
[ "$code" = 0 ] || fail "the second start ended with $code"
running "$first" || fail "the first copy ended with the second"

# ---- 3. the first copy dies; the next start is let in
kill -9 "$first"
wait "$first" 2>/dev/null
launch third
third=$program
window=$(find_window "$third" '^Wendra[(]win[)]' 60)
[ -n "$window" ] || fail "a start after the first copy died showed no window"
[ -z "$(xdotool search --all --onlyvisible --pid "$third" --name '^WendraWin$' 2>/dev/null)" ] || fail "a start after the first copy died was refused"
echo "third start: window $window"
echo "PASS"
