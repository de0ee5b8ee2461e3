#!/usr/bin/env bash
# The gadget host with the real gadget library over a prepared store, under a
# virtual X server:
#   1. the page lists the store's events in the fragment's colours, the two past
#      events folded into one red row; a picture is taken;
#   2. a click on the expand icon lists the past events one by one (picture), and
#      one on the shrink icon folds them again;
#   3. a click on the right arrow shows the next ten rows (picture), one on the left
#      arrow the first ten again;
#   4. a click on the days of a row shows its countdown.
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, the
# gadget host, the gadget library, the gadget page's folder, the store maker.
set -uo pipefail

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/gadget_session.sh"
gadget_session_start gadget-list "" "" "$@"
user_settings </dev/null

start_host
descriptions="[...document.querySelectorAll('#idTable tr')].filter(r => r.cells.length == 2).map(r => r.cells[1].textContent).join('|')"
# A row as its two cells show it: back colour/fore colour/text of each.
js "window.rowOf = d => { const r = [...document.querySelectorAll('#idTable tr')].find(r => r.cells.length == 2 && r.cells[1].textContent == d); return r ? [...r.cells].map(c => [c.getAttribute('bgcolor'), (c.querySelector('font') || c).getAttribute('color'), c.textContent].join('/')).join(' | ') : null; }" >/dev/null

# ---- 1. the list, the past events folded
expect_js "$descriptions" '"Today'"'"'s reminder|Dentist|Weekly review|Event 01|Event 02|Event 03|Event 04|Event 05|Event 06"' "the first page"
expect_js "document.querySelector('#idTable td[colspan=\"2\"][bgcolor=\"red\"]').textContent" '"2 past events"'
expect_js "rowOf(\"Today's reminder\")" '"#FFFF80/Blue/* | #FFFF80/Blue/Today'"'"'s reminder"' "today's all-day row"
expect_js "rowOf('Dentist')" '"Lime/Black/1 | #FFFF80/Black/Dentist"' "tomorrow's row"
expect_js "[...document.images].filter(i => !i.complete || i.naturalWidth === 0).length" 0 "icons that did not load"
echo "list: $(js "$descriptions")"
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 1-list

# ---- 2. the past events one by one, and folded again
drawn=$(js drawCount)
click_redrawn "javascript:expandPastEvents" expanding
expect_js "$descriptions.split('|').slice(0, 3).join('|')" '"Past three days|Past two days|Today'"'"'s reminder"' "the expanded list"
expect_js "rowOf('Past three days')" '"Red/White/-3 | #FFFF80/Red/Past three days"' "a past row"
expect_js "!!document.querySelector('#idTable img[src=\"shrink.ico\"]')" true
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 2-expanded
click_redrawn "javascript:expandPastEvents" folding
expect_js "$descriptions.split('|')[0]" '"Today'"'"'s reminder"' "the folded list"

# ---- 3. the next page and back
click_redrawn "javascript:goForward" paging
expect_js "$descriptions.split('|').slice(0, 3).join('|')" '"Weekly review|Event 07|Event 08"' "the second page"
expect_js "!!document.querySelector('#idTable a[href=\"javascript:goBack()\"]')" true "the back link"
echo "second page: $(js "$descriptions")"
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 3-paged
click_redrawn "javascript:goBack" "paging back"
expect_js "$descriptions.split('|')[0]" '"Today'"'"'s reminder"' "the first page again"

# ---- 4. the countdown of the dentist's row
click_link "javascript:showCountdown($(date -d tomorrow +%Y,%-m,%-d),9,30,0,'Y','Dentist')"
wait_js "document.getElementById('countdown').hidden" false
expect_js "document.getElementById('countdownDescription').textContent" '"Dentist"'
expect_js "/^in \\d+ (day|hour|minute)/.test(document.getElementById('countdownLeft').textContent)" true "the countdown"
echo "countdown: $(js "document.getElementById('countdownLeft').textContent")"
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 4-countdown
running "$host" || fail "the host ended"
echo "PASS"
