#!/usr/bin/env bash
# The gadget's installation on WendraWin's first run, under a virtual X server
# with a window manager: the gadget package lies beside WendraWin, so its first
# start shows "Install Wendra(win) Sidebar Gadget?" with the installation page (a
# picture is taken), through the window's own program beside WendraWin; Install
# (the keyboard's Tab and Return) starts the gadget host from the package, which
# shows the list and writes its autostart entry, the window and its program go,
# and WendraWin's main window follows.
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, the
# gadget host, the gadget library, the gadget page's folder, the store maker, the
# installation page, the package marker, the installation window's program.
set -uo pipefail

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/gadget_session.sh"
gadget_session_start gadget-install openbox "" "$@"
cp "$9" "$prog/QVRGadgetInstall.htm"
cp "${10}" "$prog/WendraVista.gadget"
cp "${11}" "$prog/wendra-gadget-install"
# A new user: no settings yet.

"$prog/WendraWinVista" >"$work/program.log" 2>&1 &
program=$!
pids+=($program)
window_program=$(wait_process "$prog/wendra-gadget-install") || fail "the first run started no installation window"
pids+=($window_program)
offer=$(find_window "$window_program" '^Install Wendra[(]win[)] Sidebar Gadget[?]$' 60)
[ -n "$offer" ] || fail "the first run offered no gadget"
# The keys below reach the page only once it is there.
wait_drawn "$offer" || fail "the installation window showed no page"
frame=$(xwininfo -id "$offer" -tree 2>/dev/null | awk '/Parent window id:/ {print $4}')
snap "$(( ${frame:-$offer} ))" 1-install-window
press "$offer" Tab Return

host=$(wait_process "$prog/WendraGadgetHost" --install) || fail "Install started no gadget host"
pids+=($host)
host_window=$(find_window "$host" '^Wendra[(]win[)] Gadget$' 60)
[ -n "$host_window" ] || fail "the gadget host showed no window"
entry=$XDG_CONFIG_HOME/autostart/WendraGadgetHost.desktop
wait_until 10 test -f "$entry"
grep -qxF "Exec=$prog/WendraGadgetHost" "$entry" || fail "no autostart entry for the gadget host: $(cat "$entry" 2>&1)"
main_window=$(find_window "$program" '^Wendra[(]win[)]' 60)
[ -n "$main_window" ] || fail "WendraWin showed no main window after the offer"
wait_until 15 not running "$window_program" || fail "the installation window's program stayed"
gone=$(xdotool search --all --onlyvisible --name '^Install Wendra' 2>/dev/null)
[ -z "$gone" ] || fail "the installation window stayed open"
sleep 2
snap 0 2-installed-screen
echo "PASS"
