#!/usr/bin/env bash
# WendraWin in Outlook mode over a calendar file another program shares
# (WENDRAWIN_CALENDAR), under a virtual X server:
#   1. the file holds an appointment of another program, the store an event of
#      WendraWin's own; the program starts in Outlook mode and its minute timer
#      connects to the calendar;
#   2. New (Ctrl+N) opens the appointment window: the appointment saved there is
#      in the file (read back with wendra-calendar, over libical) and in the store,
#      linked to it, and in the list after the first pass's refresh (F5);
#   3. the own event changed in WendraWin's Visibility dialog (Ctrl+V) is written
#      to an appointment of its own, with its prior warning;
#   4. after a restart every link is as it was, and the timer connects again;
#      Edit (Ctrl+E) opens the appointment of the row's event, and its new subject
#      comes back into the store;
#   5. Delete (Ctrl+D) of the upcoming event removes its appointment, of today's
#      all-day event hides it (kept in the file, out of the program's view); the
#      other program's appointment is untouched.
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, wendra-calendar.
set -uo pipefail

source "$(dirname "$0")/../support/x_session.sh"
x_session outlook-mode "" "$@"
need sqlite3
tool=$5

user_settings <<'INI'
[Mode]
WendraWin=False
Outlook=True
INI
mkdir -p "$work/shared"
export WENDRAWIN_CALENDAR=$work/shared/calendar.ics
cal=$WENDRAWIN_CALENDAR

day() { date -d "+$1 days" +%Y-%m-%d; }
# The appointment with this subject as wendra-calendar lists it: id, start, length, repeat, subject.
appointment() { "$tool" --file "$cal" list | awk -F '\t' -v s="$1" '$5 == s'; }
# The value of one of the program's properties on the appointment with this id.
property() {
    awk -v uid="UID:$1" -v name="X-NAME=$2;" '
        {sub(/\r$/, "")}
        /^BEGIN:VEVENT/ {inside=1; mine=0} $0 == uid {mine=1}
        /^END:VEVENT/ {inside=0}
        inside && mine && index($0, name) {sub(/^[^:]*:/, ""); print}' "$cal"
}
# The store's link of the event with this description: "calendar|entry id|status".
link_of() {
    store "SELECT x.XCalendarID || '|' || x.XID || '|' || ifnull(x.Status, 0) FROM XData x JOIN Events e
        ON e.WendraWinID = x.WendraWinID WHERE e.UniDesc = '$(hex "$1")'"
}
gone() { wait_gone "$program" "$1"; }
# The program writes the file and the store once its window has closed.
soon() { wait_until 10 "$@"; }
# The program reads the calendar only once its minute timer connects: it then
# holds the file open. The timer waits a minute and more, up to two.
wait_connected() {
    for _ in $(seq 150); do
        ls -l "/proc/$program/fd" 2>/dev/null | grep -q -- "-> $cal\$" && return 0
        running "$program" || fail "WendraWin ended"
        sleep 1
    done
    fail "WendraWin did not connect to the calendar"
}

# ---- 1. another program's appointment, WendraWin's own event, Outlook mode
"$tool" --file "$cal" add --subject "Staff meeting" --start "$(day 3) 10:00" >/dev/null || fail "no Staff meeting"
store "INSERT INTO Events (UniDesc, AllDayEvent, EventDate, ViewFromDate, PriorWarning, AutoDelete, iCalData,
    HiddenList, DescExceptions, hasExceptions, CreatorID, LastModified, Created, MSOCreated)
    VALUES ('$(hex 'Car service')', 0, '$(day 4) 08:30:00', '$(day 4) 08:30:00', -1, 'M', '', '', '', 0, -1,
    '$(day -3) 08:00:00', '$(day -3) 08:00:00', '1899-12-30 00:00:00')" || fail "no Car service"
staff=$(appointment "Staff meeting")

start_program
snap "$window" 1-connecting
wait_connected
soon prints 1 store 'SELECT count(*) FROM XCalendar' || fail "the calendar is not registered: $(store 'SELECT * FROM XCalendar')"
outlook_id=$(store 'SELECT XCalendarID FROM XCalendar')
echo "connected: calendar $outlook_id"
snap "$window" 2-connected

# ---- 2. New: the appointment window
press "$window" ctrl+n
appt=$(find_window "$program" '^Appointment$' 30)
[ -n "$appt" ] || fail "New opened no appointment window"
type_into "$appt" "Dentist"
sleep 0.3
snap "$appt" 3-appointment-window
press "$appt" Return
gone '^Appointment$' || fail "Return left the appointment window open"
soon not prints "" appointment "Dentist" || fail "the file holds no Dentist: $("$tool" --file "$cal" list)"
dentist=$(appointment "Dentist")
dentist_id=${dentist%%$'\t'*}
echo "in the file: $dentist"
soon prints "$outlook_id|$dentist_id|0" link_of Dentist || fail "Dentist is linked as \"$(link_of Dentist)\""
# The first pass held the list's updates back; a refresh shows them.
press "$window" F5
sleep 1
snap "$window" 4-new-in-list

# ---- 3. WendraWin's own event through its Visibility dialog: nine days' warning
press "$window" ctrl+Home Down
press "$window" ctrl+v
visibility=$(find_window "$program" '^Visibility$' 30)
[ -n "$visibility" ] || fail "Ctrl+V opened no Visibility dialog"
keyboard_at "$visibility"
# The focus walks the options from the checked one; Space takes the tenth.
for _ in $(seq 10); do xdotool key Down; sleep 0.05; done
xdotool key space
snap "$visibility" 5-visibility
press "$visibility" alt+s
gone '^Visibility$' || fail "Alt+S left the Visibility dialog open"
soon not prints "" appointment "Car service" ||
    fail "Car service was not written to the calendar: $("$tool" --file "$cal" list)"
car=$(appointment "Car service")
car_id=${car%%$'\t'*}
soon prints "$outlook_id|$car_id|0" link_of 'Car service' || fail "Car service is linked as \"$(link_of 'Car service')\""
soon prints 9 property "$car_id" qvrPriorWarn ||
    fail "Car service's warning in the file: \"$(property "$car_id" qvrPriorWarn)\" in $(cat "$cal")"
echo "written: $car"
links=$(store 'SELECT * FROM XData ORDER BY rowid')

# ---- 4. a restart keeps every link; Edit through the appointment window
press "$window" ctrl+x
wait_until 20 not running "$program" || fail "Exit left WendraWin running"
start_program
[ "$(store 'SELECT * FROM XData ORDER BY rowid')" = "$links" ] || fail "the links changed at the restart"
wait_connected
snap "$window" 6-restarted
press "$window" ctrl+Home
press "$window" ctrl+e
appt=$(find_window "$program" '^Dentist - Appointment$' 30)
[ -n "$appt" ] || fail "Edit opened no appointment window on Dentist"
# The keys waited for the timer's pass to end: whatever it registers is in the store.
[ "$(store 'SELECT count(*) FROM XCalendar')" = 1 ] || fail "the calendar was registered again"
press "$appt" ctrl+a
type_into "$appt" "Dentist at nine"
press "$appt" Return
gone 'Appointment$' || fail "Return left the appointment window open"
soon not prints "" appointment 'Dentist at nine' || fail "the file holds: $("$tool" --file "$cal" list)"
soon prints "$outlook_id|$dentist_id|0" link_of 'Dentist at nine' ||
    fail "the store holds: $(store 'SELECT UniDesc FROM Events'), links: $(store 'SELECT * FROM XData')"
sleep 1
snap "$window" 7-edited

# ---- 5. Delete: the upcoming event goes, today's all-day one is hidden
# Delete (Alt+D) in the dialog Ctrl+D opens on the row the keys lead to; a picture
# of the dialog when named.
delete_row() {
    local what=$1 picture=$2
    shift 2
    press "$window" "$@"
    press "$window" ctrl+d
    dialog=$(find_window "$program" '^Hide / Delete$' 30)
    [ -n "$dialog" ] || fail "Ctrl+D opened no dialog for $what"
    sleep 0.5
    [ -z "$picture" ] || snap "$dialog" "$picture"
    press "$dialog" alt+d
    gone '^Hide / Delete$' || fail "Alt+D left the dialog open for $what"
}
delete_row "Car service" 8-delete ctrl+Home Down
soon prints "" appointment 'Car service' || fail "Car service is still in the file"
soon prints "" link_of 'Car service' || fail "Car service is still in the store"
soon prints 1 store "SELECT Status FROM XData WHERE XID = '$car_id'" || fail "links: $(store 'SELECT * FROM XData')"

delete_row "Dentist at nine" "" ctrl+Home
soon prints 99991231T000000 property "$dentist_id" qvrViewFromDate ||
    fail "Dentist at nine is not hidden in the file: \"$(property "$dentist_id" qvrViewFromDate)\" in $(cat "$cal")"
soon prints 2 store "SELECT Status FROM XData WHERE XID = '$dentist_id'" || fail "links: $(store 'SELECT * FROM XData')"
[ -n "$(appointment 'Dentist at nine')" ] || fail "today's appointment left the file"
[ "$(appointment 'Staff meeting')" = "$staff" ] || fail "the other program's appointment changed"
sleep 1
snap "$window" 9-deleted
running "$program" || fail "WendraWin ended"
echo "PASS"
