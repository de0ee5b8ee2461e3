// Completing an installation against a temporary user: the name chosen, the copy put
// in place, both shortcuts, the registration list run one check at a time, the start;
// a failed step written down while the others still run.
#include <gtest/gtest.h>

#include <map>

#include "platform/process/testing/RecordingLauncher.h"
#include "platform/shell/ComponentRegistry.h"
#include "platform/shell/InstalledNames.h"
#include "setup/Completion.h"
#include "tests/support/InstallationRig.h"

namespace wendra::setup {
namespace {

namespace fs = std::filesystem;
namespace names = shell::installed;
using process::testing::RecordingLauncher;
using Kind = RecordingLauncher::Event::Kind;

// How the load checks and the start answer: a check's exit code by the first library
// it is given (0 when not listed), the check helper missing or not, and a start that
// fails, as the system's would, when there is no such program.
struct World {
    std::map<std::string, int> checkAnswers;
    bool helperMissing = false;
    std::optional<int> mainProgramEnds;  // watched, the started main program ends with this

    RecordingLauncher launcher() const {
        return RecordingLauncher([*this](const process::Command& c) {
            RecordingLauncher::Answer a;
            if (c.program.filename() == names::kLoadCheckProgram) {
                if (helperMissing) a.startError = "No such file or directory";
                if (auto it = checkAnswers.find(c.arguments.at(0)); it != checkAnswers.end()) a.exitCode = it->second;
            } else if (!fs::is_regular_file(c.program)) {
                a.startError = "No such file or directory";
            } else {
                a.endsWhileWatched = mainProgramEnds;
            }
            return a;
        });
    }
};

std::vector<std::string> gadgetClasses() { return {names::kGadgetClasses.begin(), names::kGadgetClasses.end()}; }

std::string entryFor(const fs::path& program, const fs::path& folder) {
    return "[Desktop Entry]\nType=Application\nVersion=1.4\nName=Wendra(win)\nExec=\"" + program.string() +
           "\"\nIcon=" + (folder / "icons" / "WendraWin.png").string() +
           "\nTerminal=false\nCategories=Office;Calendar;\n";
}

TEST(Completion, TheGadgetPackageDecidesTheNameThatEverythingUses) {
    for (const bool gadget : {false, true}) {
        test::InstallationRig rig("My Programs (x86)");
        rig.shipMainProgram("main program");
        rig.shipGadgetLibrary();
        if (gadget) rig.shipGadgetPackage();
        RecordingLauncher launcher = World{}.launcher();

        const CompletionReport report = completeInstallation(rig.places(), launcher);

        const fs::path exe = rig.file(gadget ? "WendraWinVista" : "WendraWin");
        EXPECT_EQ(report.failures, std::vector<std::string>{}) << gadget;
        EXPECT_EQ(report.exitCode(), 0);
        EXPECT_EQ(report.executable, exe);
        EXPECT_EQ(test::InstallationRig::read(exe), "main program");
        EXPECT_EQ(test::InstallationRig::modeOf(exe), 0755u);
        EXPECT_FALSE(fs::exists(rig.file(gadget ? "WendraWin" : "WendraWinVista")));
        // The folder's blank and parentheses put Exec in quotes; nothing else changes.
        EXPECT_EQ(test::InstallationRig::read(rig.desktopEntry()), entryFor(exe, rig.folder()));
        EXPECT_EQ(test::InstallationRig::read(rig.menuEntry()), entryFor(exe, rig.folder()));
        const shell::ComponentRegistry registry(rig.places().registrationFolder);
        EXPECT_EQ(registry.classes(), gadgetClasses());
        for (const std::string& id : gadgetClasses()) EXPECT_EQ(registry.libraryOf(id), rig.file(names::kGadgetLibrary));
        ASSERT_EQ(launcher.detachedStarts().size(), 1u);
        EXPECT_EQ(launcher.detachedStarts()[0].program, exe);
        EXPECT_TRUE(launcher.detachedStarts()[0].arguments.empty());
        EXPECT_EQ(launcher.detachedStarts()[0].output, rig.places().startLog) << "its words apart from ours";
    }
}

TEST(Completion, ASecondRunReplacesTheProgramAndRewritesTheSameEntriesAndRegistrations) {
    test::InstallationRig rig;
    rig.shipGadgetLibrary();
    rig.shipMainProgram("version 1");
    RecordingLauncher launcher = World{}.launcher();
    ASSERT_EQ(completeInstallation(rig.places(), launcher).failures, std::vector<std::string>{});
    const std::string desktop = test::InstallationRig::read(rig.desktopEntry());
    const std::string menu = test::InstallationRig::read(rig.menuEntry());
    const std::string registration = test::InstallationRig::read(rig.places().registrationFolder / "Components.ini");

    rig.shipMainProgram("version 2");
    fs::permissions(rig.file("WendraWin"), fs::perms::owner_read);
    ASSERT_EQ(completeInstallation(rig.places(), launcher).failures, std::vector<std::string>{});

    EXPECT_EQ(test::InstallationRig::read(rig.file("WendraWin")), "version 2");
    EXPECT_EQ(test::InstallationRig::modeOf(rig.file("WendraWin")), 0755u);
    EXPECT_EQ(test::InstallationRig::read(rig.desktopEntry()), desktop);
    EXPECT_EQ(test::InstallationRig::read(rig.menuEntry()), menu);
    EXPECT_EQ(test::InstallationRig::read(rig.places().registrationFolder / "Components.ini"), registration);
    EXPECT_EQ(shell::ComponentRegistry(rig.places().registrationFolder).classes(), gadgetClasses());
    EXPECT_EQ(launcher.detachedStarts().size(), 2u);
}

TEST(Completion, TheRegistrationListRunsInOrderEachCheckEndedBeforeTheNextStarts) {
    test::InstallationRig rig;
    rig.shipMainProgram("main program");
    rig.shipGadgetLibrary();
    const shell::ComponentRegistry registry(rig.places().registrationFolder);
    bool gadgetRegisteredFirst = false;
    RecordingLauncher launcher([&](const process::Command& c) {
        if (!c.arguments.empty() && c.arguments[0] == "libQt6SerialPort.so.6") gadgetRegisteredFirst = registry.classes() == gadgetClasses();
        return RecordingLauncher::Answer{0, {}, 3};
    });

    ASSERT_EQ(completeInstallation(rig.places(), launcher).failures, std::vector<std::string>{});

    const fs::path helper = rig.file(names::kLoadCheckProgram);
    const std::vector<std::vector<std::string>> checks = {
        {rig.file(names::kGadgetLibrary).string()},
        {"libQt6SerialPort.so.6"},                      // mscomm32.ocx
        {"libQt6Widgets.so.6"},                         // comdlg32.ocx
        {"libQt6Widgets.so.6", "libQt6Gui.so.6"},       // fm20.dll
        {"libQt6Widgets.so.6"},                         // mshflxgd.ocx
        {"libQt6WebEngineWidgets.so.6"},                // shdocvw.dll
        {"libQt6Network.so.6"},                         // msinet.ocx
        {"libQt6Multimedia.so.6"},                      // mci32.ocx
        {"libQt6Widgets.so.6"},                         // mscomctl.ocx
        {"libQt6Widgets.so.6"},                         // mscomct2.ocx
    };
    const auto& events = launcher.events();
    ASSERT_EQ(events.size(), 2 * checks.size() + 1);
    for (std::size_t i = 0; i < checks.size(); ++i) {
        EXPECT_EQ(events[2 * i].kind, Kind::Started) << i;
        EXPECT_EQ(events[2 * i + 1].kind, Kind::Ended) << i;
        EXPECT_EQ(events[2 * i].command.program, helper);
        EXPECT_EQ(events[2 * i].command.arguments, checks[i]) << i;
        EXPECT_TRUE(events[2 * i].command.quiet) << "the check's own words stay off the setup's output";
    }
    EXPECT_EQ(launcher.mostRunningAtOnce(), 1);
    EXPECT_TRUE(gadgetRegisteredFirst);
    EXPECT_EQ(events.back().kind, Kind::StartedDetached) << "the main program starts last";
}

// A step that fails: what the world is like, the lines it gives, and what must still
// have been done (the entries and the start name the program that is there).
enum class Entries { Both, MenuOnly, None };
struct FailureCase {
    const char* name;
    std::function<void(test::InstallationRig&, World&)> arrange;
    std::function<std::vector<std::string>(const test::InstallationRig&)> lines;
    Entries entries;
    bool gadgetRegistered;
    bool started;
};

TEST(Completion, AFailedStepIsOneLineAndTheStepsAfterItStillRun) {
    const std::string p = "WendraWinCreator: ";
    const FailureCase cases[] = {
        {"a file where the desktop folder should be",
         [](test::InstallationRig& rig, World&) {
             fs::remove(rig.places().desktopFolder);
             std::ofstream(rig.places().desktopFolder) << "not a folder";
         },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot write the desktop shortcut " + rig.desktopEntry().string() +
                                             ": Not a directory"};
         },
         Entries::MenuOnly, true, true},
        {"a folder where the main program should be",
         [](test::InstallationRig& rig, World&) { fs::create_directory(rig.file("WendraWin")); },
         [&](const test::InstallationRig& rig) {
             const std::string exe = rig.file("WendraWin").string();
             return std::vector<std::string>{
                 p + "cannot put " + rig.file(names::kMainProgramCopy).string() + " in place as " + exe +
                     ": Is a directory",
                 p + "cannot write the desktop shortcut: there is no " + exe,
                 p + "cannot write the menu shortcut: there is no " + exe,
                 p + "cannot start " + exe + ": No such file or directory"};
         },
         Entries::None, true, false},
        {"no Wendrawin.BAK and no program under its name",
         [](test::InstallationRig& rig, World&) { fs::remove(rig.file(names::kMainProgramCopy)); },
         [&](const test::InstallationRig& rig) {
             const std::string exe = rig.file("WendraWin").string();
             return std::vector<std::string>{p + "cannot write the desktop shortcut: there is no " + exe,
                                             p + "cannot write the menu shortcut: there is no " + exe,
                                             p + "cannot start " + exe + ": No such file or directory"};
         },
         Entries::None, true, false},
        {"the gadget's name cannot take the copy, and an earlier WendraWin stands there",
         [](test::InstallationRig& rig, World&) {
             rig.shipGadgetPackage();
             fs::create_directory(rig.file("WendraWinVista"));
             rig.write("WendraWin", "installed earlier");
         },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot put " + rig.file(names::kMainProgramCopy).string() +
                                             " in place as " + rig.file("WendraWinVista").string() +
                                             ": Is a directory"};
         },
         Entries::Both, true, true},
        {"a main program that ends at once",
         [](test::InstallationRig&, World& w) { w.mainProgramEnds = 134; },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot start " + rig.file("WendraWin").string() +
                                             ": it ended at once with 134 (what it said is in " +
                                             rig.places().startLog.string() + ")"};
         },
         Entries::Both, true, true},
        {"a folder where the start log should be",
         [](test::InstallationRig& rig, World&) { fs::create_directories(rig.places().startLog); },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot write the start log " + rig.places().startLog.string() +
                                             ": Is a directory; " + rig.file("WendraWin").string() +
                                             " starts without it"};
         },
         Entries::Both, true, true},
        {"no gadget library",
         [](test::InstallationRig& rig, World&) { fs::remove(rig.file(names::kGadgetLibrary)); },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot register libWendraGadget.so: " +
                                             rig.file(names::kGadgetLibrary).string() + " is missing"};
         },
         Entries::Both, false, true},
        {"a gadget library that does not load",
         [](test::InstallationRig& rig, World& w) { w.checkAnswers[rig.file(names::kGadgetLibrary).string()] = 1; },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot register libWendraGadget.so: " +
                                             rig.file(names::kGadgetLibrary).string() + " does not load"};
         },
         Entries::Both, false, true},
        {"platform libraries that do not load",
         [](test::InstallationRig&, World& w) {
             w.checkAnswers["libQt6SerialPort.so.6"] = 1;
             w.checkAnswers["libQt6Widgets.so.6"] = 2;  // the second of fm20's, and past the end of the others'
         },
         [&](const test::InstallationRig& rig) {
             const std::string helper = rig.file(names::kLoadCheckProgram).string();
             return std::vector<std::string>{
                 p + "cannot register mscomm32.ocx: libQt6SerialPort.so.6 does not load",
                 p + "cannot register comdlg32.ocx: " + helper + " ended with 2",
                 p + "cannot register fm20.dll: libQt6Gui.so.6 does not load",
                 p + "cannot register mshflxgd.ocx: " + helper + " ended with 2",
                 p + "cannot register mscomctl.ocx: " + helper + " ended with 2",
                 p + "cannot register mscomct2.ocx: " + helper + " ended with 2",
             };
         },
         Entries::Both, true, true},
        {"no load check helper",
         [](test::InstallationRig&, World& w) { w.helperMissing = true; },
         [&](const test::InstallationRig& rig) {
             std::vector<std::string> lines;
             const std::string why = rig.file(names::kLoadCheckProgram).string() +
                                     " cannot be started: No such file or directory";
             lines.push_back(p + "cannot register libWendraGadget.so: " + why);
             for (const char* c : {"mscomm32.ocx", "comdlg32.ocx", "fm20.dll", "mshflxgd.ocx", "shdocvw.dll",
                                   "msinet.ocx", "mci32.ocx", "mscomctl.ocx", "mscomct2.ocx"})
                 lines.push_back(p + "cannot register " + c + ": " + why);
             return lines;
         },
         Entries::Both, false, true},
        {"a file where the registration folder should be",
         [](test::InstallationRig& rig, World&) {
             fs::create_directories(rig.places().registrationFolder.parent_path());
             std::ofstream(rig.places().registrationFolder) << "not a folder";
         },
         [&](const test::InstallationRig& rig) {
             return std::vector<std::string>{p + "cannot register libWendraGadget.so: " +
                                             (rig.places().registrationFolder / "Components.ini").string() +
                                             " cannot be written"};
         },
         Entries::Both, false, true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::InstallationRig rig;
        rig.shipMainProgram("main program");
        rig.shipGadgetLibrary();
        World world;
        c.arrange(rig, world);
        RecordingLauncher launcher = world.launcher();

        const CompletionReport report = completeInstallation(rig.places(), launcher);

        EXPECT_EQ(report.failures, c.lines(rig));
        EXPECT_EQ(report.exitCode(), 1);
        EXPECT_EQ(fs::exists(rig.desktopEntry()), c.entries == Entries::Both);
        const std::string exec = "\nExec=" + rig.file("WendraWin").string() + "\n";
        EXPECT_EQ(test::InstallationRig::read(rig.menuEntry()).find(exec) != std::string::npos,
                  c.entries != Entries::None);
        EXPECT_EQ(shell::ComponentRegistry(rig.places().registrationFolder).classes().size(),
                  c.gadgetRegistered ? 3u : 0u);
        EXPECT_EQ(launcher.detachedStarts().size(), c.started ? 1u : 0u);
        for (const process::Command& started : launcher.detachedStarts())
            EXPECT_EQ(started.program, rig.file("WendraWin"));
    }
}

TEST(Completion, MissingFoldersOfAFreshUserAreMade) {
    test::InstallationRig rig;
    rig.shipMainProgram("main program");
    rig.shipGadgetLibrary();
    fs::remove_all(rig.temp() / "home");
    RecordingLauncher launcher = World{}.launcher();
    EXPECT_EQ(completeInstallation(rig.places(), launcher).failures, std::vector<std::string>{});
    EXPECT_TRUE(fs::is_regular_file(rig.desktopEntry()));
    EXPECT_TRUE(fs::is_regular_file(rig.menuEntry()));
    EXPECT_EQ(shell::ComponentRegistry(rig.places().registrationFolder).classes(), gadgetClasses());
}

TEST(Completion, WithoutWendrawinBakTheProgramThereIsKeptAndTheRestDone) {
    test::InstallationRig rig;
    rig.shipGadgetLibrary();
    rig.write("WendraWin", "installed earlier");
    RecordingLauncher launcher = World{}.launcher();
    const CompletionReport report = completeInstallation(rig.places(), launcher);
    EXPECT_EQ(report.failures, std::vector<std::string>{});
    EXPECT_EQ(test::InstallationRig::read(rig.file("WendraWin")), "installed earlier");
    EXPECT_TRUE(fs::exists(rig.desktopEntry()));
    EXPECT_TRUE(fs::exists(rig.menuEntry()));
    EXPECT_EQ(launcher.detachedStarts().size(), 1u);
}

TEST(Completion, AProgramFolderThatCannotBeLookedIntoEndsTheJobAtOnce) {
    test::InstallationRig rig;
    fs::create_symlink("loop", rig.temp() / "loop");
    rig.places().programFolder = rig.temp() / "loop";
    RecordingLauncher launcher = World{}.launcher();
    const CompletionReport report = completeInstallation(rig.places(), launcher);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].rfind("WendraWinCreator: cannot look into the program folder " +
                                           (rig.temp() / "loop").string() + ": ",
                                       0),
              0u)
        << report.failures[0];
    EXPECT_TRUE(report.executable.empty());
    EXPECT_FALSE(fs::exists(rig.desktopEntry()));
    EXPECT_TRUE(launcher.events().empty());
}

}  // namespace
}  // namespace wendra::setup
