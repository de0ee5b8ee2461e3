#!/usr/bin/env bash
# A first synchronisation of the real WendraWin with the device peer over a
# pseudo-terminal (not a test; run by hand): WendraWin holds 2,000 events of its
# own, the device 2,000 others; the peer plays the whole exchange (its clock, its
# list, 2,000 requests each answered with its event, 2,000 additions each
# confirmed, the export's end) and reports how long it took, from its first byte
# to the export's end, and the processor time WendraWin took meanwhile (which
# depends less on what else the machine is doing).
#   bench/device_sync.sh [RUNS] [shown|minimised]
# shown: the main window mapped on a virtual X server without a window manager;
# minimised: under openbox, the window minimised before the exchange starts.
# It measures WendraWin and the peer of an optimised build as they stand and builds
# nothing (bench/measured_build.sh says how to build them). WENDRA_BENCH_EVENTS sets the number of events on each side,
# WENDRA_BENCH_PROGRAM times another WendraWin (an older build, to compare), and
# WENDRA_BENCH_PERF=1 records each run's profile (perf record) beside the log.
# Goal: under 10 s with the window shown.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
mode=${2:-shown}
each=${WENDRA_BENCH_EVENTS:-2000}
user_home=$HOME  # perf keeps the programs it profiled there, to name their functions later

source "$root/bench/measured_build.sh"
measured_build WendraWin:WendraWin wendra_database:WendraWin.dt wendra_device_peer_tool:wendra_device_peer
source "$root/tests/support/x_session.sh"
need Xvfb xdotool sqlite3
wm=
[ "$mode" = minimised ] && wm=openbox
[ "$mode" = shown ] || [ "$mode" = minimised ] || { echo "mode: shown or minimised"; exit 2; }
x_session_folders
cp "${WENDRA_BENCH_PROGRAM:-$build/bin/WendraWin}" "$prog/WendraWin" || exit 1
cp -r "$build/bin/icons" "$prog/icons" 2>/dev/null
user_settings <<'INI'
[Options]
CommPort=5
INI

# Both sides' events, a few hours apart over the coming year, as bench_device_sync
# lays them out: the n-th local one at 8 + (7n mod 12) o'clock, the device's three
# hours later (mod 12).
cp "$build/bin/WendraWin.dt" "$work/empty.dt" || exit 1
sqlite3 "$work/empty.dt" "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < $each - 1)
    INSERT INTO Events (UniDesc, AllDayEvent, EventDate, ViewFromDate, PriorWarning, AutoDelete, iCalData,
        HiddenList, DescExceptions, hasExceptions, CreatorID, LastModified, Created, MSOCreated)
    SELECT upper(hex('Local event ' || i)), 0,
        datetime('now', 'localtime', 'start of day', '+' || (1 + i % 365) || ' days', '+' || (8 + (i * 7) % 12) || ' hours'),
        datetime('now', 'localtime', 'start of day', '+' || (1 + i % 365 - 30) || ' days'),
        -1, 'M', '', '', '', 0, -1, '2026-03-01 08:00:00', '2026-03-01 08:00:00', '1899-12-30 00:00:00'
    FROM n" || exit 1
sqlite3 "$work/empty.dt" "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < $each - 1)
    SELECT 'P-' || i || '|' || strftime('%Y%m%d', 'now', 'localtime', '+' || (1 + i % 365) || ' days') || 'T' ||
        printf('%02d', 8 + (i * 7 + 3) % 12) || '0000|Device event ' || i || '|20260301T080000' FROM n" \
    >"$work/device.events" || exit 1

x_display "$wm"
# The processor time the program has had so far (user and system), in milliseconds.
ticks=$(getconf CLK_TCK)
cpu_ms() { awk -v t="$ticks" '{sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / t)}' "/proc/$1/stat"; }
took=()
cpus=()
for run in $(seq "$runs"); do
    cp "$work/empty.dt" "$prog/WendraWin.dt"  # every run finds the same store
    rm -f "$prog"/WendraWin.bak_* "$prog"/WendraWin.dt-wal "$prog"/WendraWin.dt-shm "$work/go"
    device_peer "$build/bin/wendra_device_peer" events "$work/device.events" wait "$work/go" 120 sync 60 4096
    start_program
    [ "$mode" = minimised ] && { xdotool windowminimize --sync "$window" || fail "the window was not minimised"; }
    recorder=
    if [ "${WENDRA_BENCH_PERF:-0}" = 1 ]; then
        HOME=$user_home perf record --call-graph dwarf,16384 -F 250 -o "$build/device_sync-perf-$run.data" -p "$program" >/dev/null 2>&1 &
        recorder=$!
        pids+=($recorder)
        sleep 1
    fi
    cpu_before=$(cpu_ms "$program")
    touch "$work/go"
    wait "$peer_pid" || fail "the peer ended with $?"
    cpu=$(($(cpu_ms "$program") - cpu_before))
    ms=$(sed -n 's/^peer: the exchange took \([0-9]*\) ms$/\1/p' "$work/peer.log")
    [ -n "$ms" ] || fail "the peer did not say how long it took"
    count=$(store 'SELECT count(*) FROM Events')
    [ "$count" = $((2 * each)) ] || fail "WendraWin holds $count events"
    [ -n "$recorder" ] && { kill -INT "$recorder"; wait "$recorder"; }
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
    took+=("$ms")
    cpus+=("$cpu")
    echo "run $run: $ms ms, WendraWin busy for $cpu ms of them"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }
echo "median over $runs synchronisations ($mode, $each events on each side): $(median "${took[@]}") ms," \
    "WendraWin's processor time $(median "${cpus[@]}") ms; load average $(cut -d' ' -f1-3 /proc/loadavg)"
