#!/usr/bin/env bash
# WendraWin and the device over a pseudo-terminal, under a virtual X server:
#   1. the device peer links its pseudo-terminal as COM5 in the folder named by
#      WENDRA_COM_DEVICES, and WendraWin starts with its port set to 5: panel 2
#      reads "COM5  (Open)";
#   2. the peer sends a SYNC-TIME, its clock 300 seconds ahead, in small chunks;
#      WendraWin answers with the sync-time reply ("OK" and the difference),
#      ended by one zero byte, and keeps a copy of the message in its data folder;
#   3. a picture of the window during the exchange (panel 2: "Sync: In progress...").
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, the peer.
set -uo pipefail

exe=$1
database=$2
icons=$3
grab=$4
peer=$5

source "$(dirname "$0")/../support/x_session.sh"
x_session_start "$exe" "$database" "$icons" ""
label=device-link

user_settings <<'INI'
[Options]
CommPort=5
INI
export WENDRA_COM_DEVICES=$work/com
export XDG_DATA_HOME=$work/data

# ---- 1. the peer's line, then the program on it
"$peer" "$work/com" 5 wait "$work/go" 60 sync-time 300 11 reply "$work/reply" 20 wait "$work/done" 60 \
    >"$work/peer.log" 2>&1 &
peer_pid=$!
pids+=($peer_pid)
for _ in $(seq 50); do [ -L "$work/com/COM5" ] && break; sleep 0.1; done
[ -L "$work/com/COM5" ] || fail "the peer made no COM5"

start_program
snap "$window" 1-open

# ---- 2. the exchange
touch "$work/go"
for _ in $(seq 200); do [ -f "$work/reply" ] && break; sleep 0.1; done
[ -f "$work/reply" ] || fail "WendraWin sent no reply"
echo "reply: $(tr '\r' '|' <"$work/reply")"
answer() { printf 'BEGIN:QVR-SYNC-TIME\r\nX-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:%s\r\nEND:QVR-SYNC-TIME' "$1"; }
# The program reads its clock a moment after the peer read its own: 300 seconds, or a little less.
answered=
for diff in 300 299 298 297; do cmp -s "$work/reply" <(answer $diff) && answered=$diff; done
[ -n "$answered" ] || fail "the reply is not the sync-time answer"
copy=$work/data/WendraWin/sync/SyncTime.txt
[ -f "$copy" ] || fail "no copy of the message in $copy"
grep -q '^X-KSP-END:SYNC-TIME' "$copy" || fail "the copy lacks its end line: $(cat "$copy")"

# ---- 3. the window during the exchange
sleep 1
snap "$window" 2-exchange
touch "$work/done"
wait "$peer_pid"
status=$?
[ "$status" -eq 0 ] || fail "the peer ended with $status"
cat "$work/peer.log"
running "$program" || fail "WendraWin ended"
echo "PASS"
