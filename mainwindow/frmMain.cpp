#include "mainwindow/frmMain.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "mainwindow/MinuteTick.h"
#include "platform/clock/Clock.h"
#include "platform/clock/Names.h"
#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "platform/ui/Layout.h"
#include "store/DefaultFont.h"
#include "store/modMessages.h"

namespace wendra {

namespace fs = std::filesystem;

namespace {

// The window as it was designed, in twips: its size before the first layout, the
// heights of the bars until the view reports its own, the banner's controls.
constexpr ui::Geometry kDesignWindow{0, 0, 6000, 4785};
constexpr int kDesignToolbarHeight = 390;
constexpr int kDesignStatusBarHeight = 315;
constexpr ui::Geometry kDesignLabel{120, 100, 5300, 255};
constexpr ui::Geometry kDesignCloseButton{5620, 100, 255, 255};
constexpr int kDesignCommPanelWidth = 1800;

// The toolbar's placeholder: narrow beside a connected calendar's picture, wide
// enough for the picture and its text while connecting.
constexpr int kOutlookStatusConnectedWidth = 500;
constexpr int kOutlookStatusWaitingWidth = 2465;

// What the arithmetic of the layout adds: the caption, menu and borders of the
// window; the grid's own border; the room of the vertical scroll bar; the part of
// the screen left free below a tall list.
constexpr int kWindowChrome = 770;
constexpr int kGridBorder = 70;
constexpr int kWidthLessGrid = 100;
constexpr int kDescriptionLessScrollBar = 341;
constexpr int kDescriptionLessBorder = 90;
constexpr int kMinDescriptionWidth = 100;
constexpr int kScreenKeptFree = 2000;
constexpr int kBannerOverlap = 52;

constexpr int kMiniExtraWidth = 1600;
constexpr int kMiniMaxWidth = 5500;

constexpr int kStatusPanel = 1;

}  // namespace

frmMain::frmMain(frmMainCollaborators collaborators)
    : ui::Form("frmMain", "Wendra(win)"),
      c_(std::move(collaborators)),
      timerDispTimes(c_.services.timers, "timerDispTimes", 1, true) {
    setGeometry(kDesignWindow);
    // The bars are laid out by the view, which reports their real heights; these
    // stand until it does (and in the tests, which have no view).
    Toolbar1.geometryFromView({0, 0, kDesignWindow.width, kDesignToolbarHeight});
    StatusBar1.geometryFromView({0, 0, kDesignWindow.width, kDesignStatusBarHeight});

    buildToolbar();
    StatusBar1.addPanel("status", "", ui::PanelAutoSize::Spring);
    const int comm = StatusBar1.addPanel("comm");
    StatusBar1.setPanelWidth(comm, kDesignCommPanelWidth);

    frameError.setGeometry({0, kDesignToolbarHeight - kBannerOverlap, kDesignWindow.width - kWidthLessGrid, 0});
    frameError.setVisible(false);
    lblError.setGeometry(kDesignLabel);
    lblError.setWordWrap(true);
    cmdErrorClose.setGeometry(kDesignCloseButton);
    cmdErrorClose.setToolTip("Close Message");
    cmdErrorClose.onClick = [this] { cmdErrorClose_Click(); };

    buildMenus();
    // What the reader of the device's messages passed over goes where the exchange's notes go.
    import_.newLog = [this] {
        return std::make_unique<clsNotingImportLog>([this](const std::string& text) { commWiring_.note(text); });
    };
}

frmMain::~frmMain() {
    // The store goes before the settings it reads; the timer must not tick into a
    // window that is going.
    timerDispTimes.setEnabled(false);
    outlookSync_.reset();
    gData_.reset();
    gSettings_.reset();
}

void frmMain::buildToolbar() {
    Toolbar1.addButton("toolbarOutlookStatus", "", "", ui::CommandStyle::Placeholder)
        .setWidth(kOutlookStatusWaitingWidth);
    Toolbar1.addButton("toolbarNew", "New Event", "imgNew");
    Toolbar1.addButton("toolbarEditSeries", "Edit Event", "imgEditSeries");
    Toolbar1.addButton("toolbarEditOccur", "Edit Occurrence", "imgEditOccur");
    Toolbar1.addButton("toolbarDelete", "Delete Event", "imgDelete");
    Toolbar1.addButton("toolbarVisibility", "Visibility", "imgVisibility");
    Toolbar1.addButton("toolbarExpand", "Expand past events", "imgExpand", ui::CommandStyle::ButtonGroup);
    Toolbar1.addButton("toolbarShrink", "Shrink past events", "imgShrink", ui::CommandStyle::ButtonGroup);
    Toolbar1.addButton("toolbarRefresh", "Refresh List", "imgRefresh");
    Toolbar1.addButton("toolbarAlarm", "Alarm On/Off", "imgAlarm2");
    Toolbar1.addButton("toolbarFont", "Font", "imgFont");
}

void frmMain::buildMenus() {
    mnuFile.add(mnuActions_EditOccur);
    mnuFile.add(mnuActions_Visibility);

    mnuViewCurrent.add(mnuViewDefaultDays);
    mnuViewCurrent.add(mnuViewAll);
    mnuViewCurrent.add(mnuViewAllDesc);
    mnuView_Merge.add(mnuMerge_Dates);
    mnuView_Merge.add(mnuMerge_DaysOfWeek);
    mnuView_Merge.add(mnuMerge_Wendra);
    mnuView.add(mnuShrinkPastEvents);
    mnuView.add(mnuViewCurrent);
    mnuView.add(mnuView_Headings);
    mnuView.add(mnuView_Date);
    mnuView.add(mnuView_DayOfWeek);
    mnuView.add(mnuView_Time);
    mnuView.add(mnuView_Wendra);
    mnuView.add(mnuView_LongDescription);
    mnuView.add(mnuView_Merge);

    mnuTools.add(mnuAlarm);

    menuBar.add(mnuFile);
    menuBar.add(mnuView);
    menuBar.add(mnuTools);

    // The marks of the window's design; the settings set them at start-up.
    mnuView_Date.setChecked(true);
    mnuView_Time.setChecked(true);
    mnuView_LongDescription.setChecked(true);
    mnuMerge_Dates.setChecked(true);
    mnuMerge_DaysOfWeek.setChecked(true);
    mnuAlarm.setChecked(true);

    mnuView_Headings.onClick = [this] { mnuView_Headings_Click(); };
    mnuView_Date.onClick = [this] { mnuView_Date_Click(); };
    mnuView_Time.onClick = [this] { mnuView_Time_Click(); };
    mnuView_Wendra.onClick = [this] { mnuView_Wendra_Click(); };
    mnuView_LongDescription.onClick = [this] { mnuView_LongDescription_Click(); };
    mnuMerge_Dates.onClick = [this] { mnuMerge_Dates_Click(); };
    mnuMerge_Wendra.onClick = [this] { mnuMerge_Wendra_Click(); };
    mnuShrinkPastEvents.onClick = [this] { mnuShrinkPastEvents_Click(); };
}

fs::path frmMain::backupFile(DateTime when) const {
    return c_.programFolder / (std::string(kBackupPrefix) + englishWeekdayAbbrev(when.weekday()));
}

// ---- start-up and shutdown -----------------------------------------------------

void frmMain::formLoad() {
    startup_ = Startup::Running;

    // One copy only, decided before anything is read or written: a second copy
    // must not even take the backup.
    if (c_.claimSingleInstance && !c_.claimSingleInstance()) {
        endProgram(Startup::AnotherCopy, kMsgAlreadyRunning, ui::MessageIcon::Exclamation);
        return;
    }

    takeRollingBackup();

    frameError.setHeight(0);
    frameError.setVisible(false);
    initMessages(state_);

    gSettings_ = std::make_unique<clsSettings>(c_.settingsStore, c_.programFolder.string());
    gData_ = std::make_unique<clsDataQVR>(*gSettings_,
                                          StoreOptions::mainProgram(c_.programFolder.string(), this, &syncItems_));

    // The store is opened before anything is written: a start that ends here for
    // want of a database leaves the settings as they were, first run or not.
    if (!gData_->OpenData()) {
        endProgram(Startup::NoDatabase, kMsgOpenFailed, ui::MessageIcon::Critical);
        return;
    }

    loadWindowSettings();

    state_.gOutlookItemKeys.clear();
    outlookFirstPass = true;

    const std::string installDir = gSettings_->InstallDir();
    state_.gMinimalDisplay = false;
    helpFile_ = installDir + "WendraWin.chm";

    if (!gSettings_->Installed()) {
        if (c_.offerGadgetInstall) c_.offerGadgetInstall(*this);
        gSettings_->setModeWendraWin(true);
        gSettings_->setInstalled(true);
    }

    // Never placed: centred across, the top as loaded.
    if (gSettings_->Left() == -999) setLeft((c_.services.placement.screenWidth() - width()) / 2);

    picOutlookStatus.setImageKey("imgNoOutlook");

    gData_->updateTables();

    openCommPort(false);

    initGrid();
    shrinkPastRows();

    showMode(gSettings_->ModeOutlook() ? ProgramMode::Outlook : ProgramMode::WendraWin);
    showModeFromSettings();
    updateTimedRows();
    updateCaption();
}

void frmMain::takeRollingBackup() {
    // Every failure is silent: a missing or damaged file, a backup that cannot be
    // written. The copy goes through the database's own backup, so that what the
    // gadget's process has written and not yet merged into the file is in it too;
    // a failed copy leaves last week's file of that day in place. A file the store
    // would refuse (empty, no database, a table missing) is not copied at all: its
    // copy would replace that day's good backup with nothing worth keeping.
    const fs::path source = c_.programFolder / db::kDatabaseFileName;
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return;
    db::Connection connection;
    connection.setBusyTimeout(std::chrono::seconds(2));
    if (!connection.openFile(source, db::schemaTables())) return;
    connection.backupTo(backupFile(now()), db::schemaTables());
}

void frmMain::endProgram(Startup why, std::string_view message, ui::MessageIcon icon) {
    startup_ = why;
    timerDispTimes.setEnabled(false);
    c_.services.messages.show(std::string(message), ui::MessageButtons::OK, icon);
    // The window closes without its shutdown: nothing of this start is stored.
    unload();
}

void frmMain::formUnload() {
    if (ended()) return;
    timerDispTimes.setEnabled(false);
    if (gSettings_) saveWindowSettings();
}

void frmMain::formResize() {
    // The layout's own change of size needs no new caption: whoever laid out set it.
    if (layingOut_) return;
    // A minimized window shows the countdown in its caption, so it must be current.
    if (!timedRows.empty() && windowState() == ui::WindowState::Minimized) updateTimedRows();
    updateCaption();
    layoutForm();
}

// ---- saving ---------------------------------------------------------------------

SaveResult frmMain::doSave(clsCalEvent& oEv, SaveMode nUpdateMode, bool bExcludeOutlook) {
    // Every caller's save overwrites: the mode asked for is not the store's concern here.
    (void)nUpdateMode;
    if (!gSettings_ || !gData_) return SaveResult::StoreFailed;
    std::string xid;
    if (gSettings_->ModeOutlook() && !bExcludeOutlook) xid = c_.outlook.getXID(oEv);
    if (!gData_->Save(oEv, SaveMode::Always)) return SaveResult::StoreFailed;
    SaveResult result = SaveResult::Saved;
    if (gSettings_->ModeOutlook() && !bExcludeOutlook && state_.gOutlookConnected) {
        if (!c_.outlook.Save(oEv, xid)) result = SaveResult::OutlookFailed;
    }
    // The store holds the change whatever Outlook answered, so the gadget must hear of it.
    if (!deferUpdateVersion()) gSettings_->incrementUpdateVersion();
    return result;
}

std::optional<int> frmMain::OutlookCalendarId() {
    if (!state_.gOutlookConnected) return std::nullopt;
    const int id = c_.outlook.CalendarId();
    return id >= 0 ? std::optional<int>(id) : std::nullopt;
}

// ---- mode display ------------------------------------------------------------------

void frmMain::showMode(ProgramMode mode) {
    ui::BusyPointer busy(*this);
    state_.gCurrentMode = mode;
    if (mode == ProgramMode::WendraWin) {
        setStatusText(std::string(tick::kModeStoreText));
    } else if (mode == ProgramMode::Outlook) {
        if (checkingForUpdates) {
            setStatusText(std::string(tick::kCheckingText));
            checkingSince = now();
        } else if (state_.gOutlookConnected) {
            setStatusText(std::string(tick::kModeOutlookText));
        } else {
            setStatusText(std::string(tick::kConnectingText));
            connectingSince = now();
        }
    }
    if (mode == ProgramMode::WendraWin || mode == ProgramMode::Outlook) applyModeToolbar(mode);
}

void frmMain::showModeFromSettings() {
    if (!gSettings_) return;
    showMode(gSettings_->ModeWendraWin() ? ProgramMode::WendraWin : ProgramMode::Outlook);
    refreshViewMenus();
    showAlarmButton();
}

void frmMain::refreshViewMenus() {
    if (!gSettings_) return;
    mnuViewDefaultDays.setCaption("Default (" + std::to_string(gSettings_->PriorWarning()) + ") days view");
    mnuViewDefaultDays.setChecked(!viewAll);
    mnuViewAll.setChecked(viewAll && !viewAllByDescription);
    mnuViewAllDesc.setChecked(viewAll && viewAllByDescription);
    mnuAlarm.setChecked(gSettings_->Alarm());
}

void frmMain::showAlarmButton() {
    if (!gSettings_) return;
    if (auto* b = Toolbar1.button("toolbarAlarm")) b->setImageKey(gSettings_->Alarm() ? "imgAlarm" : "imgAlarmOff");
}

void frmMain::applyModeToolbar(ProgramMode mode) {
    const auto button = [this](std::string_view key) -> ui::Command& { return *Toolbar1.button(key); };
    const bool known = mode == ProgramMode::WendraWin || mode == ProgramMode::Outlook;
    if (mode == ProgramMode::Outlook) {
        const bool connected = state_.gOutlookConnected;
        setToolbarVisible(connected);
        setToolbarEnabled(connected);
        picOutlookStatus.setVisible(true);
        button("toolbarOutlookStatus").setVisible(true);
        button("toolbarOutlookStatus").setWidth(connected ? kOutlookStatusConnectedWidth : kOutlookStatusWaitingWidth);
        mnuActions_EditOccur.setVisible(connected);
        mnuActions_Visibility.setVisible(connected);
        for (const auto* key : {"toolbarExpand", "toolbarShrink", "toolbarRefresh"}) {
            button(key).setVisible(true);
            button(key).setEnabled(true);
        }
        button("toolbarEditOccur").setVisible(!viewAll);
        if (viewAll) mnuActions_EditOccur.setVisible(false);
    } else if (mode == ProgramMode::WendraWin) {
        // Enabled as well as shown: coming back from a calendar that never connected
        // would otherwise leave New, Alarm and Font disabled.
        setToolbarVisible(true);
        setToolbarEnabled(true);
        picOutlookStatus.setVisible(false);
        button("toolbarOutlookStatus").setVisible(false);
        button("toolbarEditOccur").setVisible(false);
        button("toolbarVisibility").setVisible(false);
        mnuActions_EditOccur.setVisible(false);
        mnuActions_Visibility.setVisible(false);
    }
    // The edit commands follow the current row.
    if (known && msGrid.onRowColChange) msGrid.onRowColChange();
    button("toolbarExpand").setVisible(!viewAllByDescription);
    button("toolbarShrink").setVisible(!viewAllByDescription);
    mnuShrinkPastEvents.setVisible(!viewAllByDescription);
}

void frmMain::setToolbarVisible(bool visible) { Toolbar1.setButtonsVisible(visible); }
void frmMain::setToolbarEnabled(bool enabled) { Toolbar1.setButtonsEnabled(enabled); }

// ---- banner and status bar -------------------------------------------------------------

void frmMain::showError(const std::string& text) {
    frameError.setVisible(true);
    frameError.setHeight(lblError.height() + 200);
    lblError.setVisible(true);
    lblError.setCaption(text);
    layoutForm();
}

void frmMain::cmdErrorClose_Click() {
    frameError.setVisible(false);
    frameError.setHeight(0);
    layoutForm();
}

void frmMain::setStatusText(std::optional<std::string> text) {
    if (text) {
        state_.gSavedStatusText = StatusBar1.text(kStatusPanel);
        StatusBar1.setText(kStatusPanel, std::move(*text));
    } else {
        StatusBar1.setText(kStatusPanel, state_.gSavedStatusText);
    }
}

std::string frmMain::getStatusText() const { return StatusBar1.text(kStatusPanel); }

void frmMain::showSyncInProgress() {
    const std::string current = StatusBar1.text(kCommPanel);
    if (current != tick::kSyncInProgress && !current.starts_with('>')) {
        StatusBar1.setImageKey(kCommPanel, "imgSyncInProgress");
        StatusBar1.setText(kCommPanel, std::string(tick::kSyncInProgress));
    }
    state_.gLastSyncActivity = now();
}

// ---- layout ---------------------------------------------------------------------------

void frmMain::layoutForm() {
    if (windowState() != ui::WindowState::Normal) return;
    // Setting the window's size runs the resize, which lays out again: one pass at a time.
    if (layingOut_) return;
    layingOut_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{layingOut_};

    const ui::WindowPlacement& screen = c_.services.placement;

    if (state_.gMinimalDisplay) {
        setHeight(0);
        if (nextEventDescription == lastMiniDescription_ && state_.gMiniLayoutDone) return;
        // Only the caption shows: the window is as wide as its text in the about box's
        // font, within bounds, and never wider than the normal window was.
        const ui::Font captionFont{std::string(kDefaultFontName), 10, true, false};
        const int w = std::min(c_.services.metrics.textWidth(captionFont, caption()) + kMiniExtraWidth, kMiniMaxWidth);
        if (gSettings_ && w < gSettings_->Width()) setWidth(w);
        lastMiniDescription_ = nextEventDescription;
        state_.gMiniLayoutDone = true;
        return;
    }
    state_.gMiniLayoutDone = false;

    const int rows = msGrid.rows();
    const int rowsHeight = rows > 0 ? msGrid.rowHeight(0) * rows : 0;
    const int toolbarBottom = Toolbar1.top() + Toolbar1.height();
    const int banner = frameError.height();
    const int gridTop = toolbarBottom + banner;
    const int gridWidth = width() - kWidthLessGrid;
    int gridHeight = rowsHeight + kGridBorder;
    if (gridHeight > screen.screenHeight() - kScreenKeptFree) {
        gridHeight = screen.screenHeight() - StatusBar1.height() - Toolbar1.height() - banner - kScreenKeptFree;
    }
    const bool rowsFit = gridHeight >= rowsHeight;
    msGrid.setGeometry({0, gridTop, gridWidth, gridHeight});

    setHeight(StatusBar1.height() + kWindowChrome + Toolbar1.height() + banner + gridHeight);

    if (msGrid.cols() >= kListColumns) {
        int description = gridWidth;
        for (int col : {grdModified, grdWendra, grdDate, grdDayofWeek, grdTime})
            description -= std::max(0, msGrid.colWidth(col));
        description -= rowsFit ? kDescriptionLessBorder : kDescriptionLessScrollBar;
        descriptionRoom_ = description;
        msGrid.setColWidth(grdSubject, std::max(kMinDescriptionWidth, description));
    }

    if (top() + height() > screen.screenHeight()) setTop(std::max(0, (screen.screenHeight() - height()) / 2));

    frameError.setGeometry({frameError.left(), toolbarBottom - kBannerOverlap, gridWidth, banner});
    lblError.setWidth(frameError.width() - lblError.left() - 300);
    cmdErrorClose.move(frameError.left() + frameError.width() - cmdErrorClose.width(), 100);
}

void frmMain::keepDescriptionWidth(int before) {
    // A window the user sized stays as sized; one of the designed width (give or
    // take the pixel its conversion to the screen's resolution may cost) was never
    // sized, and the description getting what is left would leave it a character or
    // two of a larger font. Never wider than the screen, and kept on it.
    constexpr int kPixelAllowance = 30;
    if (state_.gMinimalDisplay || std::abs(width() - kDesignWindow.width) > kPixelAllowance) return;
    if (msGrid.cols() < kListColumns || descriptionRoom_ >= before) return;
    const int screen = c_.services.placement.screenWidth();
    int wider = width() + before - descriptionRoom_;
    if (screen > 0) {
        wider = std::min(wider, screen);
        if (left() + wider > screen) setLeft(std::max(0, screen - wider));
    }
    setWidth(wider);
    layoutForm();
}

void frmMain::loadWindowSettings() {
    if (!gSettings_) return;
    const ui::WindowPlacement& screen = c_.services.placement;
    const int t = std::max(0, static_cast<int>(gSettings_->Top()));
    const int l = std::max(0, static_cast<int>(gSettings_->Left()));
    const int w = std::max(1000, static_cast<int>(gSettings_->Width()));
    setGeometry({l, t, w, height()});
    if (t > screen.screenHeight() - 500 || l > screen.screenWidth() - 500) ui::centreForm(*this, screen);

    const ui::Font f{gSettings_->FontName(), static_cast<double>(gSettings_->FontSize()), gSettings_->FontBold(),
                     gSettings_->FontItalic()};
    setFont(f);
    msGrid.setFont(f);

    mnuView_Headings.setChecked(gSettings_->ViewHeadings());
    mnuView_Date.setChecked(gSettings_->ViewDate() != -1);
    mnuView_DayOfWeek.setChecked(gSettings_->ViewDayOfWeek() != -1);
    mnuView_Time.setChecked(gSettings_->ViewTime() != -1);
    mnuView_Wendra.setChecked(gSettings_->ViewWendra() != -1);
    mnuView_LongDescription.setChecked(gSettings_->ViewLongDesc());
    mnuMerge_Dates.setChecked(gSettings_->MergeDates());
    // Loaded with its siblings, so that after a restart the mark and the list agree.
    mnuMerge_DaysOfWeek.setChecked(gSettings_->MergeDaysOfWeek());
    mnuMerge_Wendra.setChecked(gSettings_->MergeWendra());
}

void frmMain::saveWindowSettings() {
    if (!gSettings_) return;
    clsSettings& s = *gSettings_;
    if (windowState() != ui::WindowState::Minimized) {
        s.setTop(top());
        s.setLeft(left());
        if (!state_.gMinimalDisplay) s.setWidth(width());
    }

    const ui::Font f = msGrid.font().value_or(font());
    s.setFontName(f.name);
    s.setFontSize(static_cast<std::int16_t>(std::nearbyint(f.size)));
    s.setFontBold(f.bold);
    s.setFontItalic(f.italic);

    // A ticked column stores the width it was given. One without a width yet (just
    // switched on, or not laid out) keeps what is stored, or becomes automatic: a
    // width of 0 stored under a tick would hide it for good.
    const auto column = [this](bool ticked, int col, std::int32_t stored) -> std::int32_t {
        const std::int32_t current = columnSetting(ticked, col, false);
        if (!ticked || current > 0) return current;
        return stored > 0 ? stored : -9;
    };
    s.setViewDate(column(mnuView_Date.checked(), grdDate, s.ViewDate()));
    s.setViewTime(column(mnuView_Time.checked(), grdTime, s.ViewTime()));
    s.setViewWendra(column(mnuView_Wendra.checked(), grdWendra, s.ViewWendra()));
    s.setViewDayOfWeek(column(mnuView_DayOfWeek.checked(), grdDayofWeek, s.ViewDayOfWeek()));

    s.setViewLongDesc(mnuView_LongDescription.checked());
    s.setMergeWendra(mnuMerge_Wendra.checked());
    s.setMergeDates(mnuMerge_Dates.checked());
}

std::int32_t frmMain::columnSetting(bool visible, int col, bool automatic) const {
    if (!visible) return -1;
    if (automatic) return -9;
    return msGrid.colWidth(col);
}

// ---- view menu ------------------------------------------------------------------------

void frmMain::mnuView_Headings_Click() {
    mnuView_Headings.setChecked(!mnuView_Headings.checked());
    if (gSettings_) gSettings_->setViewHeadings(mnuView_Headings.checked());
    saveWindowSettings();
    refreshList();
}

void frmMain::mnuView_Date_Click() {
    mnuView_Date.setChecked(!mnuView_Date.checked());
    if (gSettings_) gSettings_->setViewDate(columnSetting(mnuView_Date.checked(), grdDate, true));
    refreshList();
}

void frmMain::mnuView_Time_Click() {
    mnuView_Time.setChecked(!mnuView_Time.checked());
    if (gSettings_) gSettings_->setViewTime(columnSetting(mnuView_Time.checked(), grdTime, true));
    refreshList();
}

void frmMain::mnuView_Wendra_Click() {
    mnuView_Wendra.setChecked(!mnuView_Wendra.checked());
    if (gSettings_) gSettings_->setViewWendra(columnSetting(mnuView_Wendra.checked(), grdWendra, true));
    refreshList();
}

void frmMain::mnuView_LongDescription_Click() {
    mnuView_LongDescription.setChecked(!mnuView_LongDescription.checked());
    if (gSettings_) gSettings_->setViewLongDesc(mnuView_LongDescription.checked());
    refreshList();
}

void frmMain::mnuMerge_Dates_Click() {
    mnuMerge_Dates.setChecked(!mnuMerge_Dates.checked());
    if (gSettings_) gSettings_->setMergeDates(mnuMerge_Dates.checked());
    refreshList();
}

void frmMain::mnuMerge_Wendra_Click() {
    mnuMerge_Wendra.setChecked(!mnuMerge_Wendra.checked());
    if (gSettings_) gSettings_->setMergeWendra(mnuMerge_Wendra.checked());
    refreshList();
}

void frmMain::mnuShrinkPastEvents_Click() {
    if (shrinkPast) {
        expandPastRows(true);
    } else {
        shrinkPastRows();
    }
}

void frmMain::expandPastRows(bool refresh) {
    mnuShrinkPastEvents.setCaption("Shrink past events");
    Toolbar1.button("toolbarExpand")->setChecked(true);
    // Check style and back releases the other button of the pair.
    ui::Command& other = *Toolbar1.button("toolbarShrink");
    other.setStyle(ui::CommandStyle::Check);
    other.setStyle(ui::CommandStyle::ButtonGroup);
    shrinkPast = false;
    if (refresh) refreshList();
}

void frmMain::shrinkPastRows() {
    mnuShrinkPastEvents.setCaption("Expand past events");
    Toolbar1.button("toolbarShrink")->setChecked(true);
    ui::Command& other = *Toolbar1.button("toolbarExpand");
    other.setStyle(ui::CommandStyle::Check);
    other.setStyle(ui::CommandStyle::ButtonGroup);
    shrinkPast = true;
    refreshList();
}

}  // namespace wendra
