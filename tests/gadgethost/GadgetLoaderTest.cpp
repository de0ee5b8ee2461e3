#include <gtest/gtest.h>

#include "gadget/host/GadgetLoader.h"
#include "platform/shell/ComponentRegistry.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
using namespace wendra::gadgethost;

namespace {

class NoEvents final : public WendraGadget::clsHTMLEvents {
public:
    void onDataChanged() override { ++changes; }
    int changes = 0;
};

TEST(GadgetLoader, TheRegisteredLibraryElseTheOneBesideTheHost) {
    test::TempFolder dir;
    shell::ComponentRegistry registry(dir.path());
    EXPECT_EQ(gadgetLibraryFile(registry, "/opt/wendra"), "/opt/wendra/libWendraGadget.so");
    ASSERT_TRUE(registry.registerClass("WendraGadget.clsHTML", "/usr/lib/wendra/libWendraGadget.so"));
    EXPECT_EQ(gadgetLibraryFile(registry, "/opt/wendra"), "/usr/lib/wendra/libWendraGadget.so");
}

TEST(GadgetLoader, LoadsTheLibraryAndCreatesItsClsHTML) {
    LoadedGadget gadget = loadGadget(WENDRA_GADGET_DOUBLE);
    ASSERT_NE(gadget.html, nullptr) << gadget.error;
    EXPECT_EQ(gadget.version.revision, 99);
    NoEvents sink;
    gadget.html->setEventSink(&sink);
    gadget.html->startQVR();
    EXPECT_EQ(sink.changes, 1);
    EXPECT_NE(gadget.html->createHTML(30, 10, false, 0).find("javascript:startQVR()"), std::string::npos);
    gadget.html->setEventSink(nullptr);
}

TEST(GadgetLoader, SaysWhyThereIsNoGadget) {
    struct Case {
        const char* file;
        const char* because;
    };
    for (const Case& c : {Case{"/nonexistent/libWendraGadget.so", "No such file"},
                          // A library, but no gadget library.
                          Case{"libm.so.6", "no entry point WendraGadget_Library"},
                          Case{WENDRA_GADGET_DOUBLE_V2, "does not serve the gadget interface version 1"}}) {
        const LoadedGadget gadget = loadGadget(c.file);
        EXPECT_EQ(gadget.html, nullptr) << c.file;
        EXPECT_NE(gadget.error.find(c.because), std::string::npos) << c.file << ": " << gadget.error;
    }
}

}  // namespace
