// Saving through the main window: the store, the Outlook copy and the update counter
// the gadget library watches; and the dialogs' cancel flag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/frmMain.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;

namespace {

class DoSave : public ::testing::Test, protected test::MainWindowRig {
protected:
    DoSave() { outlook.calendarId = 4; }
    std::optional<clsCalEvent> stored(const clsCalEvent& ev) { return MainWindowRig::stored(ev.WendraWinId()); }
    static clsCalEvent event(std::string description) {
        clsCalEvent ev;
        ev.setDescription(std::move(description));
        ev.setEventStart(DateTime::ymd(2024, 5, 1, 10, 0));
        ev.setAllDayEvent(false);
        return ev;
    }
};

// Each answer of the save with what it leaves in the store, in Outlook and in
// the counter the gadget library watches.
TEST_F(DoSave, AnswersAndWhatEachSaveLeavesInTheStoreOutlookAndTheCounter) {
    struct Case {
        const char* name;
        bool outlookMode;
        bool connected;
        bool excludeOutlook;
        bool outlookSaves;
        bool rowGone;  // the stored row is deleted behind the window's back before the save
        SaveResult answer;
        bool storedAfter;
        int counted;
        // "" stands for the event's store key, known only after the save.
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases{
        // Connected or not, standalone leaves Outlook alone.
        {"standalone", false, true, false, true, false, SaveResult::Saved, true, 1, {}},
        // Outlook gets the entry id the event had before the save.
        {"Outlook mode", true, true, false, true, false, SaveResult::Saved, true, 1,
         {"getXID Board meeting", "Save Board meeting AAAA0001 stored as "}},
        // The store holds the change: the counter moves, so the gadget shows it.
        {"Outlook fails", true, true, false, false, false, SaveResult::OutlookFailed, true, 1,
         {"getXID Board meeting", "Save Board meeting AAAA0001 stored as "}},
        // The entry id is looked up first; nothing is written to Outlook.
        {"store fails", true, true, false, true, true, SaveResult::StoreFailed, false, 0, {"getXID Board meeting"}},
        {"not connected yet", true, false, false, true, false, SaveResult::Saved, true, 1, {"getXID Board meeting"}},
        {"made in Outlook", true, true, true, true, false, SaveResult::Saved, true, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::MainWindowRig rig;
        rig.outlook.saveAnswer = c.outlookSaves;
        if (c.outlookMode) rig.preset("Mode", "Outlook", "True");
        frmMain& f = rig.start();
        f.state().gOutlookConnected = c.connected;
        clsCalEvent ev = event("Board meeting");
        if (c.rowGone) {
            ASSERT_EQ(f.doSave(ev, SaveMode::Always, c.excludeOutlook), SaveResult::Saved);
            rig.raw("DELETE FROM Events");
        }
        rig.outlook.calls.clear();
        const int before = rig.counter();

        EXPECT_EQ(f.doSave(ev, SaveMode::Always, c.excludeOutlook), c.answer);
        EXPECT_FALSE(ev.WendraWinId().empty());
        const auto kept = rig.stored(ev.WendraWinId());
        EXPECT_EQ(kept.has_value(), c.storedAfter);
        if (kept) {
            EXPECT_EQ(kept->Description(), "Board meeting");
        }
        EXPECT_EQ(rig.counter(), before + c.counted);
        std::vector<std::string> calls = c.calls;
        for (std::string& call : calls)
            if (call.ends_with("stored as ")) call += ev.WendraWinId();
        EXPECT_EQ(rig.outlook.calls, calls);
    }
}

TEST_F(DoSave, TheStoreIsAlwaysAskedToOverwriteWhateverModeTheCallerNames) {
    frmMain& f = start();
    clsCalEvent ev = event("Original");
    ASSERT_EQ(f.doSave(ev, SaveMode::Always, false), SaveResult::Saved);
    // The stored row is newer than the event in hand; mode 0 alone would keep it.
    raw("UPDATE Events SET LastModified=#1 Jan 2030 00:00:00#");
    ev.setDescription("Changed");
    EXPECT_EQ(f.doSave(ev, SaveMode::UnlessStoredNewer, false), SaveResult::Saved);
    ASSERT_TRUE(stored(ev).has_value());
    EXPECT_EQ(stored(ev)->Description(), "Changed");
}

TEST_F(DoSave, TheStoreSavesThroughTheWindowAsItsHost) {
    frmMain& f = start();
    StoreHost& host = f;
    clsCalEvent ev = event("Through the host");
    const int before = counter();
    EXPECT_EQ(host.doSave(ev, SaveMode::IfNewer, false), SaveResult::Saved);
    EXPECT_EQ(counter(), before + 1);
    EXPECT_EQ(host.OutlookCalendarId(), std::nullopt);  // not connected
    f.state().gOutlookConnected = true;
    EXPECT_EQ(host.OutlookCalendarId(), 4);
    outlook.calendarId = -1;
    EXPECT_EQ(host.OutlookCalendarId(), std::nullopt);
}

TEST_F(DoSave, TheCancelFlagIsWhatTheDialogLastSaid) {
    frmMain& f = start();
    CancelFlagOwner& owner = f;
    EXPECT_FALSE(owner.FlagCancel());
    owner.setFlagCancel(true);
    EXPECT_TRUE(f.FlagCancel());
    f.setFlagCancel(false);
    EXPECT_FALSE(owner.FlagCancel());
}

}  // namespace
