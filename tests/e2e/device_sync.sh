#!/usr/bin/env bash
# A whole synchronisation between WendraWin and the device, under a virtual X server:
#   1. WendraWin's store holds two events of its own and one the device holds too;
#      the device peer holds four (that one among them) and links its
#      pseudo-terminal as COM5, where WendraWin opens its port;
#   2. the peer plays a whole synchronisation (its clock, its list, every answer)
#      until WendraWin ends the export;
#   3. afterwards both sides hold the same six events, each once, and each of
#      WendraWin's is linked once to the device; the device's events are in
#      WendraWin's list, of which a picture is taken.
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, the peer.
set -uo pipefail

source "$(dirname "$0")/../support/x_session.sh"
x_session device-sync "" "$@"
need sqlite3
peer=$5

user_settings <<'INI'
[Options]
CommPort=5
INI

# ---- 1. both sides' events, all in the coming days
day() { date -d "+$1 days" +%Y%m%d; }
stored() { date -d "+$1 days" "+%Y-%m-%d $2"; }
local_event() {  # description, days ahead, time (HH:MM:SS), all day (1/0)
    store "INSERT INTO Events (UniDesc, AllDayEvent, EventDate, ViewFromDate, PriorWarning,
        AutoDelete, iCalData, HiddenList, DescExceptions, hasExceptions, CreatorID, LastModified, Created, MSOCreated)
        VALUES ('$(hex "$1")', $4, '$(stored "$2" "$3")', '$(stored 0 00:00:00)', -1, 'M', '', '', '', 0, -1,
        '2026-03-01 08:00:00', '2026-03-01 08:00:00', '1899-12-30 00:00:00')" || fail "no local event $1"
}
local_event "Tax return" 6 00:00:00 1
local_event "Car service" 4 08:30:00 0
local_event "Team lunch" 2 12:00:00 0
cat >"$work/device.events" <<EOF
P-1|$(day 1)T090000|Dentist|20260301T080000
P-2|$(day 3)|Haircut|20260301T080000
P-3|$(day 2)T120000|Team lunch|20260302T080000
P-4|$(day 5)T190000|Choir practice|20260301T080000
EOF

device_peer "$peer" events "$work/device.events" wait "$work/go" 60 sync 20 dump "$work/device.after"
start_program
snap "$window" 1-before

# ---- 2. the synchronisation
touch "$work/go"
wait "$peer_pid"
status=$?
cat "$work/peer.log"
[ "$status" -eq 0 ] || fail "the peer ended with $status"
running "$program" || fail "WendraWin ended"

# ---- 3. both sides afterwards
sleep 1
snap "$window" 2-after
expected=$(printf '%s\n' "Car service @ $(day 4)T083000" "Choir practice @ $(day 5)T190000" \
    "Dentist @ $(day 1)T090000" "Haircut @ $(day 3)" "Tax return @ $(day 6)" "Team lunch @ $(day 2)T120000")
[ "$(cat "$work/device.after")" = "$expected" ] || fail "the device holds: $(cat "$work/device.after")"
# The program's last writes may follow its last answer to the device.
wait_until 10 prints 6 store 'SELECT count(*) FROM Events' || fail "WendraWin holds $(store 'SELECT count(*) FROM Events') events"
[ "$(store 'SELECT count(DISTINCT UniDesc) FROM Events')" = 6 ] || fail "an event is held twice"
live="(Status = 0 OR Status IS NULL)"
wait_until 10 prints 6 store "SELECT count(*) FROM Events WHERE (SELECT count(*) FROM XData x WHERE x.WendraWinID = Events.WendraWinID AND $live) = 1" ||
    fail "not every event is linked once: $(store 'SELECT * FROM XData')"
[ "$(store "SELECT count(DISTINCT XID) FROM XData WHERE $live")" = 6 ] || fail "links: $(store 'SELECT * FROM XData')"
echo "PASS"
