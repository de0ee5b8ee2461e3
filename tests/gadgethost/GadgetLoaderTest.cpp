#include <gmock/gmock.h>
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
    EXPECT_NE(loadGadget(Files{"/gone/libWendraGadget.so", WENDRA_GADGET_LIBRARY}).html, nullptr);
    const LoadedGadget none = loadGadget(Files{"/gone/libWendraGadget.so", WENDRA_OTHER_INTERFACE});
    EXPECT_EQ(none.html, nullptr);
    EXPECT_THAT(none.error, testing::MatchesRegex("/gone/libWendraGadget.so: .*; .*: does not serve the gadget "
                                                  "interface version 1[.] Running WendraWinCreator again mends it[.]"));
}

}  // namespace
