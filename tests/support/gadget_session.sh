# The gadget's part of the whole-program rig, sourced after x_session.sh:
#   gadget_session_start LABEL WM STORE ARGUMENTS...
#                        the X session (WM: "" or a window manager) and the gadget's
#                        folder (STORE: "" or hostile) from the gadget scripts' own
#                        arguments: WendraWin, its database, the icons, the grab tool,
#                        then those of gadget_folder; sets $grab and $label
#   gadget_folder HOST LIBRARY PAGES STORE-MAKER [hostile]
#                        lays the gadget out in $prog beside WendraWin: the host, the
#                        library (registered for the user as the setup registers it),
#                        the page with its icons, WendraWin again as WendraWinVista
#                        (the name the library starts), and a prepared store
#   start_host [ARGS]    starts the host with its test hook; sets $host and $host_window
#                        and waits for the first list
#   js EXPRESSION        the page's answer to a script expression, as JSON
#   expect_js EXPRESSION VALUE [WHAT]   fails unless the answer is VALUE
#   wait_js EXPRESSION VALUE            asks for up to 30 s until the answer is VALUE
#   redrawn_since N      waits until the page has drawn its list more than N times
#   click_link HREF      a user's click on the list's first link whose address starts so
#   click_redrawn HREF WHAT   clicks the link and waits until the page has drawn its
#                        list again ($drawn counts the lists drawn)
# Qt WebEngine renders without a GPU here (a virtual X server has none).

export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

gadget_session_start() {
    x_session "$1" "$2" "${@:4:4}"
    gadget_folder "${@:8:4}" $3
}

gadget_folder() {
    local host=$1 library=$2 pages=$3 maker=$4 kind=${5:-}
    [ -f "$library" ] || { echo "no gadget library $library"; exit 77; }
    cp "$host" "$prog/WendraGadgetHost"
    cp "$library" "$prog/libWendraGadget.so"
    cp -r "$pages" "$prog/gadget"
    cp "$prog/WendraWin" "$prog/WendraWinVista"
    mkdir -p "$XDG_DATA_HOME/WendraWin"
    printf '[WendraGadget.clsHTML]\nLibrary=%s\n' "$prog/libWendraGadget.so" >"$XDG_DATA_HOME/WendraWin/Components.ini"
    rm -f "$prog/WendraWin.dt"
    "$maker" "$prog" $kind >"$work/store.log" 2>&1 || fail "the store was not made: $(cat "$work/store.log")"
}

start_host() {
    coproc HOST { WENDRA_GADGET_TEST_HOOK=1 exec "$prog/WendraGadgetHost" "$@" 2>"$work/host.log"; }
    host=$HOST_PID
    pids+=($host)
    host_in=${HOST[1]}
    host_out=${HOST[0]}
    host_window=$(find_window "$host" '^Wendra[(]win[)] Gadget$' 60)
    [ -n "$host_window" ] || fail "the gadget host showed no window"
    redrawn_since 0 >/dev/null || fail "the page drew no list"
}

js() {
    local answer
    printf '%s\n' "$1" >&"$host_in" || fail "the host does not listen: $1"
    IFS= read -r -t 30 answer <&"$host_out" || fail "the page did not answer: $1"
    printf '%s\n' "$answer"
}

expect_js() {
    local answer
    answer=$(js "$1")
    [ "$answer" = "$2" ] || fail "${3:-$1}: the page answers $answer, not $2"
}

wait_js() {
    local answer
    for _ in $(seq 150); do
        answer=$(js "$1")
        [ "$answer" = "$2" ] && return 0
        sleep 0.2
    done
    fail "$1: the page answers $answer, not $2"
}

redrawn_since() {
    local count
    for _ in $(seq 150); do
        count=$(js drawCount)
        [[ $count =~ ^[0-9]+$ ]] && [ "$count" -gt "$1" ] && { echo "$count"; return 0; }
        sleep 0.2
    done
    return 1
}

click_link() {
    local where x y
    where=$(js "(r => Math.round(r.left + r.width / 2) + ' ' + Math.round(r.top + r.height / 2))(document.querySelector('#idTable a[href^=' + JSON.stringify(\"$1\") + ']').getBoundingClientRect())")
    read -r x y <<<"$(tr -d '"' <<<"$where")"
    [[ $x =~ ^[0-9]+$ && $y =~ ^[0-9]+$ ]] || fail "no link $1 in the list ($where)"
    xdotool mousemove --window "$host_window" "$x" "$y" click 1 || fail "the link $1 could not be clicked"
}

click_redrawn() {
    click_link "$1"
    drawn=$(redrawn_since "$drawn") || fail "$2 drew no list"
}
