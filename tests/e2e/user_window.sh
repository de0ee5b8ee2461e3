#!/usr/bin/env bash
# What a new user meets in the main window, under a virtual X server, with or
# without a window manager (the fourth argument names one, such as openbox):
#   1. with a 14 point list font (and column widths an 8 point font left in the
#      settings) the window shows; a picture of it is taken;
#   2. F2 (View, Display Minimal) leaves a visible window as tall as its caption,
#      and F2 again brings the whole window back at its old size;
#   3. Ctrl+N opens the event editor with the focus in the description: typing
#      fills it, and Alt+S saves it into the store, where it is read back;
#   4. the new event's row is in a picture of the window with the 14 point font;
#   5. ended by SIGTERM (as a logout ends it), it ends as File, Exit does, with exit
#      code 0 and its place and width saved, the width as it was at its start;
#   6. started again and ended by File, Exit (Ctrl+X), it keeps that place and width
#      (a window manager's frame is not added to the width at each start).
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, [WM].
set -uo pipefail

wm=${5:-}
source "$(dirname "$0")/../support/x_session.sh"
x_session "${wm:-no-wm}" "$wm" "$@"
need sqlite3 xwininfo

# A user of some standing: settings of an earlier start, a 14 point font since.
user_settings <<'INI'
[View]
FontName=DejaVu Sans
FontSize=14
Date=873
Time=485
Wendra=679
DayOfWeek=-9
Top=300
Left=200
Width=7200
INI

# xwininfo's answer for one window: "viewable height" (without a window it would ask
# for a click).
window_state() {
    [ -n "$1" ] || return 0
    xwininfo -id "$1" 2>/dev/null |
        awk '/Map State:/ {m=$3} /^ *Height:/ {h=$2} END {print m, h}'
}
# Waits until the main window's state satisfies the test (an awk condition on m and
# h): sets $window and $state. Keeping the window on top (or no longer) makes Qt give
# it a new X window, so each look finds it again.
wait_state() {
    for _ in $(seq 75); do
        window=$(xdotool search --all --onlyvisible --pid "$program" --name '^Wendra[(]win[)]' 2>/dev/null | head -n 1)
        state=$(window_state "$window")
        awk "{m=\$1; h=\$2} $1 {ok=1} END {exit !ok}" <<<"$state" && return 0
        sleep 0.2
    done
    return 1
}

start_program
read -r map normal < <(window_state "$window")
[ "$map" = IsViewable ] && [ "${normal:-0}" -gt 50 ] || fail "the window is $map $normal pixels high"
echo "window $window: $map, $normal pixels high"
snap "$window" 1-start

# ---- 2. the minimal display and back
press "$window" F2
wait_state "m == \"IsViewable\" && h > 0 && h < $normal" ||
    fail "after F2 the window is \"$state\" (it was $normal pixels high)"
echo "minimal display: $state"
sleep 0.5
state=$(window_state "$window")
echo "$state" | grep -q '^IsViewable' || fail "the minimal window vanished: $state"
snap "$window" 2-minimal
snap 0 2-minimal-screen
press "$window" F2
wait_state "m == \"IsViewable\" && h == $normal" ||
    fail "F2 again left the window \"$state\", not $normal pixels high"
echo "normal display again: $state"

# ---- 3. a new event typed at once
press "$window" ctrl+n
editor=$(find_window "$program" '^Event Details$' 30)
[ -n "$editor" ] || fail "Ctrl+N opened no editor"
# The keys go wherever the editor put its focus.
type_into "$editor" "Dentist at nine"
sleep 0.3
snap "$editor" 3-editor
press "$editor" alt+s
wait_gone "$program" '^Event Details$' || fail "Alt+S left the editor open"
# The main window saves what the editor holds once the editor has closed.
typed=$(hex "Dentist at nine")
saved() { store "SELECT UniDesc FROM Events" 2>&1; }
wait_until 10 prints "$typed" saved || fail "the store holds \"$(saved)\" instead of the typed description ($typed)"
echo "saved: Dentist at nine"

# ---- 4. the list with its new row, in the 14 point font
sleep 1
snap "$window" 4-list
running "$program" || fail "WendraWin ended"

# ---- 5. SIGTERM: the window's place and width, which its start saved with the
# list, are saved again when it ends (taken out of the file first, to be seen)
placed() { grep -E '^(Top|Left|Width)=' "$work/config/WendraWin_A.ini" | sort | tr '\n' ' '; }
ended_by_itself() { wait_until 30 not running "$program" && wait "$program"; }
at_start=$(placed)
[[ "$at_start" == *"Width=7200 "* ]] || fail "the start saved another width: $at_start"
sed -i '/^\(Top\|Left\|Width\)=/d' "$work/config/WendraWin_A.ini"
kill -TERM "$program"
ended_by_itself || fail "after SIGTERM WendraWin ended with $? or not at all"
after_term=$(placed)
# The place as the screen has it: a stored place between two pixels comes back on one.
[[ "$after_term" =~ ^Left=[0-9]+\ Top=[0-9]+\ Width=7200\ $ ]] ||
    fail "SIGTERM saved \"$after_term\" (the start had saved \"$at_start\")"
echo "SIGTERM: ended with 0, saved $after_term"

# ---- 6. a start and File, Exit keep it
start_program
press "$window" ctrl+x
ended_by_itself || fail "after File, Exit WendraWin ended with $? or not at all"
[ "$(placed)" = "$after_term" ] || fail "a start and an exit changed \"$after_term\" into \"$(placed)\""
echo "start and exit: kept $(placed)"
echo "PASS"
