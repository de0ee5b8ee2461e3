#!/usr/bin/env bash
# An installation as a user makes it, under a virtual X server with a window manager:
#   1. `cmake --install` of the build into a fresh program folder whose path holds a
#      blank, with every file the programs open laid out beside them;
#   2. WendraWinCreator run from there shows its window (a picture is taken) and ends
#      by itself, saying on standard error only what failed: nothing, or, while the
#      gadget library is not part of the build, that it is missing;
#   3. WendraWin then runs from the installed folder with its window shown (as
#      WendraWinVista where the gadget is installed: its first run first offers
#      the gadget in a window of its own, shown by the installation window's
#      program, of which a picture is taken, closed by the window manager);
#   4. both desktop entries point at the installed program with its icon, and
#      desktop-file-validate accepts them; the component registration names the
#      installed gadget library for its three classes when the library is there;
#   5. a copy of the installed gadget host in a folder without the library finds it
#      through that registration alone and draws its list (a picture is taken).
# Pictures go to WENDRA_GRAB_DIR when set, else are dropped.
# Arguments: the build folder, WendraWin, an empty WendraWin.dt, the icons folder, the grab tool.
set -uo pipefail

build=$1
database=$3
source "$(dirname "$0")/../support/x_session.sh"
x_session installed openbox "${@:2}"
need desktop-file-validate
# The user's own folders where a desktop has them: below the home folder.
unset XDG_DATA_HOME

# ---- 1. the installation
prefix="$work/My Programs/WendraWin"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed"
for f in WendraWin Wendrawin.BAK wendra-gadget-install WendraWinCreator wendra-loadcheck wendra-calendar; do
    [ -x "$prefix/$f" ] || fail "$f is not installed as a program"
done
for f in WendraWin.dt QVRAlarm.wav QVRGadgetInstall.htm icons/WendraWin.png icons/imgNew.png; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
cmp -s "$prefix/WendraWin" "$prefix/Wendrawin.BAK" || fail "Wendrawin.BAK is not the main program"
if [ -e "$prefix/libWendraGadget.so" ]; then
    for f in WendraGadgetHost gadget/WendraGadget.html gadget/help.ico WendraVista.gadget; do
        [ -s "$prefix/$f" ] || fail "$f is not installed beside the gadget library"
    done
fi
# The gadget's package marker makes the setup name the main program WendraWinVista.
main_name=WendraWin
[ -e "$prefix/WendraVista.gadget" ] && main_name=WendraWinVista
# A database with the user's events in it is never replaced by a later installation.
echo "the user's events" >"$prefix/WendraWin.dt.mark"
cp "$prefix/WendraWin.dt.mark" "$prefix/WendraWin.dt"
cmake --install "$build" --prefix "$prefix" >>"$work/install.log" 2>&1 || fail "a second cmake --install failed"
cmp -s "$prefix/WendraWin.dt.mark" "$prefix/WendraWin.dt" || fail "a second installation replaced the database"
rm "$prefix/WendraWin.dt.mark" "$prefix/WendraWin.dt"
cp "$database" "$prefix/WendraWin.dt"
rm "$prefix/WendraWin"  # the setup puts it in place
echo "installed into $prefix"

# ---- 2. the setup
"$prefix/WendraWinCreator" >"$work/creator.log" 2>"$work/creator.err" &
creator=$!
pids+=($creator)
window=$(find_window "$creator" '^Wendra[(]win[)]  exe creator$' 60)
[ -n "$window" ] || fail "WendraWinCreator showed no window"
# The picture is of the window manager's frame, so it shows the caption too. It is
# taken at once: within a second the program the setup starts covers the window.
frame=$(xwininfo -id "$window" -tree 2>/dev/null | awk '/Parent window id:/ {print $4}')
snap "$(( ${frame:-$window} ))" setup-window
wait_until 30 not running "$creator" || fail "WendraWinCreator did not end by itself"
wait "$creator"
code=$?
# What the program it started says there (its browser engine, for one) is not its own.
said=$(grep '^WendraWinCreator' "$work/creator.err")
if [ -e "$prefix/libWendraGadget.so" ]; then
    [ "$code" = 0 ] || fail "WendraWinCreator ended with $code: $said"
    [ -z "$said" ] || fail "WendraWinCreator said: $said"
else
    expected="WendraWinCreator: cannot register libWendraGadget.so: $prefix/libWendraGadget.so is missing"
    [ "$code" = 1 ] || fail "WendraWinCreator ended with $code without the gadget library"
    [ "$said" = "$expected" ] || fail "WendraWinCreator said: $said"
fi
echo "setup: window $window, exit code $code"

# ---- 3. the main program, from the installed folder
main=$(wait_process "$prefix/$main_name") || fail "$main_name is not running from $prefix"
pids+=($main)
cmp -s "$prefix/$main_name" "$prefix/Wendrawin.BAK" || fail "the setup did not put Wendrawin.BAK in place"
[ "$(stat -c %a "$prefix/$main_name")" = 755 ] || fail "$main_name has mode $(stat -c %a "$prefix/$main_name")"
if [ "$main_name" = WendraWinVista ]; then
    # The window is shown by a program of its own beside WendraWin.
    offerer=$(wait_process "$prefix/wendra-gadget-install") || fail "the first run started no installation window"
    pids+=($offerer)
    offer=$(find_window "$offerer" '^Install Wendra[(]win[)] Sidebar Gadget[?]$' 60)
    [ -n "$offer" ] || fail "the first run offered no gadget"
    sleep 1
    snap "$offer" gadget-offer
    press "$offer" alt+F4  # the window manager closes it
fi
main_window=$(find_window "$main" '^Wendra[(]win[)]' 60)
[ -n "$main_window" ] || fail "WendraWin showed no window"
sleep 1
snap "$main_window" main-window
echo "WendraWin: process $main, window $main_window"

# ---- 4. the shortcuts and the registration
for entry in "$HOME/Desktop/Wendra(win).desktop" "$HOME/.local/share/applications/Brevant/Wendra(win).desktop"; do
    [ -f "$entry" ] || fail "no entry $entry"
    grep -qxF "Exec=\"$prefix/$main_name\"" "$entry" || fail "$entry does not start the installed program: $(cat "$entry")"
    grep -qxF "Icon=$prefix/icons/WendraWin.png" "$entry" || fail "$entry does not show the program's icon"
    desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
done
registration=$HOME/.local/share/WendraWin/Components.ini
if [ -e "$prefix/libWendraGadget.so" ]; then
    for class in WendraGadget.clsHTML WendraGadget.clsGrid WendraGadget.clsColumns; do
        grep -A1 -xF "[$class]" "$registration" | grep -qxF "Library=$prefix/libWendraGadget.so" ||
            fail "$class is not registered to the installed library"
    done
else
    [ ! -s "$registration" ] || fail "classes registered without a gadget library: $(cat "$registration")"
fi

# ---- 5. the gadget host, led to the library by the registration alone
if [ -e "$prefix/libWendraGadget.so" ]; then
    source "$(dirname "$0")/../support/gadget_session.sh"
    elsewhere="$work/host (elsewhere)"
    mkdir -p "$elsewhere"
    cp "$prefix/WendraGadgetHost" "$elsewhere/"
    cp -r "$prefix/gadget" "$elsewhere/"
    "$elsewhere/WendraGadgetHost" >"$work/host.log" 2>&1 &
    host=$!
    pids+=($host)
    host_window=$(find_window "$host" '^Wendra[(]win[)] Gadget$' 60)
    [ -n "$host_window" ] || fail "the gadget host showed no window: $(cat "$work/host.log")"
    grep -qF "$prefix/libWendraGadget.so" "/proc/$host/maps" ||
        fail "the gadget host did not load $prefix/libWendraGadget.so: $(cat "$work/host.log")"
    grep -q "could not be loaded" "$work/host.log" && fail "the gadget host said: $(cat "$work/host.log")"
    sleep 2
    snap "$host_window" gadget-host
    echo "gadget host: process $host, window $host_window"
fi
echo "PASS"
