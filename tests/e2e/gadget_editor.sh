#!/usr/bin/env bash
# The gadget's editor and the main program, with the real gadget library under a
# virtual X server with a window manager:
#   1. a click on the description of the weekly review's second occurrence opens the
#      event editor on that occurrence (a picture is taken); the description typed
#      there is saved into the store, and the page lists it once the editor closed;
#   2. a click on the WendraWin icon starts WendraWin (as WendraWinVista); an event
#      saved there reaches the page through onDataChanged, and the page is drawn
#      again when WendraWin ends.
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, the
# gadget host, the gadget library, the gadget page's folder, the store maker.
set -uo pipefail

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/gadget_session.sh"
gadget_session_start gadget-editor openbox "" "$@"
need sqlite3
user_settings </dev/null

descriptions="[...document.querySelectorAll('#idTable tr')].filter(r => r.cells.length == 2).map(r => r.cells[1].textContent).join('|')"

start_host

# ---- 1. the editor on the weekly review's second occurrence
# The page hands the library what the link gives; the test notes it on the way.
js "window.edits = []; window.editEventAsGiven = editEvent; editEvent = function (id, when, allDay) { edits.push([id, when, allDay]); editEventAsGiven(id, when, allDay); }" >/dev/null
review=$(store "SELECT WendraWinID FROM Events WHERE UniDesc = '$(hex "Weekly review")'")
[ -n "$review" ] || fail "the store holds no weekly review"
drawn=$(js drawCount)
click_redrawn "javascript:goForward" paging
click_link "javascript:editEvent('$review'"
editor=$(find_window "$host" '^Event Details$' 30)
[ -n "$editor" ] || fail "a click on the description opened no editor"
second=$(LC_ALL=C date -d "+9 days" +%d-%b-%y)
expect_js "JSON.stringify(edits)" "\"[[\\\"$review\\\",\\\"$second 10:00\\\",\\\"N\\\"]]\"" "the occurrence handed to the editor"
sleep 0.5
snap "$editor" 1-editor
press "$editor" ctrl+a
type_into "$editor" "Weekly planning"
press "$editor" alt+s
wait_gone "$host" '^Event Details$' || fail "Alt+S left the editor open"
saved=$(store "SELECT UniDesc FROM Events WHERE WendraWinID = $review" 2>&1)
[ "$saved" = "$(hex "Weekly planning")" ] || fail "the store holds \"$saved\" for the weekly review"
drawn=$(redrawn_since "$drawn") || fail "the page drew no list after the editor closed"
expect_js "$descriptions.split('|')[0]" '"Weekly planning"' "the list after the edit"
echo "edited: $(js "$descriptions")"
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 2-after-edit

# ---- 2. WendraWin started from the gadget; the page back at its first rows
click_redrawn "javascript:goBack" "paging back"
click_link "javascript:startQVR"
# Tests running beside this one start their own WendraWinVista: this one runs from $prog.
main=$(wait_process "$prog/WendraWinVista") || fail "the WendraWin icon started no WendraWinVista from $prog"
pids+=($main)
main_window=$(find_window "$main" '^Wendra[(]win[)]' 60)
[ -n "$main_window" ] || fail "WendraWin showed no window"
sleep 1
drawn=$(js drawCount)
press "$main_window" ctrl+n
new=$(find_window "$main" '^Event Details$' 30)
[ -n "$new" ] || fail "Ctrl+N opened no editor in WendraWin"
type_into "$new" "Saved in WendraWin"
press "$new" alt+s
drawn=$(redrawn_since "$drawn") || fail "a save in WendraWin did not reach the page"
wait_js "$descriptions.split('|').includes('Saved in WendraWin')" true
echo "after the save in WendraWin: $(js "$descriptions")"
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 3-saved-in-wendrawin
snap 0 3-screen
press "$main_window" alt+F4  # the window manager closes it
wait_until 20 not running "$main" || fail "WendraWin did not end"
redrawn_since "$drawn" >/dev/null || fail "the page was not drawn again when WendraWin ended"
running "$host" || fail "the host ended"
echo "PASS"
