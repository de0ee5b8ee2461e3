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

source "$(dirname "$0")/../support/x_session.sh"
x_session device-link "" "$@"
peer=$5

user_settings <<'INI'
[Options]
CommPort=5
INI

# ---- 1. the peer's line, then the program on it
device_peer "$peer" wait "$work/go" 60 sync-time 300 11 reply "$work/reply" 20 wait "$work/done" 60
start_program
snap "$window" 1-open

# ---- 2. the exchange
touch "$work/go"
# The peer says so once the reply is written whole.
wait_until 30 grep -q '^peer: reply of' "$work/peer.log" || fail "WendraWin sent no reply"
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
