#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwindow/frmOptions.h"
#include "platform/serial/FakeSerialPort.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/Layout.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsSettings.h"
#include "tests/support/DialogRig.h"

using namespace wendra;
using wendra::ui::MessageIcon;

namespace {

const std::string kDaysMessage = "`Default prior warning` should be a value from 0 to 999 days";
const std::string kHoursMessage = "`Count as past event after` should be a value from 0 to 24 hours";

class OptionsTest : public ::testing::Test, protected test::DialogRig {
protected:
    ui::TestServices ui;
    FakeSerialPort port;
    frmOptions dlg{settings, ui.services(), port};

    // Opens the dialog the way the main window does, with the user's actions.
    void run(std::function<void(frmOptions&)> actions) {
        ui.dialogs.script("frmOptions", [actions](ui::Form& f) { actions(static_cast<frmOptions&>(f)); });
        ui.dialogs.showModal(dlg);
    }

    // A fresh settings object over the same store: what was really written.
    clsSettings stored() { return reread(); }
};

TEST_F(OptionsTest, LoadShowsTheSettingsAndFillsBothLists) {
    settings.setPriorWarning(45);
    settings.setPastEventHours(3);
    settings.setViewCountdown(1);
    settings.setCommPort(4);
    run([&](frmOptions& f) {
        EXPECT_EQ(f.caption(), "Settings");
        EXPECT_EQ(f.txtDaysInAdvance.text(), "45");
        EXPECT_EQ(f.txtPastEventHours.text(), "3");
        ASSERT_EQ(f.cmbCountdown.listCount(), 3);
        EXPECT_EQ(f.cmbCountdown.list(0), "Always");
        EXPECT_EQ(f.cmbCountdown.list(1), "When minimized");
        EXPECT_EQ(f.cmbCountdown.list(2), "Never");
        EXPECT_EQ(f.cmbCountdown.listIndex(), 1);
        ASSERT_EQ(f.cmbCommPort.listCount(), 18);
        EXPECT_EQ(f.cmbCommPort.list(0), "None");
        EXPECT_EQ(f.cmbCommPort.list(1), "COM0");
        EXPECT_EQ(f.cmbCommPort.list(17), "COM16");
        EXPECT_EQ(f.cmbCommPort.text(), "COM4");
        EXPECT_FALSE(f.StatusBar1.visible());
        // Centred on the screen, ending just below the buttons.
        EXPECT_NEAR(f.left() + f.width() / 2.0, ui.placement.screenWidth() / 2.0, 1);
        EXPECT_GT(f.height(), f.frameButtons.top() + f.frameButtons.height());
    });
}

TEST_F(OptionsTest, KeyFilterLetsDigitsFullStopAndBackspaceThrough) {
    for (int key : std::initializer_list<int>{'0', '5', '9', '.', 8}) EXPECT_EQ(decimalKeyFilter(key), key) << key;
    for (int key : std::initializer_list<int>{'a', '-', ',', ' ', '+', 'e', 13, '/', ':'}) EXPECT_EQ(decimalKeyFilter(key), 0) << key;

    run([&](frmOptions& f) {
        for (ui::NumberBox* box : {&f.txtDaysInAdvance, &f.txtPastEventHours}) {
            box->setFocus();  // selects the whole text, so typing replaces it
            box->typeText("1a2-.5 x");
            EXPECT_EQ(box->text(), "12.5") << box->name();
            box->typeKey(8);
            EXPECT_EQ(box->text(), "12.") << box->name();
        }
    });
}

TEST_F(OptionsTest, ValidationNamesTheFirstFaultyBoxAndStoresNothing) {
    struct Case {
        const char* days;
        const char* hours;
        const std::string* message;
        bool daysFocused;
    };
    const std::vector<Case> cases = {
        {"", "2", &kDaysMessage, true},       {"1000", "2", &kDaysMessage, true}, {"abc", "2", &kDaysMessage, true},
        {"1.2.3", "2", &kDaysMessage, true},  {"999.4", "2", &kDaysMessage, true},  {"-1", "2", &kDaysMessage, true},   {"30", "", &kHoursMessage, false},
        {"30", "24.5", &kHoursMessage, false}, {"30", "25", &kHoursMessage, false}, {"30", "-0.5", &kHoursMessage, false},
        // Both wrong: only the first check speaks.
        {"9999", "99", &kDaysMessage, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.days) + " / " + c.hours);
        frmOptions f(settings, ui.services(), port);
        f.show();
        store.resetCounts();
        ui.messages.reset();
        f.txtDaysInAdvance.setText(c.days);
        f.txtPastEventHours.setText(c.hours);
        f.cmdSave.press();
        ASSERT_EQ(ui.messages.calls().size(), 1u);
        EXPECT_EQ(ui.messages.last().text, *c.message);
        EXPECT_EQ(ui.messages.last().icon, MessageIcon::None);
        EXPECT_EQ(ui.messages.last().buttons, ui::MessageButtons::OK);
        ui::NumberBox& faulty = c.daysFocused ? f.txtDaysInAdvance : f.txtPastEventHours;
        EXPECT_TRUE(faulty.hasFocus());
        EXPECT_EQ(faulty.selLength(), ui::charCount(faulty.text()));
        EXPECT_TRUE(f.isLoaded());
        EXPECT_FALSE(f.saved());
        EXPECT_EQ(store.writes(), 0);
        EXPECT_TRUE(port.opens().empty());
    }
}

TEST_F(OptionsTest, FractionsWithinTheLimitsPassAndAreStoredRounded) {
    run([&](frmOptions& f) {
        f.txtDaysInAdvance.setText("998.5");
        f.txtPastEventHours.setText("23.5");
        f.cmdSave.press();
    });
    EXPECT_TRUE(dlg.saved());
    EXPECT_TRUE(ui.messages.calls().empty());
    EXPECT_EQ(stored().PriorWarning(), 998);  // half to even
    EXPECT_EQ(stored().PastEventHours(), 24);
}

TEST_F(OptionsTest, ArrowsStepWithinTheLimitsWhateverTheBoxHolds) {
    run([&](frmOptions& f) {
        struct Step {
            ui::NumberBox& box;
            const char* text;
            bool up;
            const char* expected;
        };
        const std::vector<Step> steps = {
            {f.txtDaysInAdvance, "998", true, "999"},   {f.txtDaysInAdvance, "999", true, "999"},
            {f.txtDaysInAdvance, "99999", true, "999"}, {f.txtDaysInAdvance, "99999", false, "999"},
            {f.txtDaysInAdvance, "1", false, "0"},      {f.txtDaysInAdvance, "0", false, "0"},
            {f.txtDaysInAdvance, "", true, "1"},        {f.txtDaysInAdvance, "x", false, "1"},
            {f.txtDaysInAdvance, "99999999999999999999", true, "999"},
            // The hours stop where Save's check does.
            {f.txtPastEventHours, "23", true, "24"},    {f.txtPastEventHours, "24", true, "24"},
            {f.txtPastEventHours, "99", false, "24"},   {f.txtPastEventHours, "12.5", true, "13"},
            {f.txtPastEventHours, "0", false, "0"},
        };
        for (const Step& s : steps) {
            s.box.setText(s.text);
            // The user's click lands on the arrows control.
            s.up ? s.box.arrows().up() : s.box.arrows().down();
            EXPECT_EQ(s.box.text(), s.expected) << s.box.name() << " " << s.text << (s.up ? " up" : " down");
        }
        EXPECT_EQ(&f.udPastEventHours(), &f.txtPastEventHours.arrows());
    });
}

TEST_F(OptionsTest, SaveStoresEverySettingThenTestsThePort) {
    std::vector<std::string> statusShown;
    const auto watch = dlg.StatusBar1.subscribe([&] {
        if (dlg.StatusBar1.visible() && !dlg.StatusBar1.text(1).empty()) statusShown.push_back(dlg.StatusBar1.text(1));
    });
    int heightAtLoad = 0;
    run([&](frmOptions& f) {
        heightAtLoad = f.height();
        f.txtDaysInAdvance.setText("60");
        f.txtPastEventHours.setText("12");
        f.cmbCountdown.setListIndex(2);
        f.cmbCommPort.setListIndex(4);
        f.cmdSave.press();
    });
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_TRUE(dlg.saved());
    clsSettings s = stored();
    EXPECT_EQ(s.PriorWarning(), 60);
    EXPECT_EQ(s.PastEventHours(), 12);
    EXPECT_EQ(s.ViewCountdown(), 2);
    EXPECT_EQ(s.CommPort(), 3);
    EXPECT_EQ(port.opens(), std::vector<int>{3});
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(dlg.commPortOpened(), true);
    EXPECT_EQ(statusShown, std::vector<std::string>{"Testing COM3..."});
    EXPECT_FALSE(dlg.StatusBar1.visible());
    EXPECT_EQ(dlg.height(), heightAtLoad);
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(OptionsTest, APortThatFailsIsReportedWhileTheTestingTextStandsAndTheRestIsKept) {
    port.failOpen(7, SerialError{2, "/dev/ttyS6: No such file or directory"});
    int heightAtLoad = 0;
    bool statusStood = false;
    ui.messages.onShow = [&](const ui::MessageRequest&) {
        statusStood = dlg.StatusBar1.visible() && dlg.StatusBar1.text(1) == "Testing COM7..." &&
                      dlg.height() > heightAtLoad;
    };
    run([&](frmOptions& f) {
        heightAtLoad = f.height();
        f.txtDaysInAdvance.setText("5");
        f.cmbCommPort.setListIndex(8);
        f.cmdSave.press();
    });
    ASSERT_EQ(ui.messages.calls().size(), 1u);
    EXPECT_EQ(ui.messages.last().text,
              "Error opening serial communications port, COM7\r\n\r\nReported error=/dev/ttyS6: No such file or "
              "directory (2)");
    EXPECT_EQ(ui.messages.last().icon, MessageIcon::Critical);
    EXPECT_TRUE(statusStood);
    EXPECT_EQ(dlg.commPortOpened(), false);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(stored().CommPort(), 7);
    EXPECT_EQ(stored().PriorWarning(), 5);
    EXPECT_EQ(dlg.height(), heightAtLoad);
}

TEST_F(OptionsTest, PortZeroAndNoneCloseTheLineButOnlyZeroShowsATest) {
    ASSERT_TRUE(port.open(2));
    std::vector<std::string> statusShown;
    const auto watch = dlg.StatusBar1.subscribe([&] {
        if (dlg.StatusBar1.visible()) statusShown.push_back(dlg.StatusBar1.text(1));
    });
    run([](frmOptions& f) {
        f.cmbCommPort.setListIndex(1);  // COM0
        f.cmdSave.press();
    });
    EXPECT_EQ(stored().CommPort(), 0);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.opens(), std::vector<int>{2});
    EXPECT_EQ(dlg.commPortOpened(), true);
    ASSERT_FALSE(statusShown.empty());
    EXPECT_EQ(statusShown.back(), "Testing COM0...");

    statusShown.clear();
    frmOptions again(settings, ui.services(), port);
    ASSERT_TRUE(port.open(2));
    const auto watchAgain = again.StatusBar1.subscribe([&] {
        if (again.StatusBar1.visible()) statusShown.push_back(again.StatusBar1.text(1));
    });
    ui.dialogs.script("frmOptions", [](ui::Form& f) {
        auto& o = static_cast<frmOptions&>(f);
        o.cmbCommPort.setListIndex(0);  // None
        o.cmdSave.press();
    });
    ui.dialogs.showModal(again);
    EXPECT_EQ(stored().CommPort(), -1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(statusShown.empty());
}

TEST_F(OptionsTest, SavingThePortItIsOpenOnLeavesTheLineAlone) {
    settings.setCommPort(5);
    ASSERT_TRUE(port.open(5));
    run([](frmOptions& f) { f.cmdSave.press(); });
    EXPECT_EQ(port.opens(), std::vector<int>{5});
    EXPECT_EQ(port.closeCount(), 0);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(OptionsTest, AStoredValueBeyondTheListsIsKeptBySave) {
    settings.setCommPort(20);
    settings.setViewCountdown(9);
    run([](frmOptions& f) {
        EXPECT_EQ(f.cmbCommPort.listIndex(), -1);
        EXPECT_EQ(f.cmbCountdown.listIndex(), -1);
        f.cmdSave.press();
    });
    EXPECT_TRUE(dlg.saved());
    EXPECT_EQ(stored().CommPort(), 20);
    EXPECT_EQ(stored().ViewCountdown(), 9);
    EXPECT_EQ(port.opens(), std::vector<int>{20});
}

TEST_F(OptionsTest, CancelAndTheCloseBoxStoreNothing) {
    store.resetCounts();
    run([](frmOptions& f) {
        f.txtDaysInAdvance.setText("7");
        f.cmbCommPort.setListIndex(3);
        f.cmdCancel.press();
    });
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_FALSE(dlg.saved());
    EXPECT_FALSE(dlg.commPortOpened().has_value());

    frmOptions closed(settings, ui.services(), port);
    ui.dialogs.script("frmOptions", [](ui::Form& f) { static_cast<frmOptions&>(f).txtPastEventHours.setText("9"); });
    ui.dialogs.showModal(closed);  // left open: the runner uses the close box
    EXPECT_FALSE(ui.dialogs.calls().back().closedByScript);
    EXPECT_FALSE(closed.saved());
    EXPECT_EQ(store.writes(), 0);
    EXPECT_TRUE(port.opens().empty());
}

TEST_F(OptionsTest, ButtonsTakeTheFocusColourUnderThePointerOrWithTheFocus) {
    run([](frmOptions& f) {
        EXPECT_EQ(f.cmdSave.backColour(), ui::kFocusOffColour);
        f.cmdSave.mouseMove();
        EXPECT_EQ(f.cmdSave.backColour(), ui::kFocusOnColour);
        f.cmdCancel.mouseMove();
        EXPECT_EQ(f.cmdSave.backColour(), ui::kFocusOffColour);
        EXPECT_EQ(f.cmdCancel.backColour(), ui::kFocusOnColour);
        f.frameButtons.mouseMove();
        EXPECT_EQ(f.cmdCancel.backColour(), ui::kFocusOffColour);
        f.cmdSave.setFocus();
        EXPECT_EQ(f.cmdSave.backColour(), ui::kFocusOnColour);
        f.cmdSave.lostFocus();
        EXPECT_EQ(f.cmdSave.backColour(), ui::kFocusOffColour);
        f.cmdCancel.mouseMove();
        f.mouseMove();
        EXPECT_EQ(f.cmdCancel.backColour(), ui::kFocusOffColour);
    });
}

TEST_F(OptionsTest, TheMainWindowsOwnPortOpenerRunsOnceTheSettingsAreStored) {
    std::vector<bool> calls;
    int portSeen = -9;
    frmOptions f(settings, ui.services(), [&](bool displayWarn) {
        calls.push_back(displayWarn);
        portSeen = stored().CommPort();
        return false;
    });
    ui.dialogs.script("frmOptions", [](ui::Form& form) {
        auto& o = static_cast<frmOptions&>(form);
        o.cmbCommPort.setListIndex(10);
        o.cmdSave.press();
    });
    ui.dialogs.showModal(f);
    EXPECT_EQ(calls, std::vector<bool>{true});
    EXPECT_EQ(portSeen, 9);
    EXPECT_EQ(f.commPortOpened(), false);
    EXPECT_TRUE(f.saved());
    EXPECT_TRUE(port.opens().empty());
}

TEST_F(OptionsTest, OpenCommPortWithoutWarningFailsQuietly) {
    ui::RecordingMessageBox messages;
    port.failOpen(3, SerialError{13, "Permission denied"});
    EXPECT_FALSE(openCommPort(port, 3, false, messages));
    EXPECT_TRUE(messages.calls().empty());
    // A failed port is tried again next time, even on the same number.
    EXPECT_FALSE(openCommPort(port, 3, false, messages));
    EXPECT_EQ(port.opens(), (std::vector<int>{3, 3}));
    EXPECT_TRUE(openCommPort(port, 4, false, messages));
    EXPECT_TRUE(openCommPort(port, -1, false, messages));
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
