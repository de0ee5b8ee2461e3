#include <gtest/gtest.h>

#include <string>

#include "editor/CancelFlag.h"
#include "mainwindow/frmDefaultPriorWarn.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/Layout.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsSettings.h"
#include "tests/support/DialogRig.h"

using namespace wendra;

namespace {

const std::string kDaysMessage = "`Default prior warning` should be a value from 0 to 999 days";

using FlagOwner = test::FlagRecorder;

class DefaultPriorWarnTest : public ::testing::Test, protected test::DialogRig {
protected:
    DefaultPriorWarnTest() { owner.setGeometry({1200, 900, 9000, 6000}); }

    ui::TestServices ui;
    ui::Form owner{"frmMain", "Wendra (win)"};
    FlagOwner& main = opener;
    frmDefaultPriorWarn dlg{settings, ui.services(), owner, main};

    void run(std::function<void(frmDefaultPriorWarn&)> actions) {
        ui.dialogs.script("frmDefaultPriorWarn",
                          [actions](ui::Form& f) { actions(static_cast<frmDefaultPriorWarn&>(f)); });
        ui.dialogs.showModal(dlg, &owner);
    }
    std::int16_t storedPriorWarning() { return reread().PriorWarning(); }
};

TEST_F(DefaultPriorWarnTest, LoadCentresOverTheMainWindowWithTheStoredDays) {
    settings.setPriorWarning(14);
    run([&](frmDefaultPriorWarn& f) {
        EXPECT_EQ(f.caption(), "Wendra (win)");
        EXPECT_EQ(f.txtDaysInAdvance.text(), "14");
        EXPECT_EQ(f.lblDaysInAdvance.caption(), "Default prior warning");
        EXPECT_EQ(f.lblDays.caption(), "days");
        // Same centre as the main window, to the twip of rounding.
        EXPECT_NEAR(f.left() + f.width() / 2.0, 1200 + 9000 / 2.0, 1);
        EXPECT_NEAR(f.top() + f.height() / 2.0, 900 + 6000 / 2.0, 1);
        f.cmdCancel.press();
    });
}

TEST_F(DefaultPriorWarnTest, SaveStoresTheDaysAndLeavesTheFlagAlone) {
    run([](frmDefaultPriorWarn& f) {
        f.txtDaysInAdvance.setText("45");
        f.cmdSave.press();
    });
    EXPECT_TRUE(dlg.saved());
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(storedPriorWarning(), 45);
    EXPECT_EQ(main.sets, 0);
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(DefaultPriorWarnTest, AnInvalidBoxKeepsTheDialogOpenWithTheMessage) {
    for (const char* text : {"", "1000", "abc", "-3", "12.5.1"}) {
        SCOPED_TRACE(text);
        frmDefaultPriorWarn f(settings, ui.services(), owner, main);
        f.show();
        store.resetCounts();
        ui.messages.reset();
        main.sets = 0;
        f.txtDaysInAdvance.setText(text);
        f.cmdSave.press();
        ASSERT_EQ(ui.messages.calls().size(), 1u);
        EXPECT_EQ(ui.messages.last().text, kDaysMessage);
        EXPECT_EQ(ui.messages.last().icon, ui::MessageIcon::None);
        EXPECT_TRUE(f.txtDaysInAdvance.hasFocus());
        EXPECT_TRUE(f.isLoaded());
        EXPECT_EQ(store.writes(), 0);
        EXPECT_EQ(main.sets, 0);
        f.cmdCancel.press();
    }
}

TEST_F(DefaultPriorWarnTest, EveryCloseOtherThanSaveIsACancel) {
    run([](frmDefaultPriorWarn& f) {
        f.txtDaysInAdvance.setText("5");
        f.cmdCancel.press();
    });
    EXPECT_TRUE(main.flag);
    EXPECT_FALSE(dlg.saved());

    // The close box (the runner closes a dialog its script left open).
    main.flag = false;
    frmDefaultPriorWarn closed(settings, ui.services(), owner, main);
    ui.dialogs.script("frmDefaultPriorWarn",
                      [](ui::Form& f) { static_cast<frmDefaultPriorWarn&>(f).txtDaysInAdvance.setText("6"); });
    ui.dialogs.showModal(closed, &owner);
    EXPECT_FALSE(ui.dialogs.calls().back().closedByScript);
    EXPECT_TRUE(main.flag);

    // A refused Save followed by the close box is a cancel too.
    main.flag = false;
    frmDefaultPriorWarn refused(settings, ui.services(), owner, main);
    refused.show();
    refused.txtDaysInAdvance.setText("5000");
    refused.cmdSave.press();
    EXPECT_FALSE(main.flag);
    EXPECT_TRUE(refused.requestClose());
    EXPECT_TRUE(main.flag);
    EXPECT_EQ(storedPriorWarning(), 30);  // the default: nothing was ever written
}

TEST_F(DefaultPriorWarnTest, ArrowsClampAndAFractionIsStoredRounded) {
    run([](frmDefaultPriorWarn& f) {
        f.txtDaysInAdvance.setText("99999");
        f.udDaysInAdvance().up();
        EXPECT_EQ(f.txtDaysInAdvance.text(), "999");
        f.txtDaysInAdvance.setFocus();
        f.txtDaysInAdvance.typeText("7,5.5d");
        EXPECT_EQ(f.txtDaysInAdvance.text(), "75.5");
        f.cmdSave.press();
    });
    EXPECT_EQ(storedPriorWarning(), 76);  // 75.5 rounds half to even
}

}  // namespace
