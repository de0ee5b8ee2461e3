// Saving through the main window: the store, the Outlook copy and the update counter
// the gadget library watches; and the dialogs' cancel flag.
#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "mainwindow/frmMain.h"
#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "platform/serial/FakeSerialPort.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/sound/SoundRecorder.h"
#include "platform/ui/TestDoubles.h"

using namespace wendra;
namespace fs = std::filesystem;

namespace {

using wendra::test::TempFolder;

// The calendar as the main window sees it: notes each call, answers as told.
class RecordingOutlook final : public OutlookBinding {
public:
    bool OpenData() override { return true; }
    int CalendarId() override { return calendarId; }
    bool Find(clsCalEvent&, int, const std::string&, const std::string&) override { return false; }
    bool findOccur(clsCalEvent&, DateTime) override { return false; }
    std::string getXID(const clsCalEvent& ev) override {
        calls.push_back("getXID " + ev.Description());
        return xid;
    }
    bool Save(clsCalEvent& ev, const std::string& entryId) override {
        calls.push_back("Save " + ev.Description() + " " + entryId + " stored as " + ev.WendraWinId());
        return saveAnswer;
    }
    bool displayAddForm(clsCalEvent&) override { return false; }
    bool displayEditForm(clsCalEvent&, bool) override { return false; }

    std::vector<std::string> calls;
    std::string xid = "AAAA0001";
    bool saveAnswer = true;
    int calendarId = 4;
};

class DoSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db::createDatabaseFile(dir.path() / db::kDatabaseFileName));
        preset("Main", "Installed", "True");
    }
    void preset(std::string_view section, std::string_view key, std::string_view value) {
        settingsStore.saveSetting(clsSettings::AppName, section, key, value);
    }
    frmMain& start() {
        form = std::make_unique<frmMain>(frmMainCollaborators{ui.services(), settingsStore, dir.path(), outlook,
                                                              port, sound, &clock, {}, {}});
        form->show();
        EXPECT_EQ(form->startup(), frmMain::Startup::Running);
        return *form;
    }
    int counter() const { return form->settings()->getUpdateVersion(); }
    std::optional<clsCalEvent> stored(const clsCalEvent& ev) {
        clsCalEvent found;
        if (!form->store()->Find(found, clsDataQVR::kLocalCalendarId, ev.WendraWinId())) return std::nullopt;
        return found;
    }
    static clsCalEvent event(std::string description) {
        clsCalEvent ev;
        ev.setDescription(std::move(description));
        ev.setEventStart(DateTime::ymd(2024, 5, 1, 10, 0));
        ev.setAllDayEvent(false);
        return ev;
    }

    TempFolder dir;
    settings::MemorySettingsStore settingsStore;
    ui::TestServices ui;
    RecordingOutlook outlook;
    FakeSerialPort port;
    SoundRecorder sound;
    FakeClock clock{DateTime::ymd(2024, 4, 20, 9, 0)};
    std::unique_ptr<frmMain> form;
};

TEST_F(DoSave, StandaloneWritesTheStoreCountsOnceAndNeverTouchesOutlook) {
    frmMain& f = start();
    f.state().gOutlookConnected = true;  // connected or not, standalone leaves it alone
    const int before = counter();
    clsCalEvent ev = event("Dentist");
    EXPECT_EQ(f.doSave(ev, 2, false), 0);
    EXPECT_FALSE(ev.WendraWinId().empty());
    ASSERT_TRUE(stored(ev).has_value());
    EXPECT_EQ(stored(ev)->Description(), "Dentist");
    EXPECT_EQ(counter(), before + 1);
    EXPECT_TRUE(outlook.calls.empty());
}

TEST_F(DoSave, AFailedStoreSaveAnswersOneAndLeavesTheCounterAndOutlookAlone) {
    preset("Mode", "Outlook", "True");
    frmMain& f = start();
    f.state().gOutlookConnected = true;
    clsCalEvent ev = event("Vanished");
    ASSERT_EQ(f.doSave(ev, 2, false), 0);
    // The row goes behind the window's back: updating it now fails in the store.
    db::Connection raw;
    ASSERT_TRUE(raw.openFile(dir.path() / db::kDatabaseFileName));
    ASSERT_TRUE(raw.execute("DELETE FROM Events").has_value());
    outlook.calls.clear();
    const int before = counter();
    ev.setDescription("Vanished, edited");
    EXPECT_EQ(f.doSave(ev, 2, false), 1);
    EXPECT_EQ(counter(), before);
    // The entry id is looked up first; nothing is written to Outlook.
    EXPECT_EQ(outlook.calls, std::vector<std::string>{"getXID Vanished, edited"});
}

TEST_F(DoSave, OutlookModeCopiesToOutlookWithTheEntryIdItHadBeforeTheSave) {
    preset("Mode", "Outlook", "True");
    frmMain& f = start();
    f.state().gOutlookConnected = true;
    const int before = counter();
    clsCalEvent ev = event("Board meeting");
    EXPECT_EQ(f.doSave(ev, 2, false), 0);
    ASSERT_EQ(outlook.calls.size(), 2u);
    EXPECT_EQ(outlook.calls[0], "getXID Board meeting");
    EXPECT_EQ(outlook.calls[1], "Save Board meeting AAAA0001 stored as " + ev.WendraWinId());
    EXPECT_EQ(counter(), before + 1);
}

TEST_F(DoSave, AnOutlookFailureAnswersTwoYetTheStoreIsWrittenAndTheGadgetIsTold) {
    preset("Mode", "Outlook", "True");
    frmMain& f = start();
    f.state().gOutlookConnected = true;
    outlook.saveAnswer = false;
    const int before = counter();
    clsCalEvent ev = event("Board meeting");
    EXPECT_EQ(f.doSave(ev, 2, false), 2);
    ASSERT_TRUE(stored(ev).has_value());
    // The store holds the change: the counter moves, so the gadget shows it.
    EXPECT_EQ(counter(), before + 1);
}

TEST_F(DoSave, NoOutlookCopyWhileItIsNotConnectedOrWhenTheCallerLeavesItOut) {
    preset("Mode", "Outlook", "True");
    frmMain& f = start();
    clsCalEvent waiting = event("Before the connection");
    EXPECT_EQ(f.doSave(waiting, 2, false), 0);
    EXPECT_TRUE(stored(waiting).has_value());
    for (const auto& call : outlook.calls) EXPECT_FALSE(call.starts_with("Save ")) << call;

    f.state().gOutlookConnected = true;
    outlook.calls.clear();
    const int before = counter();
    clsCalEvent fromOutlook = event("Made in Outlook");
    EXPECT_EQ(f.doSave(fromOutlook, 2, true), 0);
    EXPECT_TRUE(outlook.calls.empty());
    EXPECT_EQ(counter(), before + 1);
}

TEST_F(DoSave, TheStoreIsAlwaysAskedToOverwriteWhateverModeTheCallerNames) {
    frmMain& f = start();
    clsCalEvent ev = event("Original");
    ASSERT_EQ(f.doSave(ev, 2, false), 0);
    // The stored row is newer than the event in hand; mode 0 alone would keep it.
    db::Connection raw;
    ASSERT_TRUE(raw.openFile(dir.path() / db::kDatabaseFileName));
    ASSERT_TRUE(raw.execute("UPDATE Events SET LastModified=#1 Jan 2030 00:00:00#").has_value());
    ev.setDescription("Changed");
    EXPECT_EQ(f.doSave(ev, 0, false), 0);
    ASSERT_TRUE(stored(ev).has_value());
    EXPECT_EQ(stored(ev)->Description(), "Changed");
}

TEST_F(DoSave, TheStoreSavesThroughTheWindowAsItsHost) {
    frmMain& f = start();
    StoreHost& host = f;
    clsCalEvent ev = event("Through the host");
    const int before = counter();
    EXPECT_EQ(host.doSave(ev, 1, false), 0);
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
