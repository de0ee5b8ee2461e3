#!/usr/bin/env bash
# Start-up of WendraWin over a store of 10,000 events (not a test; run by hand):
# the time from starting the program until its main window is mapped on a
# virtual X server, the processor time the program took until then (which a busy
# machine changes less), and the process's peak memory (resident set) once the
# window shows and its first minute tick has run.
#   bench/startup.sh [RUNS] [typical|repeating]
#   WENDRA_BENCH_EVENTS=50000 bench/startup.sh     (another number of events; 0: empty)
# It measures WendraWin and the store maker of an optimised build as they stand and
# builds nothing (bench/measured_build.sh says how to build them). Goals: under
# 0.5 s and under 60 MB.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
mix=${2:-typical}

source "$root/bench/measured_build.sh"
measured_build WendraWin:WendraWin make_bench_store:make_bench_store
source "$root/tests/support/x_session.sh"
need Xvfb xprop xev stdbuf
x_session_folders
cp "$build/bin/WendraWin" "$prog/"
cp -r "$build/bin/icons" "$prog/icons" 2>/dev/null
events=${WENDRA_BENCH_EVENTS:-10000}
"$build/bin/make_bench_store" "$prog" "$events" "$mix" || exit 1
cp "$prog/WendraWin.dt" "$work/store.dt"
user_settings </dev/null
x_display

now_ms() { date +%s%3N; }
# utime and stime of the process (all its threads), in milliseconds.
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{sub(/^.*\) /, ""); print int(($12 + $13) * 1000 / hz)}' "/proc/$1/stat" 2>/dev/null; }
times=()
cpus=()
peaks=()
for run in $(seq "$runs"); do
    cp "$work/store.dt" "$prog/WendraWin.dt"  # every start finds the same store
    rm -f "$prog"/WendraWin.bak_* "$prog"/WendraWin.dt-wal "$prog"/WendraWin.dt-shm
    # Every window mapped on the screen is reported by xev; the loop below notes
    # when the first report arrives (within a few milliseconds).
    : >"$work/maps"
    stdbuf -oL xev -root -event substructure >"$work/maps" 2>/dev/null &
    watcher=$!
    sleep 0.5
    start=$(now_ms)
    "$prog/WendraWin" >"$work/run.log" 2>&1 &
    program=$!
    shown= cpu=
    for _ in $(seq 2000); do
        if grep -q '^MapNotify' "$work/maps"; then shown=$(now_ms); cpu=$(cpu_ms "$program"); break; fi
        sleep 0.005
    done
    sleep 1.5
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$program/status" 2>/dev/null)
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
    kill "$watcher" 2>/dev/null
    wait "$watcher" 2>/dev/null
    [ -n "$shown" ] && [ -n "$peak" ] || { echo "run $run: the window did not show"; cat "$work/run.log"; exit 1; }
    times+=($((shown - start)))
    cpus+=("$cpu")
    peaks+=("$(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}')")
    echo "run $run: window shown after $((shown - start)) ms (processor $cpu ms), peak memory ${peaks[-1]} MB"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }
count=$(sed -E ':a;s/([0-9])([0-9]{3})($|,)/\1,\2\3/;ta' <<<"$events")
echo "median over $runs starts ($mix store of $count events): $(median "${times[@]}") ms" \
     "(processor $(median "${cpus[@]}") ms), $(median "${peaks[@]}") MB"
