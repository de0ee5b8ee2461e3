#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mainwindow/GadgetInstall.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsSettings.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
namespace fs = std::filesystem;

namespace {

// Remembers every page it is asked to open; answers as told (true by default).
class RecordingPageOpener final : public PageOpener {
public:
    bool openPage(const std::string& path) override {
        opened.push_back(path);
        return answer;
    }
    std::vector<std::string> opened;
    bool answer = true;
};

class GadgetInstallTest : public ::testing::Test {
protected:

    void put(const std::string& name) { std::ofstream(folder / name) << "x"; }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    GadgetOffer offer() { return offerGadgetInstall(settings, folder.string(), messages, opener); }
    std::string failureMessage() const {
        return "Failed to install Wendra(win) gadget.\r\n\r\nNote that you can install the Wendra(win) gadget at a "
               "later date by clicking on the file:\r\n\r\n'" +
               path("WendraVista.gadget") + "'";
    }

    // The program folder of one test, made before the settings that default to it.
    test::TempFolder dir;
    const fs::path& folder = dir.path();
    settings::MemorySettingsStore store;
    clsSettings settings{store, folder.string()};
    ui::RecordingMessageBox messages;
    RecordingPageOpener opener;
};

TEST_F(GadgetInstallTest, WithoutThePackageNothingIsShownButTheDataFolderIsSet) {
    put("QVRGadgetInstall.htm");
    EXPECT_EQ(offer(), GadgetOffer::NoPackage);
    EXPECT_TRUE(opener.opened.empty());
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(clsSettings(store, "/elsewhere").DataDir(), folder.string());
}

TEST_F(GadgetInstallTest, WithThePackageTheInstallationPageOpens) {
    put("WendraVista.gadget");
    put("QVRGadgetInstall.htm");
    EXPECT_EQ(offer(), GadgetOffer::PageShown);
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(fs::path(opener.opened[0]), folder / "QVRGadgetInstall.htm");
    EXPECT_TRUE(messages.calls().empty());
}

TEST_F(GadgetInstallTest, ThePackageIsLookedForInTheInstallFolderSetting) {
    const fs::path other = folder / "install";
    fs::create_directories(other);
    std::ofstream(other / "WendraVista.gadget") << "x";
    std::ofstream(other / "QVRGadgetInstall.htm") << "x";
    settings.setInstallDir(other.string());  // read back with its trailing separator
    EXPECT_EQ(offer(), GadgetOffer::PageShown);
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(fs::path(opener.opened[0]), other / "QVRGadgetInstall.htm");
    // The data folder is still the program's own.
    EXPECT_EQ(settings.DataDir(), folder.string());
}

TEST_F(GadgetInstallTest, EveryFailureNamesThePackageToInstallLater) {
    struct Case {
        const char* what;
        bool page;
        bool opens;
        bool storeRefuses;
    };
    for (const Case& c : {Case{"no handler takes the page", true, false, false},
                          Case{"the page is missing", false, true, false},
                          Case{"the settings refuse the data folder", true, true, true}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        fs::create_directories(folder);
        put("WendraVista.gadget");
        if (c.page) put("QVRGadgetInstall.htm");
        opener.answer = c.opens;
        opener.opened.clear();
        store.failWrites(c.storeRefuses);
        messages.reset();
        EXPECT_EQ(offer(), GadgetOffer::Failed);
        ASSERT_EQ(messages.calls().size(), 1u);
        EXPECT_EQ(messages.last().text, failureMessage());
        EXPECT_EQ(messages.last().icon, ui::MessageIcon::Critical);
        EXPECT_EQ(messages.last().title, "");
        if (c.storeRefuses) {
            EXPECT_TRUE(opener.opened.empty());
        }
    }
}

}  // namespace
