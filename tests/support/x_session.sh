# The rig of the whole-program tests, sourced by each script: a temporary work
# folder with the program folder, settings and runtime folders of one user, a
# virtual X server (with a window manager when asked), and the helpers to find
# windows and to fail with every log shown.
#   x_session_start EXE DATABASE ICONS [WM]   sets $work, $prog and $DISPLAY
#   user_settings < LINES      the settings of a user past the first start, and LINES
#   start_program              starts WendraWin, sets $program and its main $window
#   snap WINDOW NAME           a picture of the window, as $pictures/$label-NAME.png
# Exits 77 (skipped) when Xvfb, xdotool or the window manager asked for is missing.

pids=()
x_session_cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "${work:-}" ] && rm -rf "$work"
}

fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
    exit 1
}

x_session_start() {
    local exe=$1 database=$2 icons=${3:-} wm=${4:-}
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing"; exit 77; }
    [ -z "$wm" ] || command -v "$wm" >/dev/null || { echo "$wm missing"; exit 77; }

    work=$(mktemp -d "${TMPDIR:-/tmp}/wendra-e2e-XXXXXX")
    trap x_session_cleanup EXIT
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

    # A virtual X server on a free display. Two servers starting at the same moment
    # (tests run side by side) can both pick one number; the one that loses is
    # started again until it answers on a display of its own.
    local xvfb attempt
    for attempt in 1 2 3 4 5; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>>"$work/xvfb.log" &
        xvfb=$!
        pids+=($xvfb)
        for _ in $(seq 100); do [ -s "$work/display" ] && break; running "$xvfb" || break; sleep 0.1; done
        if [ -s "$work/display" ] && running "$xvfb"; then
            export DISPLAY=:$(tr -d '[:space:]' <"$work/display")
            xprop -root >/dev/null 2>&1 && running "$xvfb" && break
        fi
        kill -9 "$xvfb" 2>/dev/null
        unset DISPLAY
        sleep 0.$((RANDOM % 5 + 1))
    done
    [ -n "${DISPLAY:-}" ] || fail "the X server did not start"

    if [ -n "$wm" ]; then
        "$wm" >"$work/wm.log" 2>&1 &
        pids+=($!)
        # The manager is up once it has claimed the screen.
        for _ in $(seq 100); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "$wm did not start"
    fi
}

# Waits for a shown window of the process whose name matches; prints its id.
find_window() {
    timeout "$3" xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n 1
}
running() { kill -0 "$1" 2>/dev/null; }

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

# Starts the program of the session and waits a second past its main window.
start_program() {
    "$prog/WendraWin" >"$work/program.log" 2>&1 &
    program=$!
    pids+=($program)
    window=$(find_window "$program" '^Wendra[(]win[)]' 60)
    [ -n "$window" ] || fail "WendraWin showed no window"
    sleep 1
}
