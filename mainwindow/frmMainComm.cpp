// The main window's serial link to the device: the port as the settings name it,
// its state in panel 2, the receive handler and its poll, and sending. Messages
// are cut by the framer, read by the calendar reader and answered by the
// synchronisation (exchange/); here they meet the window's port, panel, timer,
// banner, save and list.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <utility>

#include "mainwindow/CommPort.h"
#include "mainwindow/frmMain.h"

namespace wendra {

namespace {

constexpr int kStatusPanel = 1;

// Texts of panel 2 that the receive handler leaves standing: an exchange is going on.
bool showsExchange(const std::string& text) {
    return text == frmMain::kTextSyncInProgress || text.starts_with('>');
}

// Clears a flag however the scope is left.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
};

}  // namespace

// ---- the port and its panel ----------------------------------------------------------

bool frmMain::openCommPort(bool bDisplayWarn) {
    if (!gSettings_) return false;
    const int p = gSettings_->CommPort();
    if (wendra::openCommPort(c_.serialPort, p, bDisplayWarn, c_.services.messages)) {
        showCommStatus();
        return true;
    }
    showPortError(p);
    return false;
}

void frmMain::showPortError(int port) {
    StatusBar1.setText(kCommPanel, "COM" + std::to_string(port) + "  (Error)");
    StatusBar1.setImageKey(kCommPanel, "imgCommErr");
}

void frmMain::showCommStatus() {
    if (!gSettings_) return;
    // What the line is, not what the setting wishes: port 0 is never opened, and a
    // port that would not open is not shown as open by a later call.
    const int p = gSettings_->CommPort();
    const SerialPort& port = c_.serialPort;
    if (port.isOpen()) {
        StatusBar1.setText(kCommPanel, "COM" + std::to_string(port.portNumber()) + "  (Open)");
        StatusBar1.setImageKey(kCommPanel, "imgCommOK");
    } else if (p < 1) {
        StatusBar1.setText(kCommPanel, "COM: None");
        StatusBar1.setImageKey(kCommPanel, "");
    } else {
        showPortError(p);
    }
}

void frmMain::StatusBar1_PanelClick(int panel) {
    if (panel != kCommPanel) return;
    // A click while the port is about to close changes nothing.
    if (timerClosePort.running()) return;
    SerialPort& port = c_.serialPort;
    if (!port.isOpen()) {
        openCommPort(false);
        return;
    }
    StatusBar1.setImageKey(kCommPanel, "imgCommErr");
    StatusBar1.setText(kCommPanel, "Closing COM" + std::to_string(port.portNumber()) + "...");
    pointerBeforeClose_ = mousePointer();
    setMousePointer(ui::MousePointer::Hourglass);
    timerClosePort.setInterval(kClosePortDelayMs);
}

void frmMain::closeAndReopenPort() {
    timerClosePort.setInterval(0);
    c_.serialPort.close();
    setMousePointer(pointerBeforeClose_);
    openCommPort(false);
}

// ---- receiving ---------------------------------------------------------------------------

void frmMain::MSComm1_OnComm() {
    framer_.append(c_.serialPort.readAll());
    // Called again from inside a message's handling (a nested event, a tick): the
    // bytes are kept, and the handling under way takes their messages in turn.
    if (receiving_) return;
    const Raised guard(receiving_);

    if (!showsExchange(StatusBar1.text(kCommPanel))) StatusBar1.setText(kCommPanel, std::string(kTextIncomingData));
    // Set before the messages are handled, so that the interval a message asks for
    // (a cancel's, an export end's) is the one that stands.
    timerCheckComm1.setInterval(kPollAfterReceiveMs);
    while (auto message = framer_.next()) {
        try {
            handleMessage(*message);
        } catch (const std::exception&) {
            // A message that could not be handled is not the end of the link: the
            // next one still gets its turn.
        }
    }
    if (!showsExchange(StatusBar1.text(kCommPanel))) showCommStatus();
}

void frmMain::handleMessage(const FramedMessage& message) {
    // Only a copy, for whoever wants to see what came: the read below works on
    // the message itself, so a folder that cannot be written loses nothing.
    extractToFile(messageFolder, message);
    if (message.kind == MessageKind::SyncCancel) {
        // The framer has already dropped what came after the cancel.
        timerCheckComm1.setInterval(kPollAfterCancelMs);
        if (DeviceSync* sync = deviceSync()) sync->cancel();
        showSyncListChanges();
        showCommStatus();
        return;
    }
    showSyncInProgress();
    // Everything the message changes is written to the file at once, and only then
    // does the device hear the answer: what it acts on is in the store.
    struct Held {
        frmMain& f;
        bool transaction;
        ~Held() {
            if (transaction) f.gData_->releaseTransaction(true);
            f.holdingReplies_ = false;
            f.sendHeldReplies();
        }
    } held{*this, gData_ && gData_->holdTransaction()};
    holdingReplies_ = true;
    import_.import(message);
}

void frmMain::sendHeldReplies() {
    for (const std::string& bytes : std::exchange(outbox_, {}))
        if (c_.serialPort.isOpen()) c_.serialPort.write(bytes);
}

void frmMain::timerCheckComm1_Timer() {
    try {
        if (c_.serialPort.bytesWaiting() >= 1) MSComm1_OnComm();
    } catch (const std::exception&) {
        // The poll only ever helps: the next receive or tick tries again.
    }
}

// ---- sending --------------------------------------------------------------------------------

bool frmMain::commSend(std::string_view text) {
    // A zero byte ends a message at the device: one inside the text would cut it.
    if (text.find('\0') != std::string_view::npos) return false;
    if (!c_.serialPort.isOpen()) return false;
    if (holdingReplies_) {
        outbox_.push_back(frameOutgoing(text));
        return true;
    }
    return c_.serialPort.write(frameOutgoing(text));
}

// ---- the list during a synchronisation ---------------------------------------------------

bool frmMain::deferListChange(ListChange change) {
    // Only what the messages change waits; the user's own changes show at once.
    if (!receiving_) return false;
    if (std::find(syncListChanges_.begin(), syncListChanges_.end(), change) == syncListChanges_.end())
        syncListChanges_.push_back(std::move(change));
    if (!timerSyncList.running()) timerSyncList.setInterval(kSyncListRedrawMs);
    return true;
}

bool frmMain::deferUpdateVersion() {
    // The gadget reads the store again when the counter moves: once for the saves of
    // many messages does as well as once for each, which wrote the settings file as often.
    if (!receiving_) return false;
    updateVersionPending_ = true;
    if (!timerSyncList.running()) timerSyncList.setInterval(kSyncListRedrawMs);
    return true;
}

void frmMain::showSyncListChanges() {
    timerSyncList.setInterval(0);
    if (std::exchange(updateVersionPending_, false) && gSettings_) gSettings_->incrementUpdateVersion();
    if (syncListChanges_.empty()) return;
    const std::vector<ListChange> changes = std::exchange(syncListChanges_, {});
    EventList* l = list();
    if (l == nullptr) return;
    // The view hears of the grid once, and the rows are put in order once, when all
    // of the changes are in; the current row stays on its event.
    const int top = msGrid.topRow();
    const std::string key = selectedKey();
    const ui::RedrawSuspender off(msGrid);
    {
        struct Hold {
            UiListGrid& grid;
            ~Hold() { grid.releaseSorting(); }
        } hold{listGrid_};
        listGrid_.holdSorting();
        for (const ListChange& c : changes) {
            if (c.deleted)
                l->ListShowDeleted(c.id);
            else
                l->updateList(c.id);
        }
    }
    collectTimedRows();
    if (!key.empty()) reselectRow(key, top);
}

// ---- the synchronisation and what the reader of each message calls ---------------------

DeviceSync* frmMain::deviceSync() {
    if (!sync_ && gData_ && gSettings_)
        sync_ = std::make_unique<DeviceSync>(*gData_, *gSettings_, commWiring_, state_.sWebAddress);
    return sync_.get();
}

frmMain::CommWiring::CommWiring(frmMain& f) : f_(f) {
    f.c_.serialPort.setReceiveHandler([&f] { f.MSComm1_OnComm(); });
    f.timerCheckComm1.onTimer = [&f] { f.timerCheckComm1_Timer(); };
    f.timerClosePort.setSingleShot(true);
    f.timerClosePort.onTimer = [&f] { f.closeAndReopenPort(); };
    f.timerSyncList.setSingleShot(true);
    f.timerSyncList.onTimer = [&f] { f.showSyncListChanges(); };
    f.StatusBar1.onPanelClick = [&f](int panel) { f.StatusBar1_PanelClick(panel); };
    // The device gets no answer to what was dropped: the user is told where the
    // mode and passing texts go, the program's output says how much.
    f.framer_.onDropped = [&f](std::size_t bytes) {
        f.StatusBar1.setText(kStatusPanel, std::string(kTextMessageDropped));
        std::cerr << "WendraWin: " << bytes << " bytes from the serial port held no message end and were dropped\n";
    };
}

// The port outlives the window: its handler must not call into a window that is gone.
frmMain::CommWiring::~CommWiring() { f_.c_.serialPort.setReceiveHandler({}); }

// Before the start-up has made the store nothing of an exchange can be answered.
void frmMain::CommWiring::EndSyncTime(clsCalendar& cal) {
    if (DeviceSync* s = f_.deviceSync()) s->EndSyncTime(cal);
}
void frmMain::CommWiring::EndSyncData(clsCalendar& cal) {
    if (DeviceSync* s = f_.deviceSync()) s->EndSyncData(cal);
}
void frmMain::CommWiring::EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) {
    if (DeviceSync* s = f_.deviceSync()) s->EndVEvent(cal, evt, usable);
}
void frmMain::CommWiring::EndVCalendar(clsCalendar& cal) {
    if (DeviceSync* s = f_.deviceSync()) s->EndVCalendar(cal);
}
void frmMain::CommWiring::Confirmed(clsCalendar& cal, clsCalEvent& evt) {
    if (DeviceSync* s = f_.deviceSync()) s->Confirmed(cal, evt);
}
int frmMain::CommWiring::RegisterXCalendar(const std::string& uniqueId) {
    DeviceSync* s = f_.deviceSync();
    return s ? s->RegisterXCalendar(uniqueId) : 0;
}
void frmMain::CommWiring::beginSyncList() {
    if (DeviceSync* s = f_.deviceSync()) s->beginSyncList();
}
void frmMain::CommWiring::markLinksNotFound(int calendarId) {
    if (DeviceSync* s = f_.deviceSync()) s->markLinksNotFound(calendarId);
}
void frmMain::CommWiring::createRequest(clsCalEvent& evt, clsCalendar& cal) {
    if (DeviceSync* s = f_.deviceSync()) s->createRequest(evt, cal);
}

int frmMain::CommWiring::DefaultPriorWarning() { return f_.gSettings_ ? f_.gSettings_->PriorWarning() : 0; }

void frmMain::CommWiring::showSyncInProgress() { f_.showSyncInProgress(); }

// ---- the exchange's host ------------------------------------------------------------------

void frmMain::CommWiring::showCommStatus() { f_.showCommStatus(); }
void frmMain::CommWiring::showCommText(const std::string& text) { f_.StatusBar1.setText(kCommPanel, text); }
void frmMain::CommWiring::showError(const std::string& text) { f_.showError(text); }
void frmMain::CommWiring::beep() {
    if (f_.onBeep) f_.onBeep();
}
SaveResult frmMain::CommWiring::doSave(clsCalEvent& ev, SaveMode updateMode, bool excludeOutlook) {
    return f_.doSave(ev, updateMode, excludeOutlook);
}
void frmMain::CommWiring::updateList(const std::string& id) { f_.updateList(id); }
bool frmMain::CommWiring::commSend(std::string_view text) { return f_.commSend(text); }
void frmMain::CommWiring::exportEnded() {
    f_.timerCheckComm1.setInterval(kPollAfterExportMs);
    f_.showSyncListChanges();
}
void frmMain::CommWiring::note(const std::string& text) { std::cerr << "WendraWin: " << text << "\n"; }

}  // namespace wendra
