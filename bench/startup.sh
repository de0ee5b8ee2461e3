#!/usr/bin/env bash
# Start-up of WendraWin over a store of 10,000 events (not a test; run by hand):
# the time from starting the program until its main window is mapped on a
# virtual X server, and the process's peak memory (resident set) once the window
# shows and its first minute tick has run.
#   bench/startup.sh [RUNS] [typical|repeating]
# Builds the optimised build (build/, as `make build`) of WendraWin and the
# store maker first. Goals: under 0.5 s and under 60 MB.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
mix=${2:-typical}
build=$root/build

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build "$build" -j 6 --target WendraWin make_bench_store >/dev/null || exit 1
command -v Xvfb >/dev/null && command -v xev >/dev/null && command -v stdbuf >/dev/null ||
    { echo "Xvfb, xev (x11-utils) and stdbuf are needed"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/wendra-startup-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

prog=$work/program
mkdir -p "$prog" "$work/config" "$work/run"
chmod 700 "$work/run"
cp "$build/bin/WendraWin" "$prog/"
cp -r "$build/bin/icons" "$prog/icons" 2>/dev/null
"$build/bin/make_bench_store" "$prog" "${WENDRA_BENCH_EVENTS:-10000}" "$mix" || exit 1
cp "$prog/WendraWin.dt" "$work/store.dt"
printf '[Main]\nInstalled=True\nModeWendraWin=True\n' >"$work/config/WendraWin_A.ini"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -d '[:space:]' <"$work/display")

now_ms() { date +%s%3N; }
times=()
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
    shown=
    for _ in $(seq 2000); do
        if grep -q '^MapNotify' "$work/maps"; then shown=$(now_ms); break; fi
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
    peaks+=("$(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}')")
    echo "run $run: window shown after $((shown - start)) ms, peak memory ${peaks[-1]} MB"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }
echo "median over $runs starts ($mix store of 10,000 events): $(median "${times[@]}") ms, $(median "${peaks[@]}") MB"
