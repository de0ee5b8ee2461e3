// The built WendraWinCreator and its load check, run as a user without a display
// would run them: a program folder of its own, a temporary home, the real libraries.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/process/Process.h"
#include "platform/shell/ComponentRegistry.h"
#include "platform/shell/InstalledNames.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/InstallationRig.h"

namespace wendra {
namespace {

namespace fs = std::filesystem;
namespace names = shell::installed;

struct ProgramRun {
    process::RunResult result;
    std::string errors;
};

// Runs a program with its standard error caught in a file.
ProgramRun runCatchingErrors(const fs::path& program, const std::vector<std::string>& args, const fs::path& errors) {
    std::vector<std::string> all{"-c", R"(e=$1; shift; exec "$@" 2>"$e")", "sh", errors.string(), program.string()};
    all.insert(all.end(), args.begin(), args.end());
    ProgramRun run{process::SystemLauncher().run(process::Command{"/bin/sh", all}), {}};
    run.errors = test::InstallationRig::read(errors);
    return run;
}

TEST(LoadCheck, AnswersThePlaceOfTheFirstLibraryThatDoesNotLoad) {
    test::TempFolder dir;
    std::ofstream(dir / "text.so") << "not a library";
    struct Case {
        std::vector<std::string> libraries;
        int expected;
        const char* saying;
    };
    const Case cases[] = {
        {{"libQt6Core.so.6", WENDRA_TEST_COMPONENT}, 0, ""},
        {{"libQt6Core.so.6", "libNoSuchThing.so.9", "libAlsoMissing.so.1"}, 2, "libNoSuchThing.so.9"},
        {{(dir / "text.so").string()}, 1, "text.so"},
        {{}, 125, "usage"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runCatchingErrors(WENDRA_LOAD_CHECK, c.libraries, dir / "errors");
        EXPECT_EQ(run.result.exitCode, c.expected) << run.errors;
        EXPECT_NE(run.errors.find(c.saying), std::string::npos) << run.errors;
    }
}

// The programs copied into the rig's program folder; the main program is a script
// that leaves a mark beside itself when it runs.
class CreatorProgram : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(WENDRA_CREATOR, rig.file(names::kSetupProgram));
        fs::copy_file(WENDRA_LOAD_CHECK, rig.file(names::kLoadCheckProgram));
        rig.shipMainProgram("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
        // A user of the temporary home, and no display of any kind.
        env.set("HOME", (rig.temp() / "home").c_str());
        env.set("XDG_CONFIG_HOME", nullptr);
        env.set("XDG_DATA_HOME", nullptr);
        env.set("DISPLAY", nullptr);
        env.set("WAYLAND_DISPLAY", nullptr);
        env.set("QT_QPA_PLATFORM", nullptr);
    }
    ProgramRun runCreator() { return runCatchingErrors(rig.file(names::kSetupProgram), {}, rig.temp() / "errors"); }
    bool entriesWritten() const { return fs::exists(rig.desktopEntry()) && fs::exists(rig.menuEntry()); }
    bool startedSoon() const {
        for (int i = 0; i < 500; ++i) {
            if (fs::exists(rig.file("started"))) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    test::InstallationRig rig{"Wendra (win)"};
    test::EnvironmentOverride env;
};

TEST_F(CreatorProgram, WithoutADisplayItDoesItsWholeJobAndSaysWhatFailed) {
    const ProgramRun first = runCreator();
    EXPECT_EQ(first.result.exitCode, 1);
    EXPECT_EQ(first.errors, "WendraWinCreator: cannot register libWendraGadget.so: " +
                                rig.file(names::kGadgetLibrary).string() + " is missing\n");
    EXPECT_TRUE(startedSoon());
    EXPECT_TRUE(entriesWritten());

    // With a library in place the real checks of every component pass.
    fs::copy_file(WENDRA_TEST_COMPONENT, rig.file(names::kGadgetLibrary));
    fs::remove(rig.file("started"));
    const ProgramRun second = runCreator();
    EXPECT_EQ(second.result.exitCode, 0) << second.errors;
    EXPECT_EQ(second.errors, "");
    EXPECT_TRUE(startedSoon());
    const shell::ComponentRegistry registry(rig.temp() / "home" / ".local" / "share" / "WendraWin");
    EXPECT_EQ(registry.classes().size(), names::kGadgetClasses.size());
    EXPECT_EQ(registry.libraryOf("WendraGadget.clsHTML"), rig.file(names::kGadgetLibrary));
}

// Where no window can be shown, although a platform or a display is named, the
// setup still does its whole job. The WendraWin it starts cannot show one either and
// ends at once: one line says so, and what WendraWin said is in the log.
TEST_F(CreatorProgram, WhereNoWindowCanBeShownItStillDoesItsWholeJobAndSaysTheStartFailed) {
    fs::copy_file(WENDRA_TEST_COMPONENT, rig.file(names::kGadgetLibrary));
    // Wayland is not installed here, and no server answers display 4711.
    env.set("QT_QPA_PLATFORM", "wayland");
    env.set("DISPLAY", ":4711");
    const ProgramRun scripted = runCreator();
    EXPECT_EQ(scripted.result.exitCode, 0) << scripted.errors;
    EXPECT_TRUE(startedSoon());
    EXPECT_TRUE(entriesWritten());
#ifdef WENDRA_MAIN
    env.set("QT_QPA_PLATFORM", "xcb");
    env.set("DISPLAY", nullptr);
    fs::remove_all(rig.temp() / "home");
    fs::copy_file(WENDRA_MAIN, rig.file(names::kMainProgramCopy), fs::copy_options::overwrite_existing);
    const ProgramRun real = runCreator();
    const fs::path log = rig.temp() / "home" / ".config" / "WendraWin.log";
    EXPECT_EQ(real.result.exitCode, 1);
    EXPECT_EQ(real.errors, "WendraWinCreator: cannot start " + rig.file(names::kMainProgram).string() +
                               ": it ended at once with 134 (what it said is in " + log.string() + ")\n");
    EXPECT_NE(test::InstallationRig::read(log).find("xcb"), std::string::npos);
    EXPECT_TRUE(entriesWritten());
    EXPECT_EQ(shell::ComponentRegistry(rig.places().registrationFolder).classes().size(), names::kGadgetClasses.size());
#endif
}

}  // namespace
}  // namespace wendra
