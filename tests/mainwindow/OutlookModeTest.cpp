// The main window in Outlook mode over the real binding and a calendar file in
// the program's folder, with a scripted appointment window: the minute timer's
// connection and its first pass, New, Edit, Visibility and Delete reaching the
// appointments, and the mode dialog's test of the calendar.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "editor/frmDeleteSingle.h"
#include "editor/frmVisibility.h"
#include "exchange/clsDataOutlook.h"
#include "mainwindow/MinuteTick.h"
#include "mainwindow/frmMode.h"
#include "store/modFuncs.h"
#include "tests/support/CalendarRig.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;

namespace {

namespace fs = std::filesystem;

using test::at;

class OutlookMode : public ::testing::Test, protected test::MainWindowRig {
protected:
    OutlookMode() : MainWindowRig(at(2024, 3, 5, 14, 0, 20)) {
        preset("Mode", "WendraWin", "False");
        preset("Mode", "Outlook", "True");
        otherOutlook = &binding;
    }

    fs::path calendarFile() const { return folder() / "Outlook.ics"; }
    outlook::CalendarOptions calendarOptions(fs::path file) const {
        outlook::CalendarOptions o;
        o.file = std::move(file);
        o.window = window;
        return o;
    }
    // The minute tick at `t`.
    void tickAt(DateTime t) {
        clock.set(t);
        form->timerDispTimes_Timer();
    }
    // Started and connected by the minute timer, which waits a minute for it.
    frmMain& connected() {
        frmMain& f = start();
        tickAt(at(2024, 3, 5, 14, 2, 0));
        EXPECT_TRUE(f.state().gOutlookConnected);
        return f;
    }
    // A new appointment saved in the appointment window that New opens.
    void newAppointment(const std::string& subject, DateTime start) {
        window->save([=](outlook::AppointmentFields& a) {
            a.subject = subject;
            a.start = start;
            a.allDay = false;
            a.duration = 45;
        });
        form->newEvent();
    }
    // The calendar as another program reads it from the file's bytes.
    std::shared_ptr<outlook::AppointmentItem> inFile(const std::string& subject) {
        const fs::path copy = folder() / ("read-" + std::to_string(++reads_) + ".ics");
        fs::copy_file(calendarFile(), copy);
        auto items = outlook::openCalendar(calendarOptions(copy))->GetNamespace("MAPI")->GetDefaultFolder(9)->Items();
        for (auto i = items->GetFirst(); i; i = items->GetNext())
            if (i->Subject() == subject) return i;
        return nullptr;
    }
    void select(int row) {
        ASSERT_GE(row, 0);
        form->msGrid.click(row, grdSubject);
    }

    std::shared_ptr<outlook::ScriptedWindow> window = std::make_shared<outlook::ScriptedWindow>();
    outlook::CalendarAutomation automation{calendarOptions(calendarFile())};
    clsDataOutlook binding{automation, ui.messages,
                           OutlookContext{[this] { return form ? form->store() : nullptr; },
                                          [this] { return form ? form->settings() : nullptr; },
                                          [this] { return form ? &form->state() : nullptr; }}};

private:
    int reads_ = 0;
};

TEST_F(OutlookMode, TheMinuteTimerConnectsAndTheFirstPassHoldsTheListUntilItsCheckEnds) {
    frmMain& f = start();
    EXPECT_EQ(f.getStatusText(), tick::kConnectingText);
    tickAt(at(2024, 3, 5, 14, 1, 0));  // 40 seconds: not yet
    EXPECT_FALSE(f.state().gOutlookConnected);
    EXPECT_FALSE(f.Toolbar1.button("toolbarNew")->visible());

    tickAt(at(2024, 3, 5, 14, 2, 0));
    EXPECT_TRUE(f.state().gOutlookConnected);
    EXPECT_EQ(f.getStatusText(), tick::kCheckingText);
    EXPECT_EQ(f.picOutlookStatus.imageKey(), "imgOutlook");
    EXPECT_TRUE(f.Toolbar1.button("toolbarNew")->visible());
    EXPECT_TRUE(f.Toolbar1.button("toolbarNew")->enabled());
    // Nothing linked yet: the first pass, the list's updates held back.
    EXPECT_TRUE(f.refreshPending);
    EXPECT_TRUE(f.outlookFirstPass);

    newAppointment("Dentist", at(2024, 3, 12, 9, 0));
    const auto item = inFile("Dentist");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Start(), at(2024, 3, 12, 9, 0));
    std::string id;
    ASSERT_EQ(f.store()->getXDataStatus(id, binding.CalendarId(), item->EntryID()), clsDataQVR::kLinkLive);
    ASSERT_TRUE(stored(id));
    EXPECT_EQ(stored(id)->Description(), "Dentist");
    EXPECT_LT(rowOf("Dentist"), 0);

    tickAt(at(2024, 3, 5, 14, 5, 0));  // 180 seconds of checking: not more
    EXPECT_LT(rowOf("Dentist"), 0);
    tickAt(at(2024, 3, 5, 14, 6, 0));
    EXPECT_EQ(f.getStatusText(), tick::kModeOutlookText);
    EXPECT_FALSE(f.refreshPending);
    EXPECT_GE(rowOf("Dentist"), 0);
    // From now on each change shows at once.
    newAppointment("Swim", at(2024, 3, 10, 8, 30));
    EXPECT_GE(rowOf("Swim"), 0);
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(OutlookMode, AConnectionThatFailsShowsWhyOnceForEachReasonUntilItConnects) {
    const std::string cannot = "Cannot establish a connection with Microsoft Outlook\r\n";
    fs::create_directories(calendarFile());
    frmMain& f = start();
    tickAt(at(2024, 3, 5, 14, 2, 0));
    EXPECT_FALSE(f.state().gOutlookConnected);
    EXPECT_EQ(f.getStatusText(), tick::kConnectingText);  // and it goes on trying
    EXPECT_TRUE(f.frameError.visible());
    EXPECT_EQ(f.lblError.caption(), cannot + "The calendar is not a plain file: " + calendarFile().string());
    // Closed by the user, the same failure does not come back; another one does.
    f.cmdErrorClose_Click();
    tickAt(at(2024, 3, 5, 14, 4, 0));
    EXPECT_FALSE(f.frameError.visible());
    fs::remove(calendarFile());
    std::ofstream(calendarFile()) << "garbage\n";
    tickAt(at(2024, 3, 5, 14, 6, 0));
    EXPECT_EQ(f.lblError.caption(),
              cannot + "The calendar file is damaged (text before the calendar): " + calendarFile().string());
    // Connected at last, the failure is over.
    fs::remove(calendarFile());
    tickAt(at(2024, 3, 5, 14, 8, 0));
    EXPECT_TRUE(f.state().gOutlookConnected);
    EXPECT_FALSE(f.frameError.visible());
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(OutlookMode, AnyFullRebuildEndsTheHeldBackUpdates) {
    frmMain& f = connected();
    ASSERT_TRUE(f.refreshPending);
    newAppointment("Dentist", at(2024, 3, 12, 9, 0));
    EXPECT_LT(rowOf("Dentist"), 0);
    f.Toolbar1.click("toolbarRefresh");
    EXPECT_FALSE(f.refreshPending);
    EXPECT_GE(rowOf("Dentist"), 0);
    newAppointment("Swim", at(2024, 3, 10, 8, 30));
    EXPECT_GE(rowOf("Swim"), 0);
}

TEST_F(OutlookMode, EditVisibilityAndDeleteReachTheAppointment) {
    frmMain& f = connected();
    newAppointment("Dentist", at(2024, 3, 12, 9, 0));
    f.refreshList();
    const std::string id = gridKeyValue(f.msGrid.textMatrix(rowOf("Dentist"), grdKey), Tag::Id);
    const std::string entryId = f.store()->getXID(binding.CalendarId(), *clsDataQVR::toEventKey(id));
    ASSERT_FALSE(entryId.empty());

    // Edit opens the appointment the row's event is linked to; the change comes back.
    clock.advanceSeconds(60);
    window->save([](outlook::AppointmentFields& a) { a.subject = "Dentist, moved"; });
    select(rowOf("Dentist"));
    f.editSelected(false);
    ASSERT_EQ(window->shown().size(), 2u);
    EXPECT_EQ(window->shown().back().subject, "Dentist");
    EXPECT_EQ(stored(id)->Description(), "Dentist, moved");
    EXPECT_GE(rowOf("Dentist, moved"), 0);

    // WendraWin's own dialog changes the prior warning: written to the appointment.
    ui.dialogs.script(frmVisibility::kFormName, [](ui::Form& d) {
        auto& v = dynamic_cast<frmVisibility&>(d);
        v.optPriorWarning.select(10);  // nine days: still in view
        v.cmdSave.press();
    });
    select(rowOf("Dentist, moved"));
    f.editVisibility();
    auto item = inFile("Dentist, moved");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->UserProperties()->Find("qvrPriorWarn")->Value() == outlook::PropertyValue(9.0));
    EXPECT_EQ(item->EntryID(), entryId);

    // Deleting the upcoming event deletes its appointment.
    ui.dialogs.script(frmDeleteSingle::kFormName,
                      [](ui::Form& d) { dynamic_cast<frmDeleteSingle&>(d).cmdHide.press(); });
    select(rowOf("Dentist, moved"));
    f.deleteSelected();
    EXPECT_EQ(inFile("Dentist, moved"), nullptr);
    EXPECT_FALSE(stored(id));
    EXPECT_TRUE(f.isSummaryRow(rowOf("Dentist, moved")));
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(OutlookMode, TheModeDialogTestsTheCalendar) {
    preset("Mode", "WendraWin", "True");
    preset("Mode", "Outlook", "False");
    frmMain& f = start();
    std::string status;
    const auto chooseOutlook = [&] {
        ui.dialogs.script("frmMode", [&](ui::Form& d) {
            auto& m = dynamic_cast<frmMode&>(d);
            m.optMode.select(1);
            status = m.StatusBar1.text(1);
            m.cmdSave.press();
        });
        f.mnuOptions_Mode_Click();
    };
    // A calendar file that cannot be read is no calendar to connect to: the reason
    // follows, and the status no longer says the test runs.
    fs::create_directories(calendarFile());
    chooseOutlook();
    EXPECT_EQ(messages(), std::vector<std::string>{"Cannot establish a connection with Microsoft Outlook\r\nThe "
                                                   "calendar is not a plain file: " + calendarFile().string()});
    EXPECT_EQ(status, "");
    EXPECT_FALSE(f.settings()->ModeOutlook());

    fs::remove(calendarFile());
    ui.messages.reset();
    chooseOutlook();
    EXPECT_EQ(status, "Connected to Microsoft Outlook - Press Save to continue.");
    EXPECT_TRUE(f.settings()->ModeOutlook());
    EXPECT_EQ(f.getStatusText(), tick::kConnectingText);
    EXPECT_TRUE(ui.messages.calls().empty());
}

}  // namespace
