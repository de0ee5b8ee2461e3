#!/usr/bin/env bash
# Start-up of the gadget host over a store of 10,000 events (not a test; run by hand):
#   - the time from starting WendraGadgetHost until its page has drawn the list the
#     first time, on a virtual X server;
#   - the processor time the host and its browser engine's processes take over 20
#     seconds between two changes of minute, once the list stands (idle: 0 ms).
#   bench/gadget_startup.sh [RUNS] [typical|repeating]
# It measures the programs of an optimised build as they stand and builds nothing
# (bench/measured_build.sh says how to build them).
# Goals: under 1.5 s, and 0 % between minutes.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
mix=${2:-typical}
events=${WENDRA_BENCH_EVENTS:-10000}

source "$root/bench/measured_build.sh"
measured_build WendraGadgetHost:WendraGadgetHost WendraGadget:libWendraGadget.so \
    make_bench_store:make_bench_store wendra_gadget_page:gadget/WendraGadget.html
source "$root/tests/support/x_session.sh"
need Xvfb xprop
x_session_folders
cp "$build/bin/WendraGadgetHost" "$build/bin/libWendraGadget.so" "$prog/"
cp -r "$build/bin/gadget" "$prog/gadget"
"$build/bin/make_bench_store" "$prog" "$events" "$mix" || exit 1
cp "$prog/WendraWin.dt" "$work/store.dt"
user_settings </dev/null
export WENDRA_GADGET_TEST_HOOK=1
x_display

now_ms() { date +%s%3N; }
ticks=$(getconf CLK_TCK)
descendants() {
    local p
    for p in $(pgrep -P "$1"); do echo "$p"; descendants "$p"; done
}
# The processor ticks of a process and of every process below it.
cpu_ticks() {
    local total=0 p
    for p in "$1" $(descendants "$1"); do
        total=$((total + $(awk '{print $14 + $15}' "/proc/$p/stat" 2>/dev/null || echo 0)))
    done
    echo "$total"
}

times=()
idles=()
for run in $(seq "$runs"); do
    cp "$work/store.dt" "$prog/WendraWin.dt"  # every start finds the same store
    rm -f "$prog"/WendraWin.dt-wal "$prog"/WendraWin.dt-shm
    start=$(now_ms)
    coproc HOST { exec "$prog/WendraGadgetHost" 2>"$work/host.log"; }
    host=$HOST_PID
    pids+=($host)
    drawn=
    for _ in $(seq 3000); do
        echo drawCount >&"${HOST[1]}"
        IFS= read -r -t 10 answer <&"${HOST[0]}" || break
        if [[ $answer =~ ^[1-9] ]]; then drawn=$(now_ms); break; fi
        sleep 0.01
    done
    [ -n "$drawn" ] || { echo "run $run: the list was not drawn"; cat "$work/host.log"; exit 1; }
    times+=($((drawn - start)))
    # 20 seconds that hold no change of minute.
    while second=$(date +%-S); [ "$second" -lt 2 ] || [ "$second" -gt 36 ]; do sleep 0.5; done
    sleep 1
    before=$(cpu_ticks "$host")
    sleep 20
    used=$(( ($(cpu_ticks "$host") - before) * 1000 / ticks ))
    idles+=($used)
    kill "$host" 2>/dev/null
    wait "$host" 2>/dev/null
    echo "run $run: list drawn after ${times[-1]} ms; ${used} ms of processor time in 20 s between minutes"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR + 1) / 2)]}'; }
echo "median over $runs starts ($mix store of $events events): list drawn after $(median "${times[@]}") ms," \
     "$(median "${idles[@]}") ms of processor time in 20 s between minutes"
