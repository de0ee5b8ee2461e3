// The main window's minute timer: the countdowns of today's timed rows, the
// caption, the alarm and the status-bar watchdogs. The arithmetic and texts are
// in Countdown and MinuteTick; here they meet the window's controls and state.
#include <climits>
#include <memory>
#include <optional>
#include <string>

#include "list/Countdown.h"
#include "mainwindow/MinuteTick.h"
#include "mainwindow/frmMain.h"
#include "platform/clock/Clock.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr int kStatusPanel = 1;
constexpr int kCommPanel = 2;


// A tick may come a moment before the minute it was armed for (a timer is only
// as exact as its clock); within this much it is the same tick, re-armed to the
// minute instead of counting the minute twice.
constexpr int kEarlyTickSeconds = 2;

}  // namespace

frmMain::TimerWiring::TimerWiring(frmMain& f) {
    f.timerDispTimes.onTimer = [&f] { f.timerDispTimes_Timer(); };
    f.mnuAlarm.onClick = [&f] { f.mnuAlarm_Click(); };
}

std::string frmMain::formatTimeTo(DateTime d) const { return countdown::formatTimeTo(now(), d); }

bool frmMain::listBusyNow() const { return listBusy(); }

void frmMain::rearmMinuteTimer(DateTime present) {
    const int ms = tick::rearmIntervalMs(present);
    timerDispTimes.setEnabled(false);
    timerDispTimes.setInterval(ms);
    timerDispTimes.setEnabled(true);
    nextTick_ = present.addSeconds(ms / 1000);
}

void frmMain::timerDispTimes_Timer() {
    const DateTime present = now();
    // Armed first, whatever follows, so that the timer outlives any failure below.
    if (!nextTick_.isNull() && present < nextTick_ &&
        nextTick_.seconds() - present.seconds() <= kEarlyTickSeconds) {
        // Before the minute it was meant for: armed onto that minute, nothing more.
        timerDispTimes.setEnabled(false);
        timerDispTimes.setInterval(static_cast<int>(nextTick_.seconds() - present.seconds()) * 1000);
        timerDispTimes.setEnabled(true);
        return;
    }
    rearmMinuteTimer(present);
    if (!gSettings_ || ended()) return;  // before the start-up has made the settings

    try {
        const tick::StatusStamps stamps{connectingSince, checkingSince, state_.gLastSyncActivity};
        const auto due = tick::checkWatchdogs(StatusBar1.text(kStatusPanel), StatusBar1.text(kCommPanel),
                                                   stamps, present);
        if (due.connectOutlook && onConnectOutlookDue) onConnectOutlookDue();
        if (due.endChecking) {
            checkingForUpdates = false;
            showMode(state_.gCurrentMode);
        }
        if (due.restoreCommStatus) showCommStatus();

        // A list built on another day shows that day's day counts and no countdown for
        // today's events: it is built again first. Not under an open dialog, which
        // may hold a row of it; a later tick does it once the dialog is closed. A busy
        // list takes the rebuild after the request it is running.
        if (listDay_.isNull()) listDay_ = present.date();  // the start-up built it just now
        if (present.date() != listDay_ && modalDialogs == 0) {
            listDay_ = present.date();
            refreshList();
        }
        // The first connection to a calendar without links held back the list's
        // updates; once its check is over the list is built again with all of them.
        if (refreshPending && !checkingForUpdates && modalDialogs == 0) refreshList();

        if (listBusyNow()) {
            // The rows are moving: the countdowns wait for the end of the list's work.
            rowWorkHeld_ = true;
            return;
        }
        tickRowWork();
    } catch (...) {
        // A failed tick ends silently; the timer is armed already.
    }
}

void frmMain::tickRowWork() {
    rowWorkHeld_ = false;
    captionCountdown.clear();
    if (!timedRows.empty()) updateTimedRows();
    updateCaption();
}

void frmMain::collectTimedRows() {
    timedRows.clear();
    const int rows = msGrid.rows();
    for (int r = 0; r < rows; ++r) {
        if (countdown::isCountdown(msGrid.textMatrix(r, grdWendra))) appendTimedRow(r);
    }
    // The first build is the start-up's, of the day it ran on.
    if (listDay_.isNull()) listDay_ = now().date();
    if (rowWorkHeld_) {
        try {
            tickRowWork();
        } catch (...) {
            rowWorkHeld_ = false;
        }
    }
}

void frmMain::updateTimedRows() {
    captionCountdown.clear();
    nextEventDescription.clear();
    if (!gSettings_) return;
    try {
        const bool longDesc = gSettings_->ViewLongDesc();
        int best = INT_MAX;
        for (const int r : timedRows) {
            if (r < 0 || r >= msGrid.rows()) continue;
            const std::string key = msGrid.textMatrix(r, grdKey);
            // The time comes from the row key (or the occurrence the list keeps with
            // the row), never from the date text of the row, whose two-digit year
            // would read 2030 as 1930. A row without either is left as it is.
            std::optional<DateTime> when = countdown::keyOccurrence(key);
            if (!when) {
                if (const auto kept = rowOccurrence(r)) when = kept->when;
            }
            if (!when) continue;
            const std::string old = msGrid.textMatrix(r, grdWendra);
            const std::string cd = formatTimeTo(*when);
            msGrid.setTextMatrix(r, grdWendra, cd);
            const std::string description = rowKeyDescription(key);
            if (longDesc) msGrid.setTextMatrix(r, grdSubject, countdown::longDescription(cd, description));
            if (!countdown::isPassed(old) && countdown::isPassed(cd)) {
                // It has just passed: red once; the next ticks find it passed already.
                msGrid.setCellForeColourAt(r, grdWendra, listcolours::red);
                msGrid.setCellForeColourAt(r, grdSubject, listcolours::red);
            }
            if (r < best && !countdown::isPassed(cd) && msGrid.textMatrix(r, grdModified) != "X") {
                captionCountdown = countdown::captionCountdown(cd, description);
                nextEventDescription = description;
                best = r;
            }
        }
        if (startsWith(captionCountdown, countdown::kNow)) soundAlarm();
    } catch (...) {
        // Ends silently, as the tick does.
    }
}

void frmMain::soundAlarm() {
    // While the alarm sounds already, the caption it keeps is the window's own one;
    // the alarm text on the window now must not take its place.
    if (!alarmSounding_) savedCaption = caption();
    setCaption(std::string(tick::kAlarmCaption));
    if (!gSettings_ || !gSettings_->Alarm()) {
        setCaption(savedCaption);
        return;
    }
    if (alarmSounding_) return;  // one sound at a time; it is still going
    alarmSounding_ = true;
    const std::uint64_t play = ++alarmPlays_;
    std::weak_ptr<bool> alive = alive_;
    const std::string file = gSettings_->InstallDir() + std::string(tick::kAlarmFile);
    try {
        // The sound calls back when it ends, or at once when it cannot sound (no
        // file, no device): either way the caption comes back.
        sound().play(file, [this, alive, play] {
            if (alive.expired() || play != alarmPlays_) return;
            alarmSounding_ = false;
            setCaption(savedCaption);
        });
    } catch (...) {
        alarmSounding_ = false;
        setCaption(savedCaption);
    }
}

void frmMain::updateCaption() {
    const bool minimized = windowState() == ui::WindowState::Minimized;
    const int view = gSettings_ ? gSettings_->ViewCountdown() : 0;
    std::string text = tick::windowCaption(minimized, view, captionCountdown, now());
    if (alarmSounding_) {
        // The alarm text stays up until the sound ends; this is what comes back then.
        savedCaption = std::move(text);
    } else {
        setCaption(std::move(text));
    }
    if (!minimized) layoutForm();
}

void frmMain::toggleAlarm() {
    if (!gSettings_) return;
    const bool on = !gSettings_->Alarm();
    gSettings_->setAlarm(on);
    mnuAlarm.setChecked(on);
    showAlarmButton();
}

void frmMain::mnuAlarm_Click() { toggleAlarm(); }

}  // namespace wendra
