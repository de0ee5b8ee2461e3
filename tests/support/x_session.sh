# The rig of the whole-program tests, sourced by each script (and by the start-up
# benchmarks): a temporary work folder holding every folder of one user, a virtual X
# server of its own (with a window manager when asked), and the helpers to find
# windows, press keys and wait, and to fail with every log shown.
#   need TOOL...               exits 77 (skipped) unless every tool is installed
#   x_session_start EXE DATABASE ICONS [WM]   the work folder with WendraWin and its
#                              database in $prog, and the X server: sets $work, $prog, $DISPLAY
#   x_session LABEL WM EXE DATABASE ICONS GRAB   x_session_start from the arguments the
#                              scripts share; sets $grab, the camera, and $label, naming the pictures
#   x_session_folders          the work folder alone (sets $work, $prog and the user's folders)
#   x_display [WM]             the X server alone (sets $DISPLAY)
#   user_settings < LINES      the settings of a user past the first start, and LINES
#   launch LOG                 starts WendraWin from $prog, its output in $work/LOG.log; sets $program
#   start_program              launches WendraWin, sets its main $window and waits a second past it
#   find_window PID NAME SECONDS     the first shown window of the process with the name
#   wait_gone PID NAME         waits until the process shows no window with the name
#   wait_until SECONDS COMMAND...    asks every 0.2 s until the command succeeds
#   prints TEXT COMMAND...     succeeds when the command prints TEXT (for wait_until)
#   wait_process PATH [ARGS]   the process that runs the program PATH (with ARGS)
#   press WINDOW KEYS...       gives the window the keyboard as a click would, then presses keys
#   keyboard_at WINDOW         waits until the window just opened has the keyboard
#   type_into WINDOW TEXT      types there once it has
#   snap WINDOW NAME           a picture of the window, as $pictures/$label-NAME.png
#   wait_drawn WINDOW          waits until a picture of the window shows it drawn and still
#   hex TEXT                   TEXT as the store keeps a description
#   store QUERY                the answer of the session's database, waiting out the program's locks
#   device_peer PEER SCRIPT... the device peer playing SCRIPT on COM5 in $WENDRA_COM_DEVICES,
#                              its output in $work/peer.log; sets $peer_pid
# Everything waits for what it needs to see; only what the machine can fail at (a
# display number taken by a server starting beside this one, a window manager that
# could not reach its server) is tried again.

pids=()
x_session_cleanup() {
    local pid proc
    exec 2>/dev/null  # the shell's word on each job killed here
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    # What those started in turn (the WendraWin the gadget starts, a browser engine's
    # helpers) carries this session's runtime folder in its environment.
    if [ -n "${work:-}" ]; then
        for proc in /proc/[0-9]*; do
            [ "${proc#/proc/}" != $$ ] && grep -qzxF "XDG_RUNTIME_DIR=$work/run" "$proc/environ" 2>/dev/null &&
                kill -9 "${proc#/proc/}" 2>/dev/null
        done
    fi
    wait 2>/dev/null
    [ -n "${work:-}" ] && rm -rf "$work"
}

fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
    exit 1
}

need() {
    local tool
    for tool; do command -v "$tool" >/dev/null || { echo "$tool missing"; exit 77; }; done
}

x_session_start() {
    local exe=$1 database=$2 icons=${3:-} wm=${4:-}
    need Xvfb xdotool xprop $wm
    x_session_folders
    cp "$exe" "$prog/WendraWin"
    cp "$database" "$prog/WendraWin.dt"
    [ -n "$icons" ] && [ -d "$icons" ] && cp -r "$icons" "$prog/icons"
    x_display "$wm"
}

x_session() {
    label=$1
    grab=$6
    x_session_start "$3" "$4" "$5" "$2"
}

# Every folder a program, its browser engine or the window manager writes for the
# user lies in the work folder, so tests running side by side share none of them.
x_session_folders() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/wendra-e2e-XXXXXX")
    trap x_session_cleanup EXIT
    trap 'exit 143' TERM INT
    prog=$work/program
    mkdir -p "$prog" "$work/home" "$work/config" "$work/data" "$work/cache" "$work/run"
    chmod 700 "$work/run"
    export HOME=$work/home
    export XDG_CONFIG_HOME=$work/config
    export XDG_DATA_HOME=$work/data
    export XDG_CACHE_HOME=$work/cache
    export XDG_RUNTIME_DIR=$work/run
    # No session bus: without an address libdbus forks to start one, and the child of
    # a fork in a sanitized program with threads can spin forever on a lock another
    # thread held, leaving the program waiting for its bus and never showing a window.
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    export QT_QPA_PLATFORM=xcb
    # Qt and the X libraries keep allocations until the process ends; the sanitizer's
    # leak report at exit would be theirs, not the program's.
    export ASAN_OPTIONS=${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0
}

# A virtual X server on a free display, and the window manager when one is named.
# A server that lost its display number to one starting at the same moment, or a
# manager that did not come up, is shut down and the whole display started again.
x_wm=
x_display() {
    local wm=${1:-} attempt
    x_wm=$wm
    for attempt in 1 2 3 4 5; do
        x_server && { [ -z "$wm" ] || x_window_manager "$wm"; } && return 0
        x_display_down
        sleep 0.$((RANDOM % 5 + 1))
    done
    fail "the X server${wm:+ with $wm} did not start"
}

x_server_pid=
x_wm_pid=
x_server() {
    : >"$work/display"
    # -noreset: the server would otherwise start afresh whenever its last client
    # leaves, and a program connecting in that moment is turned away.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>>"$work/xvfb.log" &
    x_server_pid=$!
    pids+=($x_server_pid)
    wait_until 30 x_server_settled
    [ -s "$work/display" ] && running "$x_server_pid" || return 1
    export DISPLAY=:$(tr -d '[:space:]' <"$work/display")
    xprop -root >/dev/null 2>&1 && running "$x_server_pid"
}
x_server_settled() { [ -s "$work/display" ] || ! running "$x_server_pid"; }

# The manager is up once it has claimed the screen.
x_window_manager() {
    "$1" >>"$work/wm.log" 2>&1 &
    x_wm_pid=$!
    pids+=($x_wm_pid)
    wait_until 30 x_wm_settled
    x_wm_claimed && running "$x_wm_pid"
}
x_wm_claimed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
x_wm_settled() { x_wm_claimed || ! running "$x_wm_pid"; }

x_display_down() {
    local pid
    for pid in $x_wm_pid $x_server_pid; do kill -9 "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    x_wm_pid= x_server_pid=
    unset DISPLAY
}

wait_until() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 5))); do
        "$@" && return 0
        sleep 0.2
    done
    "$@"
}

running() { kill -0 "$1" 2>/dev/null; }
not() { ! "$@"; }
prints() {
    local text=$1
    shift
    [ "$("$@")" = "$text" ]
}

# Asks again and again rather than leaving the waiting to xdotool, which misses a
# window whose name comes after it is shown (a web page names its window late).
find_window() {
    local window
    for _ in $(seq $(($3 * 5))); do
        window=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n 1)
        [ -n "$window" ] && { echo "$window"; return 0; }
        sleep 0.2
    done
    return 1
}

shows_window() { [ -n "$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null)" ]; }
wait_gone() { wait_until 15 not shows_window "$1" "$2"; }

# A program started by another one is found by the file it runs (and the arguments
# it was given, when they matter).
wait_process() {
    local path=$1 args=${2:-} exe proc
    for _ in $(seq 150); do
        for exe in $(find /proc/[0-9]*/exe -maxdepth 0 -lname "$(sed 's/[][*?\\]/\\&/g' <<<"$path")" 2>/dev/null); do
            proc=${exe%/exe}
            [ -z "$args" ] || [ "$(tr '\0' ' ' <"$proc/cmdline" 2>/dev/null)" = "$path $args " ] || continue
            echo "${proc#/proc/}"
            return 0
        done
        sleep 0.2
    done
    return 1
}

# As a user's click would, the window manager raises and activates the window where
# there is one, and the window takes the keyboard.
press() {
    local window=$1
    shift
    [ -z "$x_wm" ] || timeout 10 xdotool windowactivate --sync "$window" 2>/dev/null
    timeout 10 xdotool windowfocus --sync "$window" 2>/dev/null || fail "window $window could not be focused"
    sleep 0.3
    xdotool key --clearmodifiers "$@"
}

keyboard_at() {
    wait_until 15 has_keyboard "$1" || fail "window $1 did not get the keyboard (it is at $(xdotool getwindowfocus 2>&1))"
}
type_into() {
    keyboard_at "$1"
    xdotool type --delay 30 "$2"
}
has_keyboard() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# The store keeps descriptions as the hex of their UTF-8 bytes.
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n' | tr a-f A-F; }
# A reader that meets the program's lock (while it writes, or folds its log back into
# the file as it closes the database) waits for it, as the program's own readers do.
store() { sqlite3 -cmd '.timeout 10000' "$prog/WendraWin.dt" "$1"; }

# The settings file of a user whose first start is over, with the INI lines given
# on standard input after its [Main] section.
user_settings() {
    { printf '[Main]\nInstalled=True\nModeWendraWin=True\n'; cat; } >"$work/config/WendraWin_A.ini"
}

# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped with
# the work folder; $grab is the camera, $label names the run.
snap() {
    local pictures=${WENDRA_GRAB_DIR:-$work/pictures}
    mkdir -p "$pictures"
    "$grab" "$1" "$pictures/$label-$2.png" || echo "(no picture $2)"
}

device_peer() {
    local peer=$1
    shift
    export WENDRA_COM_DEVICES=$work/com
    "$peer" "$WENDRA_COM_DEVICES" 5 "$@" >"$work/peer.log" 2>&1 &
    peer_pid=$!
    pids+=($peer_pid)
    wait_until 10 test -L "$WENDRA_COM_DEVICES/COM5" || fail "the peer made no COM5"
}

# A window not drawn yet is one colour, and so is its picture: a kilobyte or two as
# PNG; one showing text takes tens of kilobytes. Drawn is when two pictures in a row
# are alike and that large.
wait_drawn() {
    local look=$work/look.png before= now
    for _ in $(seq 150); do
        "$grab" "$1" "$look" 2>/dev/null
        now=$(cksum <"$look" 2>/dev/null)
        [ "$(stat -c %s "$look" 2>/dev/null || echo 0)" -gt 8192 ] && [ "$now" = "$before" ] && return 0
        before=$now
        sleep 0.2
    done
    return 1
}

launch() {
    "$prog/WendraWin" >"$work/$1.log" 2>&1 &
    program=$!
    pids+=($program)
}

# Starts the program of the session and waits a second past its main window.
start_program() {
    launch program
    window=$(find_window "$program" '^Wendra[(]win[)]' 60)
    [ -n "$window" ] || fail "WendraWin showed no window"
    sleep 1
}
