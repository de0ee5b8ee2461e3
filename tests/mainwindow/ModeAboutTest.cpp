#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "Version.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmMode.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/Layout.h"
#include "platform/ui/TestDoubles.h"
#include "store/DefaultFont.h"
#include "store/clsSettings.h"
#include "tests/support/ScriptedOutlook.h"
#include "tests/support/DialogRig.h"

using namespace wendra;

namespace {

const std::string kExplanation =
    "If you have Microsoft Outlook available on your computer then you may choose to use Wendra(win) in Microsoft "
    "Outlook mode.\r\n\r\nIn Outlook mode Wendra(win) will obtain data from the Outlook calendar events and display "
    "them in the Wendra(win) list. Any new meetings or events keyed into Outlook will automatically appear in the "
    "Wendra(win) list.\r\n\r\nIf you do wish to use Microsoft Outlook mode select the 'Connect to Microsft Outlook' "
    "option below and Wendra(Win) will check to see if it can successfully connect to it.";
const std::string kStandaloneInfo =
    "Standalone Mode: Calendar data will be obtained from the Wendra(win) database plus any data synchronised with "
    "Wendra(go).\r\n\r\nWendra(go) is the mobile version of Wendra(win).";
const std::string kOutlookInfo =
    "Microsoft Outlook Mode: Data will be obtained from Outlook calendar events plus any data synchronised with "
    "Wendra(go).\r\n\r\nWendra(go) is the mobile version of Wendra(win).";

class ModeTest : public ::testing::Test, protected test::DialogRig {
protected:
    ui::TestServices ui;
    // Connects or not, as the test says; it can look at the dialog while it connects.
    test::ScriptedOutlook outlook;
    frmMode dlg{settings, ui.services(), outlook};

    void run(std::function<void(frmMode&)> actions) {
        ui.dialogs.script("frmMode", [actions](ui::Form& f) { actions(static_cast<frmMode&>(f)); });
        ui.dialogs.showModal(dlg);
    }
    clsSettings stored() { return reread(); }
};

TEST_F(ModeTest, LoadExplainsTheModesAndTestsNothing) {
    run([&](frmMode& f) {
        EXPECT_EQ(f.caption(), "Select mode");
        EXPECT_EQ(f.lblText.caption(), kExplanation);
        EXPECT_EQ(f.Frame2.caption(), "Mode");
        EXPECT_EQ(f.optMode[0].caption(), "Standalone");
        EXPECT_EQ(f.optMode[1].caption(), "Connect to Microsoft Outlook");
        EXPECT_EQ(f.optMode.selected(), 0);
        EXPECT_EQ(f.lblModeInfo.caption(), kStandaloneInfo);
        EXPECT_TRUE(f.cmdSave.enabled());
        EXPECT_TRUE(f.StatusBar1.visible());
        EXPECT_EQ(f.StatusBar1.text(1), "");
        EXPECT_NEAR(f.left() + f.width() / 2.0, ui.placement.screenWidth() / 2.0, 1);
    });
    EXPECT_EQ(outlook.opens, 0);
}

TEST_F(ModeTest, OutlookStoredIsShownWithoutAConnectionTest) {
    settings.setModeWendraWin(false);
    settings.setModeOutlook(true);
    run([&](frmMode& f) {
        EXPECT_EQ(f.optMode.selected(), 1);
        EXPECT_EQ(f.lblModeInfo.caption(), kOutlookInfo);
        EXPECT_TRUE(f.cmdSave.enabled());
        f.cmdSave.press();
    });
    EXPECT_EQ(outlook.opens, 0);
    EXPECT_FALSE(stored().ModeWendraWin());
    EXPECT_TRUE(stored().ModeOutlook());
}

TEST_F(ModeTest, ChoosingOutlookTestsTheConnectionAndSaveStoresIt) {
    bool testingShown = false;
    outlook.whileConnecting = [&] {
        testingShown = dlg.StatusBar1.text(1) == "Testing connection with Microsoft Outlook..." &&
                       !dlg.cmdSave.enabled() && dlg.lblModeInfo.caption() == kOutlookInfo &&
                       dlg.mousePointer() == ui::MousePointer::Hourglass;
    };
    int heightAtLoad = 0;
    run([&](frmMode& f) {
        heightAtLoad = f.height();
        f.optMode[1].click();
        EXPECT_EQ(outlook.opens, 1);
        EXPECT_EQ(f.StatusBar1.text(1), "Connected to Microsoft Outlook - Press Save to continue.");
        EXPECT_EQ(f.optMode.selected(), 1);
        EXPECT_TRUE(f.cmdSave.enabled());
        EXPECT_EQ(f.mousePointer(), ui::MousePointer::Default);
        EXPECT_EQ(f.height(), heightAtLoad);  // the status bar was shown at load already
        f.cmdSave.press();
    });
    EXPECT_TRUE(testingShown);
    EXPECT_TRUE(ui.messages.calls().empty());
    EXPECT_TRUE(dlg.saved());
    EXPECT_FALSE(stored().ModeWendraWin());
    EXPECT_TRUE(stored().ModeOutlook());
}

TEST_F(ModeTest, AFailedTestFallsBackToStandaloneAndStoresNothing) {
    outlook.connects = false;
    store.resetCounts();
    run([&](frmMode& f) {
        f.optMode[1].click();
        ASSERT_EQ(ui.messages.calls().size(), 1u);
        EXPECT_EQ(ui.messages.last().text, "Cannot establish a connection with Microsoft Outlook");
        EXPECT_EQ(ui.messages.last().icon, ui::MessageIcon::Critical);
        EXPECT_EQ(f.optMode.selected(), 0);
        EXPECT_FALSE(f.optMode[1].value());
        EXPECT_EQ(f.lblModeInfo.caption(), kStandaloneInfo);
        EXPECT_TRUE(f.cmdSave.enabled());
        EXPECT_EQ(store.writes(), 0);
        f.cmdSave.press();
    });
    EXPECT_EQ(outlook.opens, 1);
    EXPECT_TRUE(stored().ModeWendraWin());
    EXPECT_FALSE(stored().ModeOutlook());
}

TEST_F(ModeTest, CancelAfterASuccessfulTestKeepsTheStoredMode) {
    store.resetCounts();
    run([](frmMode& f) {
        f.optMode[1].click();
        f.cmdCancel.press();
    });
    EXPECT_EQ(outlook.opens, 1);
    EXPECT_FALSE(dlg.saved());
    EXPECT_EQ(store.writes(), 0);
    EXPECT_TRUE(stored().ModeWendraWin());
    EXPECT_FALSE(stored().ModeOutlook());
}

TEST_F(ModeTest, ButtonPicturesFollowThePointerAndTheFocus) {
    run([](frmMode& f) {
        EXPECT_EQ(f.cmdSave.picture(), "imgSave1");
        EXPECT_EQ(f.cmdCancel.picture(), "imgCancel1");
        f.cmdCancel.mouseMove();
        EXPECT_EQ(f.cmdSave.picture(), "imgSave1");
        EXPECT_EQ(f.cmdCancel.picture(), "imgCancel2");
        f.cmdSave.mouseMove();
        EXPECT_EQ(f.cmdSave.picture(), "imgSave2");
        EXPECT_EQ(f.cmdCancel.picture(), "imgCancel1");
        for (ui::Control* over : std::initializer_list<ui::Control*>{&f.lblText, &f.Frame2, &f.frameButtons,
                                                                     &f.lblModeInfo, &f.StatusBar1}) {
            f.cmdSave.mouseMove();
            over->mouseMove();
            EXPECT_EQ(f.cmdSave.picture(), "imgSave1") << over->name();
        }
        f.cmdSave.mouseMove();
        f.mouseMove();
        EXPECT_EQ(f.cmdSave.picture(), "imgSave1");
        f.cmdCancel.gotFocus();
        EXPECT_TRUE(f.cmdCancel.useMaskColour());
        EXPECT_FALSE(f.cmdSave.useMaskColour());
        f.cmdCancel.lostFocus();
        EXPECT_FALSE(f.cmdCancel.useMaskColour());
    });
}

// ---- frmAbout -------------------------------------------------------------

class AboutTest : public ::testing::Test {
protected:
    AboutTest() { owner.setGeometry({600, 1500, 9000, 6000}); }
    ui::Form owner{"frmMain", "Wendra (win)"};
};

TEST_F(AboutTest, ShowsTheProgramsVersionCentredOverTheMainWindow) {
    frmAbout about(owner);
    about.show();
    EXPECT_EQ(about.caption(), "About Wendra(win)");
    EXPECT_EQ(about.lblVersion.caption(), std::string("Version: ") + kVersionText);
    EXPECT_EQ(about.lblTitle.caption(), "Wendra(win)");
    EXPECT_EQ(about.lblCompanion.caption(), "Wendra(go)");
    EXPECT_EQ(about.lblCompanionText.caption(),
              "Wendra(go) provides much of the same functionality of Wendra(win) but in your pocket on your mobile "
              "phone or PDA.");
    EXPECT_NEAR(about.left() + about.width() / 2.0, 600 + 9000 / 2.0, 1);
    EXPECT_NEAR(about.top() + about.height() / 2.0, 1500 + 6000 / 2.0, 1);
    about.cmdOK.press();
    EXPECT_FALSE(about.isLoaded());
}

TEST_F(AboutTest, ItsFontIsTheListsDefaultFont) {
    settings::MemorySettingsStore store;
    clsSettings settings(store, "/opt/wendra");
    frmAbout about(owner);
    EXPECT_EQ(about.font().name, settings.FontName());
    EXPECT_EQ(about.font().size, settings.FontSize());
    EXPECT_EQ(about.font().name, kDefaultFontName);
}

TEST_F(AboutTest, TheLibrarysBoxDropsTheRevisionAndLightsItsPicture) {
    frmAbout about(owner, frmAbout::Variant::Library);
    about.load();
    const std::string program = std::string("Version: ") + kVersionText;
    const std::string& library = about.lblVersion.caption();
    EXPECT_EQ(std::count(library.begin(), library.end(), '.'), 1);
    EXPECT_EQ(program.rfind(library + ".", 0), 0u) << library;

    EXPECT_EQ(about.cmdOK.picture(), "imgOK1");
    about.cmdOK.mouseMove();
    EXPECT_EQ(about.cmdOK.picture(), "imgOK2");
    about.mouseMove();
    EXPECT_EQ(about.cmdOK.picture(), "imgOK1");
    EXPECT_FALSE(about.cmdOK.hasBackColour());
}

}  // namespace
