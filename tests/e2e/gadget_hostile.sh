#!/usr/bin/env bash
# Descriptions made to break out of the gadget list's markup or its script
# arguments, with the real gadget library under a virtual X server: each shows as
# the text it is, in the list and in its countdown, and none runs. Every one would
# set window.injected (or call alert, which the test makes set it too) if it ran;
# after the list is drawn, drawn again and every countdown link clicked, it is
# still unset. A picture of the list is taken.
# Pictures go to WENDRA_GRAB_DIR when set (to look at them), else are dropped.
# Arguments: WendraWin, an empty WendraWin.dt, the icons folder, the grab tool, the
# gadget host, the gadget library, the gadget page's folder, the store maker.
set -uo pipefail

source "$(dirname "$0")/../support/x_session.sh"
source "$(dirname "$0")/../support/gadget_session.sh"
gadget_session_start gadget-hostile "" hostile "$@"
user_settings </dev/null

start_host
expect_js "typeof window.injected" '"undefined"' "after the first list"
js "window.alert = m => { window.injected = 'alert ' + m; }" >/dev/null
drawn=$(js drawCount)
# One page only: forward turns to no empty page, back draws the list again.
js "goForward(); goBack();" >/dev/null
redrawn_since "$drawn" >/dev/null || fail "the list was not drawn again"

# The texts as the store maker wrote them (JSON), in the list's order.
texts=$(head -n 1 "$work/store.log")
expect_js "JSON.stringify([...document.querySelectorAll('#idTable tr')].filter(r => r.cells.length == 2).map(r => r.cells[1].textContent))" \
    "$(js "JSON.stringify($texts)")" "the descriptions in the list"
expect_js "[...document.querySelectorAll('#idTable img')].every(i => /^(WendraWin|shrink|expand|left|right|help)[.]ico\$/.test(i.getAttribute('src')))" \
    true "only the toolbar's pictures"
expect_js "[...document.querySelectorAll('#idTable a')].every(a => /^javascript:(startQVR|expandPastEvents|goBack|goForward|displayHelp|showCountdown|editEvent)[(]/.test(a.getAttribute('href')))" \
    true "only the list's own links"
expect_js "document.querySelectorAll('#idTable a[href^=\"javascript:editEvent\"]').length" 8 "description links"
expect_js "document.getElementById('injected')" null
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 1-hostile-list

# Every countdown: the description as its text, the quotes turned to back-quotes.
count=$(js "document.querySelectorAll('#idTable a[href^=\"javascript:showCountdown\"]').length")
[ "$count" = 8 ] || fail "$count countdown links, not 8"
for i in $(seq 0 7); do
    js "document.querySelectorAll('#idTable a[href^=\"javascript:showCountdown\"]')[$i].click()" >/dev/null
    expect_js "document.getElementById('countdownDescription').textContent === $texts[$i].replace(/[\"']/g, '\`')" true \
        "the countdown of row $i"
done
sleep 0.5  # the page shows what it has drawn
snap "$host_window" 2-hostile-countdown
expect_js "typeof window.injected" '"undefined"' "after every countdown"
running "$host" || fail "the host ended"
echo "PASS"
