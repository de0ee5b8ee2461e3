// The per-user component registration: one registration per class however often it
// is written, what a reader refuses, two writers at once, and a host loading a
// library of the tests' own through it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/shell/ComponentRegistry.h"
#include "platform/shell/SharedLibrary.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

namespace wendra::shell {
namespace {

namespace fs = std::filesystem;

TEST(ComponentRegistry, OneRegistrationPerClassTheLastOneWritten) {
    test::TempFolder dir;
    ComponentRegistry registry(dir / "WendraWin");
    EXPECT_EQ(registry.libraryOf("WendraGadget.clsHTML"), std::nullopt) << "no file yet";
    EXPECT_TRUE(registry.unregisterClass("WendraGadget.clsHTML")) << "nothing to remove is no failure";

    const fs::path first = "/opt/one/libWendraGadget.so";
    const fs::path second = "/home/ann/My Programs (new)/lib=Wendra;Gadget.so ";
    for (const char* id : {"WendraGadget.clsHTML", "WendraGadget.clsGrid", "WendraGadget.clsColumns"})
        ASSERT_TRUE(registry.registerClass(id, first));
    for (int run = 0; run < 2; ++run)
        for (const char* id : {"WendraGadget.clsHTML", "WendraGadget.clsGrid"}) ASSERT_TRUE(registry.registerClass(id, second));

    EXPECT_EQ(registry.classes(),
              (std::vector<std::string>{"WendraGadget.clsHTML", "WendraGadget.clsGrid", "WendraGadget.clsColumns"}));
    EXPECT_EQ(registry.libraryOf("WendraGadget.clsHTML"), second);
    EXPECT_EQ(registry.libraryOf("WendraGadget.clsColumns"), first);
    EXPECT_EQ(registry.file(), dir / "WendraWin" / "Components.ini");

    ASSERT_TRUE(registry.unregisterClass("WendraGadget.clsGrid"));
    EXPECT_EQ(registry.libraryOf("WendraGadget.clsGrid"), std::nullopt);
    EXPECT_EQ(registry.classes(), (std::vector<std::string>{"WendraGadget.clsHTML", "WendraGadget.clsColumns"}));
}

TEST(ComponentRegistry, ARelativeLibraryIsNeitherWrittenNorRead) {
    test::TempFolder dir;
    ComponentRegistry registry(dir.path());
    EXPECT_FALSE(registry.registerClass("A.cls", "libWendraGadget.so"));
    EXPECT_FALSE(registry.registerClass("A.cls", ""));
    EXPECT_FALSE(fs::exists(registry.file()));
    // Edited by hand: a relative path would be found from the host's current folder.
    std::ofstream(registry.file()) << "[A.cls]\nLibrary=libWendraGadget.so\n[B.cls]\nLibrary=\n[C.cls]\nLibrary=/ok.so\n";
    EXPECT_EQ(registry.libraryOf("A.cls"), std::nullopt);
    EXPECT_EQ(registry.libraryOf("B.cls"), std::nullopt);
    EXPECT_EQ(registry.libraryOf("C.cls"), fs::path("/ok.so"));
}

TEST(ComponentRegistry, TwoProgramsRegisteringAtOnceLoseNothing) {
    test::TempFolder dir;
    const fs::path folder = dir.path();
    test::Gate gate;
    constexpr int kEach = 30;
    auto writer = [&](char who) {
        return [&, who] {
            ComponentRegistry registry(folder);
            gate.readyAndWait();
            for (int i = 0; i < kEach; ++i)
                if (!registry.registerClass(std::string(1, who) + std::to_string(i), "/lib/" + std::string(1, who)))
                    return 1;
            return 0;
        };
    };
    test::ChildProcess a(writer('a'));
    test::ChildProcess b(writer('b'));
    gate.awaitReady(2);
    gate.open(2);
    ASSERT_EQ(a.wait(), 0);
    ASSERT_EQ(b.wait(), 0);
    EXPECT_EQ(ComponentRegistry(folder).classes().size(), 2u * kEach);
}

using NameFunction = const char* (*)();

TEST(ComponentRegistry, AHostLoadsTheLibraryRegisteredForAClass) {
    test::TempFolder dir;
    // The test's own library, copied to a folder with a blank in its name.
    const fs::path library = dir / "Program Files" / "libTestComponent.so";
    fs::create_directories(library.parent_path());
    fs::copy_file(WENDRA_TEST_COMPONENT, library);
    std::ofstream(dir / "not-a-library.so") << "text";
    ComponentRegistry registry(dir / "registry");
    ASSERT_TRUE(registry.registerClass("WendraTest.clsThing", library));
    ASSERT_TRUE(registry.registerClass("WendraTest.clsBroken", dir / "not-a-library.so"));
    ASSERT_TRUE(registry.registerClass("WendraTest.clsGone", dir / "gone.so"));

    const SharedLibrary loaded = loadRegisteredLibrary(registry, "WendraTest.clsThing");
    ASSERT_TRUE(loaded.loaded()) << loaded.error();
    auto name = reinterpret_cast<NameFunction>(loaded.symbol("wendraTestComponentName"));
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name(), "test component");
    EXPECT_EQ(loaded.symbol("noSuchFunction"), nullptr);

    struct Refusal {
        const char* classId;
        const char* saying;
    };
    for (const Refusal r : {Refusal{"WendraTest.clsMissing", "WendraTest.clsMissing is not registered"},
                            Refusal{"WendraTest.clsBroken", "not-a-library.so"},
                            Refusal{"WendraTest.clsGone", "gone.so"}}) {
        const SharedLibrary refused = loadRegisteredLibrary(registry, r.classId);
        EXPECT_FALSE(refused.loaded()) << r.classId;
        EXPECT_NE(refused.error().find(r.saying), std::string::npos) << refused.error();
        EXPECT_EQ(refused.symbol("wendraTestComponentName"), nullptr);
    }
}

}  // namespace
}  // namespace wendra::shell
