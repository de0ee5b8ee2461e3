#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "Version.h"
#include "gadget/host/GadgetLoader.h"
#include "platform/shell/ComponentRegistry.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
using namespace wendra::gadgethost;

namespace {

using Files = std::vector<std::filesystem::path>;

TEST(GadgetLoader, TheRegisteredLibraryThenTheOneBesideTheHost) {
    test::TempFolder dir;
    shell::ComponentRegistry registry(dir.path());
    EXPECT_EQ(gadgetLibraryFiles(registry, "/opt/wendra"), Files{"/opt/wendra/libWendraGadget.so"});
    ASSERT_TRUE(registry.registerClass("WendraGadget.clsHTML", "/usr/lib/wendra/libWendraGadget.so"));
    EXPECT_EQ(gadgetLibraryFiles(registry, "/opt/wendra"),
              (Files{"/usr/lib/wendra/libWendraGadget.so", "/opt/wendra/libWendraGadget.so"}));
    ASSERT_TRUE(registry.registerClass("WendraGadget.clsHTML", "/opt/wendra/./libWendraGadget.so"));
    EXPECT_EQ(gadgetLibraryFiles(registry, "/opt/wendra/"), Files{"/opt/wendra/libWendraGadget.so"});
}

TEST(GadgetLoader, LoadsTheLibraryAndCreatesItsClsHTML) {
    const LoadedGadget gadget = loadGadget(WENDRA_GADGET_LIBRARY);
    ASSERT_NE(gadget.html, nullptr) << gadget.error;
    EXPECT_EQ(std::tie(gadget.version.major, gadget.version.minor, gadget.version.revision),
              std::make_tuple(kVersionMajor, kVersionMinor, kVersionPatch));
    EXPECT_EQ(gadget.html->isInstalled(), 1);
}

TEST(GadgetLoader, SaysWhyThereIsNoGadget) {
    struct Case {
        const char* file;
        const char* because;
    };
    for (const Case& c : {Case{"/nonexistent/libWendraGadget.so", "No such file"},
                          // A library, but no gadget library.
                          Case{"libm.so.6", "no entry point WendraGadget_Library"},
                          Case{WENDRA_OTHER_INTERFACE, "does not serve the gadget interface version 1"}}) {
        const LoadedGadget gadget = loadGadget(c.file);
        EXPECT_EQ(gadget.html, nullptr) << c.file;
        EXPECT_NE(gadget.error.find(c.because), std::string::npos) << c.file << ": " << gadget.error;
    }
}

TEST(GadgetLoader, AStaleRegistrationFallsBackToTheLibraryBesideTheHost) {
    struct Case {
        Files files;
        bool loads;
        std::vector<std::string> said;  // in the error, in this order
    };
    const std::string mend = "Running WendraWinCreator again mends it.";
    const std::vector<Case> cases{
        {{"/gone/libWendraGadget.so", WENDRA_GADGET_LIBRARY}, true, {}},
        {{"/gone/libWendraGadget.so", "/gone/too/libWendraGadget.so"},
         false,
         {"/gone/libWendraGadget.so", "; /gone/too/libWendraGadget.so", mend}},
        {{WENDRA_OTHER_INTERFACE}, false, {"interface version", mend}},
    };
    for (const Case& c : cases) {
        const LoadedGadget gadget = loadGadget(c.files);
        EXPECT_EQ(gadget.html != nullptr, c.loads) << gadget.error;
        std::size_t at = 0;
        for (const std::string& part : c.said) {
            at = gadget.error.find(part, at);
            ASSERT_NE(at, std::string::npos) << part << " in " << gadget.error;
        }
    }
}

}  // namespace
