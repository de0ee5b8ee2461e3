#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/CancelFlag.h"
#include "exchange/DeviceSync.h"
#include "exchange/MessageFramer.h"
#include "exchange/MessageImport.h"
#include "exchange/OutlookBinding.h"
#include "exchange/OutlookSync.h"
#include "exchange/iCalImportEvents.h"
#include "list/EventList.h"
#include "mainwindow/UiListGrid.h"
#include "platform/serial/SerialPort.h"
#include "platform/settings/SettingsStore.h"
#include "platform/sound/Sound.h"
#include "platform/ui/Commands.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Services.h"
#include "platform/ui/Timer.h"
#include "store/ProgramState.h"
#include "store/StoreHost.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"

namespace wendra {

class frmMain;

// What the main window works with, handed in by whoever starts it: the program wires
// the real ones, the tests their doubles. Everything here must outlive the window.
struct frmMainCollaborators {
    ui::Services services;
    settings::SettingsStore& settingsStore;
    // The folder of the program: its database, its backups, the files it opens.
    std::filesystem::path programFolder;
    OutlookBinding& outlook;
    SerialPort& serialPort;
    Sound& sound;
    // True when this is the only copy of the program for this user; the copy that
    // claimed it keeps the claim for its life. Empty: nothing is checked.
    std::function<bool()> claimSingleInstance;
    // The first run's offer to install the sidebar gadget (it also records the data
    // folder for the gadget library).
    std::function<void(frmMain&)> offerGadgetInstall;
};

// The main window: loading it is the program's start-up, unloading it the shutdown.
// It owns the program-wide state and the store and settings objects for the life of
// the process, saves every change of an event (doSave) and lays itself out from the
// list it shows.
class frmMain final : public ui::Form, public StoreHost, public CancelFlagOwner {
    // First of all members: the controls below are made with its services.
    frmMainCollaborators c_;

public:
    // The texts the window shows itself.
    static constexpr std::string_view kMsgAlreadyRunning =
        "Wendra (win) is already running, only one copy is allowed in memory";
    static constexpr std::string_view kMsgOpenFailed = "Failed to open WendraWin database";
    static constexpr std::string_view kBackupPrefix = "WendraWin.bak_";

    // How the start-up went.
    enum class Startup {
        NotRun,       // not loaded yet
        Running,      // the window is up
        AnotherCopy,  // another copy runs: message shown, program ends
        NoDatabase,   // the store could not be opened: message shown, program ends
    };

    explicit frmMain(frmMainCollaborators collaborators);
    ~frmMain() override;

    Startup startup() const { return startup_; }
    // The start-up ended the program: nothing more may run, and the process ends with exitCode().
    bool ended() const { return startup_ == Startup::AnotherCopy || startup_ == Startup::NoDatabase; }
    int exitCode() const { return startup_ == Startup::NoDatabase ? 1 : 0; }

    // ---- program-wide objects ----------------------------------------------
    ProgramState& state() { return state_; }
    const ProgramState& state() const { return state_; }
    // Created by the start-up (step "objects created"); nullptr before.
    clsSettings* settings() { return gSettings_.get(); }
    clsDataQVR* store() { return gData_.get(); }
    OutlookBinding& outlook() { return c_.outlook; }
    SerialPort& serialPort() { return c_.serialPort; }
    Sound& sound() { return c_.sound; }
    const ui::Services& services() const { return c_.services; }
    const std::filesystem::path& programFolder() const { return c_.programFolder; }
    // The help file named at start-up: the install folder and "WendraWin.chm".
    const std::string& helpFile() const { return helpFile_; }
    // The rolling backup of today: the program folder and "WendraWin.bak_" with the
    // English abbreviation of the weekday.
    std::filesystem::path backupFile(DateTime when) const;

    // ---- saving (the store's host) and the dialogs' cancel flag ---------------
    // Every save that reached the store moves the update counter the gadget
    // library watches.
    SaveResult doSave(clsCalEvent& oEv, SaveMode nUpdateMode, bool bExcludeOutlook) override;
    void ListShowDeleted(const std::string& id) override;
    std::optional<int> OutlookCalendarId() override;
    void setFlagCancel(bool cancelled) override { flagCancel_ = cancelled; }
    bool FlagCancel() const override { return flagCancel_; }

    // ---- mode display, menus and toolbar by mode --------------------------------
    void showMode(ProgramMode mode);
    void showModeFromSettings();
    void refreshViewMenus();
    void applyModeToolbar(ProgramMode mode);
    void showAlarmButton();
    void setToolbarVisible(bool visible);
    void setToolbarEnabled(bool enabled);

    // ---- the error banner and the status bar -----------------------------------
    void showError(const std::string& text);
    void cmdErrorClose_Click();
    // With a text: panel 1's text is kept and the text shown; without: the kept text comes back.
    void setStatusText(std::optional<std::string> text = std::nullopt);
    std::string getStatusText() const;
    void showSyncInProgress();

    // ---- the serial link to the device (frmMainComm.cpp) ---------------------------
    static constexpr int kCommPanel = 2;
    static constexpr std::string_view kTextSyncInProgress = "Sync: In progress...";
    static constexpr std::string_view kTextIncomingData = "Incoming data...";
    // In panel 1, when text from the device held no end within the framer's bound.
    static constexpr std::string_view kTextMessageDropped = "Sync: a message from the device was too long and was dropped";
    // The poll's intervals: after a receive, after the device cancelled, after an export ended.
    static constexpr int kPollAfterReceiveMs = 1000;
    static constexpr int kPollAfterCancelMs = 40000;
    static constexpr int kPollAfterExportMs = 60000;
    // How long "Closing COMn..." stands before the port is closed, so that it is drawn.
    static constexpr int kClosePortDelayMs = 100;
    // The list shows what a synchronisation changes at most this often, and at its end.
    static constexpr int kSyncListRedrawMs = 300;
    // Opens, reopens or closes the port as the setting asks and shows the outcome;
    // with bDisplayWarn a port that does not open is also told in a message box.
    bool openCommPort(bool bDisplayWarn);
    // Panel 2 shows the port as it is: open, none, or an error when the setting
    // names a port that is not open.
    void showCommStatus();
    // The receive handler: everything waiting at the port, then every whole
    // message in the order it came, each handled to its end before the next.
    void MSComm1_OnComm();
    // One text to the device and the zero byte that ends it. False when the port
    // is closed, the write failed or the text holds a zero byte of its own.
    bool commSend(std::string_view text);
    // Panel 2 closes and reopens the port; the other panels do nothing.
    void StatusBar1_PanelClick(int panel);
    void timerCheckComm1_Timer();
    // Where copies of the received messages go; empty: no copies are kept.
    std::filesystem::path messageFolder;
    // The warning sound of a refused exchange; empty: silent.
    std::function<void()> onBeep;
    // The reader side of the link: the reader of the last message.
    const MessageImport& messageImport() const { return import_; }
    // The synchronisation with the device; nullptr until the start-up has made the store.
    DeviceSync* deviceSync();

    // ---- layout and the window settings ------------------------------------------
    void layoutForm();
    // After a font change: a window at its designed width widens by what the
    // description lost, so the description keeps the width it had.
    void keepDescriptionWidth(int before);
    void loadWindowSettings();
    void saveWindowSettings();
    // -1 hidden, -9 automatic, else the column's current width.
    std::int32_t columnSetting(bool visible, int col, bool automatic) const;

    // ---- view menu entries and the past-events switch ------------------------------
    void mnuView_Headings_Click();
    void mnuView_Date_Click();
    void mnuView_Time_Click();
    void mnuView_Wendra_Click();
    void mnuView_LongDescription_Click();
    void mnuMerge_Dates_Click();
    void mnuMerge_Wendra_Click();
    void mnuShrinkPastEvents_Click();
    void expandPastRows(bool refresh);
    void shrinkPastRows();

    // ---- the list (frmMainList.cpp) ---------------------------------------------
    void initGrid();
    void refreshList();
    // Shows the current state of one event (its store key).
    void updateList(const std::string& id);
    // Selects the row of the occurrence a remembered row key names.
    void reselectRow(const std::string& key, int topRow);
    // The row key (column 0) of the current row; empty without a current row.
    std::string selectedKey() const;
    std::string noEventsText() const;
    // The list's rules; nullptr until the start-up has made the store.
    EventList* list();
    // A rebuild, an update or the marking of deleted rows is running; whatever
    // asks for one meanwhile waits for its end.
    bool listBusy() const { return list_ && list_->listBusy(); }
    // The occurrence a row shows, kept with the row.
    std::optional<RowOccurrence> rowOccurrence(int row) const { return listGrid_.occurrence(row); }
    // Set while the Outlook calendar is not linked yet: updates wait for the rebuild.
    bool refreshPending = false;

    // The list's state (its rules are the list's own).
    bool viewAll = false;
    bool viewAllByDescription = false;
    bool shrinkPast = false;
    std::vector<int> timedRows;  // rows that hold a countdown, ascending
    // The next due timed row's description, kept by the minute timer.
    std::string nextEventDescription;

    // The Outlook connection's watch, kept by the mode display and the minute timer.
    bool checkingForUpdates = false;
    DateTime connectingSince;
    DateTime checkingSince;
    bool outlookFirstPass = false;

    // ---- the minute timer, countdown, caption and alarm (frmMainTimer.cpp) -----------
    // The minute tick: re-arms itself on the next whole minute, watches the status
    // bar, rebuilds a list left from another day, then the countdowns and the caption.
    void timerDispTimes_Timer();
    // The countdown from now to d: "2h 05m", "NOW", "-0h 15m", "-1h 15m", "-3h".
    std::string formatTimeTo(DateTime d) const;
    // Finds the countdown rows again. The list calls it at the end of every build and
    // update; a tick held back while the list was busy does its row work here.
    void collectTimedRows();
    void appendTimedRow(int row) { timedRows.push_back(row); }
    void updateTimedRows();
    void soundAlarm();
    void updateCaption();
    void toggleAlarm();
    void mnuAlarm_Click();
    // Counts a modal dialog of this window for its life: the tick leaves the list
    // alone under an open dialog and rebuilds it at a later tick.
    class ModalScope {
    public:
        explicit ModalScope(frmMain& f) : f_(f) { ++f_.modalDialogs; }
        ~ModalScope() { --f_.modalDialogs; }
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        frmMain& f_;
    };
    int modalDialogs = 0;
    // The tick calls it once "Connecting to MSOutlook..." has stood for more than a
    // minute; the window's own connection (connectOutlook) unless replaced.
    std::function<void()> onConnectOutlookDue;
    std::string captionCountdown;
    // The caption the alarm text stands in for while the alarm sounds.
    std::string savedCaption;

    // ---- the list commands and the menus (frmMainCommands.cpp, frmMainMenus.cpp) --------
    // The toolbar's buttons, by key ("toolbarNew" ...); the window settings are saved first.
    void Toolbar1_ButtonClick(std::string_view key);
    void newEvent();
    // The current row's event; with `occurrence`, only its occurrence (Outlook mode).
    void editSelected(bool occurrence);
    void editVisibility();
    void deleteSelected();
    // A row marked "X": hidden or deleted since the list was built, or the past-events row.
    bool isSummaryRow(int row) const;
    // The grid's events.
    void msGrid_DblClick();
    // The edit commands follow the current row, whose description cell is highlighted.
    void msGrid_RowColChange();
    void msGrid_LeaveCell();

    // The menus' own handlers; the other entries run the commands above, the view
    // entries of the layout or the alarm toggle.
    void mnuViewDefaultDays_Click();
    void mnuViewNDays_Click();
    void mnuViewAll_Click();
    void mnuViewAllDesc_Click();
    void mnuView_DayOfWeek_Click();
    void mnuMerge_DaysOfWeek_Click();
    void mnuMini_Click();
    void mnuOptions_Settings_Click();
    void mnuOptions_Mode_Click();
    void chooseFont();
    void mnuHelpTopics_Click();
    void mnuHelpAbout_Click();
    void mnuFile_Exit_Click();

    // The menu bar as the window's design orders it: each menu by name ("" is the bar
    // itself) with its entries' names. Entries reach their menus in the order the
    // parts of the window are built, so a view takes the order from here.
    struct MenuOrder {
        std::string menu;
        std::vector<std::string> entries;
    };
    static const std::vector<MenuOrder>& menuDesign();

    // Opens a file with the desktop's handler (the help file); false when none took it.
    // Empty: help opens nothing.
    std::function<bool(const std::string& path)> openDocument;
    // Brings an event that the user changed in Outlook's own window into the store and
    // the list (wendraWinId, Outlook calendar id, entry id); the window's own
    // reconciliation (syncOutlook) unless replaced.
    std::function<void(const std::string&, int, const std::string&)> onSyncOutlook;

    // ---- Outlook mode (frmMainOutlook.cpp) ------------------------------------------
    // Connects to the Outlook calendar (the minute timer's watchdog calls it).
    void connectOutlook();
    // Reconciles one event between the store and the Outlook calendar.
    void syncOutlook(const std::string& nQVRId, int nXCalendarId, const std::string& sEntryId,
                     int nSyncCalendarId = OutlookSync::kNoSyncCalendar);
    // The reconciliation; nullptr until the start-up has made the store.
    OutlookSync* outlookSync();
    // The minimal display was switched on (true) or off, before the window is laid out
    // for it: the view hides or shows its menu bar, toolbar, list and status bar.
    std::function<void(bool minimal)> onMinimalDisplay;

    ui::Command mnuActions_NewQuickEvent{"mnuActions_NewQuickEvent", "New", "Ctrl+N"};
    ui::Command mnuActions_EditSeries{"mnuActions_EditSeries", "Edit Event", "Ctrl+E"};
    ui::Command mnuActions_Delete{"mnuActions_Delete", "Delete", "Ctrl+D"};
    ui::Command mnuAddIns{"mnuAddIns", "-"};
    ui::Command mnuFile_Exit{"mnuFile_Exit", "E&xit", "Ctrl+X"};
    ui::Command mnuViewNDays{"mnuViewNDays", "Change default"};
    ui::Command mnuAddInMenu_Underline{"mnuAddInMenu_Underline", "-"};
    ui::Command mnuMini{"mnuMini", "Display Minimal", "F2"};
    ui::Command mnuActions_Refresh{"mnuActions_Refresh", "Refresh", "F5"};
    ui::Command mnuOptions_Settings{"mnuOptions_Settings", "&Settings", "Ctrl+S"};
    ui::Command mnuOptions_Mode{"mnuOptions_Mode", "&Mode", "Ctrl+M"};
    ui::Command mnuOptions_Font{"mnuOptions_Font", "&Font", "Ctrl+F"};
    ui::Command mnuHelpTopics{"mnuHelpTopics", "&Help Topics", "F1"};
    ui::Command mnuActions_Underline3{"mnuActions_Underline3", "-"};
    ui::Command mnuHelpAbout{"mnuHelpAbout", "&About Wendra (win)"};
    ui::Command mnuHelp{"mnuHelp", "&Help"};

    // ---- controls, named as the window names them ----------------------------------
    ui::Toolbar Toolbar1{"Toolbar1"};
    ui::StatusBar StatusBar1{"StatusBar1"};
    ui::Grid msGrid{"msGrid"};
    ui::Frame frameError{"frameError"};
    ui::Label lblError{"lblError"};
    ui::CommandButton cmdErrorClose{"cmdErrorClose", "X"};
    ui::Picture picOutlookStatus{"picOutlookStatus"};
    ui::Timer timerDispTimes;
    ui::Timer timerCheckComm1{c_.services.timers, "timerCheckComm1"};

    // Menus. The menus hold pointers to their entries: entries are declared first.
    ui::Command mnuActions_EditOccur{"mnuActions_EditOccur", "Edit Occurrence", "Ctrl+O"};
    ui::Command mnuActions_Visibility{"mnuActions_Visibility", "Visibility", "Ctrl+V"};
    ui::Command mnuShrinkPastEvents{"mnuShrinkPastEvents", "Expand past events"};
    ui::Command mnuViewDefaultDays{"mnuViewDefaultDays", "Default (30) days view"};
    ui::Command mnuViewAll{"mnuViewAll", "List all by date"};
    ui::Command mnuViewAllDesc{"mnuViewAllDesc", "List all by description"};
    ui::Command mnuView_Headings{"mnuView_Headings", "Headings"};
    ui::Command mnuView_Date{"mnuView_Date", "Date"};
    ui::Command mnuView_DayOfWeek{"mnuView_DayOfWeek", "Day of week"};
    ui::Command mnuView_Time{"mnuView_Time", "Time"};
    ui::Command mnuView_Wendra{"mnuView_Wendra", "Days To"};
    ui::Command mnuView_LongDescription{"mnuView_LongDescription", "Long Description"};
    ui::Command mnuMerge_Dates{"mnuMerge_Dates", "Matching Dates"};
    ui::Command mnuMerge_DaysOfWeek{"mnuMerge_DaysOfWeek", "Matching Days of Week"};
    ui::Command mnuMerge_Wendra{"mnuMerge_Wendra", "Matchings Days To"};
    ui::Command mnuAlarm{"mnuAlarm", "&Alarm", "Ctrl+A"};
    ui::Command mnuViewCurrent{"mnuViewCurrent", "Current view"};
    ui::Command mnuView_Merge{"mnuView_Merge", "Merge"};
    ui::Command mnuFile{"mnuFile", "&File"};
    ui::Command mnuView{"mnuView", "&View"};
    ui::Command mnuTools{"mnuTools", "&Options"};
    ui::MenuBar menuBar;

protected:
    void formLoad() override;
    void formResize() override;
    void formUnload() override;

private:
    void buildToolbar();
    void buildMenus();
    void takeRollingBackup();
    void endProgram(Startup why, std::string_view message, ui::MessageIcon icon);
    void addHeadingRow();
    void setColumnWidths();
    // Rows as tall as a line of the list's font.
    void fitRowHeight();
    void applyColumnSettings();
    void setColumnAlignments();

    ProgramState state_;
    // The store queues its synchronisation requests in the program's own queue.
    ProgramStateSyncItems syncItems_{state_};
    // The settings first: the store reads them and must go before them.
    std::unique_ptr<clsSettings> gSettings_;
    std::unique_ptr<clsDataQVR> gData_;
    Startup startup_ = Startup::NotRun;
    bool flagCancel_ = false;
    bool layingOut_ = false;
    // The description's width by the last layout's arithmetic, before its minimum.
    int descriptionRoom_ = 0;
    std::string helpFile_;
    std::string lastMiniDescription_;

    // ---- the list's own state (frmMainList.cpp) ----
    // What the list asks of the window around its work.
    class ListWiring final : public ListHost {
    public:
        explicit ListWiring(frmMain& f) : f_(f) {}
        void saveWindowSettings() override;
        void gridInitialised() override;
        void layoutForm() override;
        void collectTimedRows() override;
        void gridRowChanged() override;
        void gridLeaveCell() override;
        std::string statusText() const override;
        void setStatusText(const std::string& text) override;
        void setBusy(bool on) override;
        bool refreshPending() const override;

    private:
        frmMain& f_;
        ui::MousePointer pointer_ = ui::MousePointer::Default;
    };
    void syncListView();
    ListWiring listWiring_{*this};
    UiListGrid listGrid_{msGrid, c_.services.metrics, [this] { return font(); }};
    std::unique_ptr<EventList> list_;

    // ---- the minute timer's own state (frmMainTimer.cpp) ----
    struct TimerWiring {
        explicit TimerWiring(frmMain& f);
    };
    bool listBusyNow() const;
    void rearmMinuteTimer(DateTime present);
    void tickRowWork();
    DateTime nextTick_;      // the whole minute the timer was armed for
    DateTime listDay_;       // the day the list's rows were built for
    bool rowWorkHeld_ = false;  // a tick found the list busy
    bool alarmSounding_ = false;
    std::uint64_t alarmPlays_ = 0;
    // The sound may call back after the window is gone: its callback checks this.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // Last: the controls it wires are made by then.
    TimerWiring timerWiring_{*this};

    // ---- the serial link's own state (frmMainComm.cpp) ----
    // What the reader of each message calls: the end events and the services it
    // asks of the store and the window.
    // The exchange's host, too: panel 2, the banner, the beep, saving, the list and the line.
    class CommWiring final : public iCalImportListener, public iCalImportHost, public SyncHost {
    public:
        explicit CommWiring(frmMain& f);
        ~CommWiring() override;
        CommWiring(const CommWiring&) = delete;
        CommWiring& operator=(const CommWiring&) = delete;
        void EndSyncTime(clsCalendar& cal) override;
        void EndSyncData(clsCalendar& cal) override;
        void EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) override;
        void EndVCalendar(clsCalendar& cal) override;
        void Confirmed(clsCalendar& cal, clsCalEvent& evt) override;
        int RegisterXCalendar(const std::string& uniqueId) override;
        void beginSyncList() override;
        void markLinksNotFound(int calendarId) override;
        void createRequest(clsCalEvent& evt, clsCalendar& cal) override;
        int DefaultPriorWarning() override;
        void showSyncInProgress() override;
        void showCommStatus() override;
        void showCommText(const std::string& text) override;
        void showError(const std::string& text) override;
        void beep() override;
        SaveResult doSave(clsCalEvent& ev, SaveMode updateMode, bool excludeOutlook) override;
        void updateList(const std::string& id) override;
        bool commSend(std::string_view text) override;
        void exportEnded() override;
        void note(const std::string& text) override;

    private:
        frmMain& f_;
    };
    void handleMessage(const FramedMessage& message);
    void showPortError(int port);
    void closeAndReopenPort();
    MessageFramer framer_;
    bool receiving_ = false;  // a message is being handled: new ones wait their turn
    // The port closes in a later turn of the event loop than the click that asked for
    // it, so that the panel's "Closing COMn..." is drawn first.
    ui::Timer timerClosePort{c_.services.timers, "timerClosePort"};
    ui::MousePointer pointerBeforeClose_ = ui::MousePointer::Default;
    // The replies to a message go out once the store holds what the message changed.
    bool holdingReplies_ = false;
    std::vector<std::string> outbox_;
    void sendHeldReplies();
    // The list changes of the messages handled, shown together a few times a second
    // and at the export's end: drawn after every message, the list took most of the
    // time of a synchronisation of thousands of events.
    struct ListChange {
        bool deleted = false;
        std::string id;
        bool operator==(const ListChange&) const = default;
    };
    std::vector<ListChange> syncListChanges_;
    ui::Timer timerSyncList{c_.services.timers, "timerSyncList"};
    bool deferListChange(ListChange change);
    bool deferUpdateVersion();
    bool updateVersionPending_ = false;
    void showSyncListChanges();
    CommWiring commWiring_{*this};
    MessageImport import_{commWiring_, commWiring_};
    // Made with the store, which it works on; it goes before the wiring it reports to.
    std::unique_ptr<DeviceSync> sync_;

    // ---- Outlook mode's own state (frmMainOutlook.cpp) ----
    // What the reconciliation asks of the window: the mode display, the status
    // picture, the list and the connection's flags.
    class OutlookWiring final : public OutlookSyncHost {
    public:
        explicit OutlookWiring(frmMain& f);
        void showModeFromSettings() override;
        void showOutlookStatus(const std::string& imageKey) override;
        void showConnectionFailure(const std::optional<std::string>& reason) override;
        void updateList(const std::string& id) override;
        void ListShowDeleted(const std::string& id) override;
        void setCheckingForUpdates(bool on) override;
        void setRefreshPending(bool on) override;
        bool outlookFirstPass() const override;
        void setOutlookFirstPass(bool on) override;

    private:
        frmMain& f_;
        std::string failureShown_;  // the banner's text of the last failed connection
    };
    OutlookWiring outlookWiring_{*this};
    // Made with the store, which it works on.
    std::unique_ptr<OutlookSync> outlookSync_;

    // ---- the list commands' and menus' own state (frmMainCommands.cpp, frmMainMenus.cpp) ----
    struct CommandWiring {
        explicit CommandWiring(frmMain& f);
    };
    void addMenuEntries();
    void wireCommands();
    void editInStore(const std::string& key);
    void editInOutlook(const std::string& key, bool occurrence);
    void editOutlookOccurrence(clsCalEvent& ev, const std::string& key);
    // The store's event of a row key; false (and the missing event told) when it is gone.
    bool findSelected(clsCalEvent& ev, const std::string& key);
    // Shows an editing dialog modally; true when it ended with Save.
    bool showEditingDialog(ui::Form& dialog);
    // The event editor on `ev`, modally; true when it ended with Save.
    bool editInQVREvent(clsCalEvent& ev);
    // Saves what a dialog changed and shows it: its rows updated, or the whole list
    // rebuilt; a store that refused it is told with `failureText`.
    void saveEdited(clsCalEvent& ev, bool excludeOutlook, std::string_view failureText, bool wholeList = false);
    void syncFromOutlook(const clsCalEvent& ev);
    void notice(std::string_view text);
    void failure(std::string_view text);
    void applyViewChoice();
    void openHelpFile();
    bool commandsReady() const { return gSettings_ && gData_ && startup_ == Startup::Running; }
    int highlightedRow_ = -1;  // the row whose description cell shows the current row
    // Last, after every control it wires.
    CommandWiring commandWiring_{*this};
};

}  // namespace wendra
