// Outlook mode's side of the main window: the connection the minute timer makes
// and the reconciliation of an event the user changed in the calendar's own
// window. The work is the reconciliation's (exchange/OutlookSync.h); here it
// meets the window's mode display, status picture, list and flags.
#include <string>

#include "mainwindow/frmMain.h"
#include "mainwindow/frmMode.h"

namespace wendra {

frmMain::OutlookWiring::OutlookWiring(frmMain& f) : f_(f) {
    f.onConnectOutlookDue = [&f] { f.connectOutlook(); };
    f.onSyncOutlook = [&f](const std::string& id, int calendar, const std::string& entryId) {
        f.syncOutlook(id, calendar, entryId);
    };
}

void frmMain::OutlookWiring::showModeFromSettings() { f_.showModeFromSettings(); }
void frmMain::OutlookWiring::showOutlookStatus(const std::string& imageKey) { f_.picOutlookStatus.setImageKey(imageKey); }
void frmMain::OutlookWiring::showConnectionFailure(const std::optional<std::string>& reason) {
    if (!reason) {
        // Connected: the failure the banner still shows is over.
        if (!failureShown_.empty() && f_.frameError.visible() && f_.lblError.caption() == failureShown_)
            f_.cmdErrorClose_Click();
        failureShown_.clear();
        return;
    }
    // Shown once: the minute timer tries again and again, and a banner the user
    // closed stays closed until the reason changes.
    const std::string text = frmMode::noConnectionText(*reason);
    if (text == failureShown_) return;
    failureShown_ = text;
    f_.showError(text);
}
void frmMain::OutlookWiring::updateList(const std::string& id) { f_.updateList(id); }
void frmMain::OutlookWiring::ListShowDeleted(const std::string& id) { f_.ListShowDeleted(id); }
void frmMain::OutlookWiring::setCheckingForUpdates(bool on) { f_.checkingForUpdates = on; }
void frmMain::OutlookWiring::setRefreshPending(bool on) { f_.refreshPending = on; }
bool frmMain::OutlookWiring::outlookFirstPass() const { return f_.outlookFirstPass; }
void frmMain::OutlookWiring::setOutlookFirstPass(bool on) { f_.outlookFirstPass = on; }

OutlookSync* frmMain::outlookSync() {
    if (!outlookSync_ && gData_ && gSettings_)
        outlookSync_ = std::make_unique<OutlookSync>(*gData_, *gSettings_, c_.outlook, state_, outlookWiring_);
    return outlookSync_.get();
}

void frmMain::connectOutlook() {
    if (ended()) return;
    if (OutlookSync* sync = outlookSync()) sync->connectOutlook();
}

void frmMain::syncOutlook(const std::string& nQVRId, int nXCalendarId, const std::string& sEntryId,
                          int nSyncCalendarId) {
    if (ended()) return;
    if (OutlookSync* sync = outlookSync()) sync->syncOutlook(nQVRId, nXCalendarId, sEntryId, nSyncCalendarId);
}

}  // namespace wendra
