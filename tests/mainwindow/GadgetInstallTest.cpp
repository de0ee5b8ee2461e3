// The first run's gadget offer and its installation window: the logic over test
// doubles, then the window itself, its own program with its real browser engine
// (offscreen).
#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "mainwindow/GadgetInstall.h"
#include "mainwindow/qt/GadgetInstallChannel.h"
#include "mainwindow/qt/GadgetInstallView.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "platform/ui/qt/QtServices.h"
#include "store/clsSettings.h"
#include "tests/support/QtDialogRun.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
namespace fs = std::filesystem;

namespace {

class RecordingStarter final : public ProgramStarter {
public:
    bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override {
        started.push_back(program);
        for (const std::string& a : arguments) started.back() += " " + a;
        return answer;
    }
    std::vector<std::string> started;
    bool answer = true;
};

class GadgetInstallTest : public ::testing::Test {
protected:
    void put(const std::string& name, const std::string& text = "x") { std::ofstream(folder / name) << text; }
    void putPackage(const std::string& host = "WendraGadgetHost") {
        put("WendraVista.gadget", "# a gadget\n[Gadget]\nName=Wendra(win)\nHost=" + host + "\n");
    }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    GadgetOffer offer() { return offerGadgetInstall(settings, folder.string(), ui.services(), starter); }
    std::string failureMessage() const {
        return "Failed to install Wendra(win) gadget.\r\n\r\nNote that you can install the Wendra(win) gadget at a "
               "later date by clicking on the file:\r\n\r\n'" +
               path("WendraVista.gadget") + "'";
    }
    void expectFailureMessage() {
        ASSERT_EQ(ui.messages.calls().size(), 1u);
        EXPECT_EQ(ui.messages.last().text, failureMessage());
        EXPECT_EQ(ui.messages.last().icon, ui::MessageIcon::Critical);
        EXPECT_EQ(ui.messages.last().title, "");
    }

    // The program folder of one test, made before the settings that default to it.
    test::TempFolder dir;
    const fs::path& folder = dir.path();
    settings::MemorySettingsStore store;
    clsSettings settings{store, folder.string()};
    ui::TestServices ui;
    RecordingStarter starter;
};

TEST_F(GadgetInstallTest, WithoutThePackageNothingIsShownButTheDataFolderIsSet) {
    put("QVRGadgetInstall.htm");
    EXPECT_EQ(offer(), GadgetOffer::NoPackage);
    EXPECT_TRUE(ui.dialogs.calls().empty());
    EXPECT_TRUE(ui.messages.calls().empty());
    EXPECT_EQ(clsSettings(store, "/elsewhere").DataDir(), folder.string());
}

TEST_F(GadgetInstallTest, TheWindowShowsTheInstallationPageUntilThePageClosesIt) {
    putPackage();
    put("QVRGadgetInstall.htm");
    ui.dialogs.script("frmInstallVistaGadget", [&](ui::Form& form) {
        auto& window = dynamic_cast<frmInstallVistaGadget&>(form);
        EXPECT_EQ(window.caption(), "Install Wendra(win) Sidebar Gadget?");
        EXPECT_EQ(fs::path(window.WebBrowser1.LocationURL()), folder / "QVRGadgetInstall.htm");
        window.WebBrowser1.windowClosing();  // the page's "Not now"
        EXPECT_FALSE(window.isLoaded());
        EXPECT_FALSE(window.installed());
    });
    EXPECT_EQ(offer(), GadgetOffer::WindowShown);
    ASSERT_EQ(ui.dialogs.calls().size(), 1u);
    EXPECT_TRUE(ui.dialogs.calls()[0].closedByScript);
    EXPECT_TRUE(starter.started.empty());
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(GadgetInstallTest, ThePackageIsLookedForInTheInstallFolderSetting) {
    const fs::path other = folder / "install";
    fs::create_directories(other);
    std::ofstream(other / "WendraVista.gadget") << "x";
    std::ofstream(other / "QVRGadgetInstall.htm") << "x";
    settings.setInstallDir(other.string());  // read back with its trailing separator
    std::string shown;
    ui.dialogs.script("frmInstallVistaGadget", [&](ui::Form& form) {
        shown = dynamic_cast<frmInstallVistaGadget&>(form).WebBrowser1.LocationURL();
    });
    EXPECT_EQ(offer(), GadgetOffer::WindowShown);
    EXPECT_EQ(fs::path(shown), other / "QVRGadgetInstall.htm");
    // The data folder is still the program's own.
    EXPECT_EQ(settings.DataDir(), folder.string());
}

TEST_F(GadgetInstallTest, OpeningThePackageStartsTheHostItNamesAndClosesTheWindow) {
    putPackage();
    put("QVRGadgetInstall.htm");
    put("notes.txt");
    ui.dialogs.script("frmInstallVistaGadget", [&](ui::Form& form) {
        auto& window = dynamic_cast<frmInstallVistaGadget&>(form);
        window.WebBrowser1.fileLinked(path("notes.txt"));  // no package: left alone
        EXPECT_TRUE(window.isLoaded());
        window.WebBrowser1.fileLinked((folder / "." / "WendraVista.gadget").string());
        EXPECT_FALSE(window.isLoaded());
        EXPECT_TRUE(window.installed());
    });
    EXPECT_EQ(offer(), GadgetOffer::WindowShown);
    EXPECT_EQ(starter.started, std::vector<std::string>{path("WendraGadgetHost") + " --install"});
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(GadgetInstallTest, APackageThatCannotBeOpenedIsReportedAndTheWindowStays) {
    struct Case {
        const char* what;
        const char* host;  // null: no Host line
        bool starts;
    };
    for (const Case& c : {Case{"no host named", nullptr, true}, Case{"a host elsewhere", "../../bin/sh", true},
                          Case{"an absolute host", "/bin/sh", true}, Case{"the host does not start", "WendraGadgetHost", false}}) {
        SCOPED_TRACE(c.what);
        if (c.host != nullptr) {
            putPackage(c.host);
        } else {
            put("WendraVista.gadget", "[Gadget]\nName=Wendra(win)\n");
        }
        put("QVRGadgetInstall.htm");
        ui.messages.reset();
        starter.started.clear();
        starter.answer = c.starts;
        ui.dialogs.script("frmInstallVistaGadget", [&](ui::Form& form) {
            auto& window = dynamic_cast<frmInstallVistaGadget&>(form);
            window.WebBrowser1.fileLinked(path("WendraVista.gadget"));
            EXPECT_TRUE(window.isLoaded());
            EXPECT_FALSE(window.installed());
        });
        EXPECT_EQ(offer(), GadgetOffer::WindowShown);
        expectFailureMessage();
        EXPECT_EQ(starter.started.size(), c.starts ? 0u : 1u);
    }
}

TEST_F(GadgetInstallTest, EveryFailureOfTheOfferNamesThePackageToInstallLater) {
    struct Case {
        const char* what;
        bool page;
        bool storeRefuses;
    };
    for (const Case& c : {Case{"the page is missing", false, false}, Case{"the settings refuse the data folder", true, true}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::create_directories(folder);
        putPackage();
        if (c.page) put("QVRGadgetInstall.htm");
        store.failWrites(c.storeRefuses);
        ui.messages.reset();
        EXPECT_EQ(offer(), GadgetOffer::Failed);
        expectFailureMessage();
        EXPECT_TRUE(ui.dialogs.calls().empty());
    }
}

// ---- the window in its real browser engine -----------------------------------

// Runs the event loop until the condition holds, looking every 50 ms for ten
// seconds at the most; whether it holds.
bool waitUntil(const std::function<bool()>& holds) {
    for (int i = 0; i < 200 && !holds(); ++i) {
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return holds();
}

// The window as WendraWin shows it: through its own program, built beside the tests.
class GadgetInstallWindowTest : public GadgetInstallTest {
protected:
    GadgetInstallWindowTest() { mainwindow::qt::registerGadgetInstallView(dialogs, WENDRA_PROGRAM_FOLDER); }
    // The page's two links, as the installation page has them; once it has loaded,
    // the page clicks the one named, as the user would.
    void putPage(const char* click) {
        std::string onLoad;
        if (click != nullptr)
            onLoad = std::string("<script>addEventListener('load', () => document.getElementById('") + click +
                     "').click())</script>";
        put("QVRGadgetInstall.htm", "<!DOCTYPE html><html><body><a id='install' href='WendraVista.gadget'>Install</a> "
                                    "<a id='later' href='javascript:window.close()'>Not now</a>" + onLoad +
                                    "</body></html>");
    }
    // Shows the window through the real runner, with the page clicking the link (or,
    // without one, the window program ended as its close box ends it), and answers
    // whether that closed the window.
    bool clickIn(const char* link) {
        putPackage();
        putPage(link);
        frmInstallVistaGadget window(folder.string() + "/", services, starter);
        bool closed = false;
        const bool ran = test::runShown<mainwindow::qt::GadgetInstallView>(
            dialogs, window, [&](mainwindow::qt::GadgetInstallView& view) {
                if (link == nullptr) {
                    ASSERT_TRUE(waitUntil([&] { return view.windowProgram().processId() > 0; }));
                    ::kill(static_cast<pid_t>(view.windowProgram().processId()), SIGTERM);
                }
                closed = waitUntil([&] { return !window.isLoaded(); });
            });
        return ran && closed;
    }

    ui::qt::QtDialogRunner dialogs;
    ui::Services services{ui.messages, dialogs, ui.fonts, ui.placement, ui.timers, ui.metrics};
};

TEST_F(GadgetInstallWindowTest, ItsInstallLinkOpensThePackageAndClosesIt) {
    EXPECT_TRUE(clickIn("install"));
    EXPECT_EQ(starter.started, std::vector<std::string>{path("WendraGadgetHost") + " --install"});
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(GadgetInstallWindowTest, ThePagesOwnCloseClosesIt) {
    EXPECT_TRUE(clickIn("later"));
    EXPECT_TRUE(starter.started.empty());
}

TEST_F(GadgetInstallWindowTest, ItsOwnCloseBoxClosesIt) {
    EXPECT_TRUE(clickIn(nullptr));
    EXPECT_TRUE(starter.started.empty());
    EXPECT_TRUE(ui.messages.calls().empty());
}

// None there, or one that cannot run (its browser's libraries missing).
TEST_F(GadgetInstallWindowTest, AWindowProgramThatCannotStartIsTheOffersFailure) {
    for (const char* program : {"", "#!/bin/sh\nexit 127\n"}) {
        SCOPED_TRACE(program);
        ui.messages.reset();
        putPackage();
        putPage(nullptr);
        if (*program) {
            put(mainwindow::qt::installwindow::kProgram, program);
            fs::permissions(folder / mainwindow::qt::installwindow::kProgram, fs::perms::owner_all);
        }
        mainwindow::qt::registerGadgetInstallView(dialogs, folder);
        EXPECT_EQ(offerGadgetInstall(settings, folder.string(), services, starter), GadgetOffer::Failed);
        expectFailureMessage();
    }
}

}  // namespace
