// startQVR against a program of ours that stands in for the main program: one
// onDataChanged per change of the update counter seen and one at the end, the
// ended program reaped, and the wait asleep in the event loop meanwhile.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QElapsedTimer>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "gadget/qt/QtChildWait.h"
#include "platform/settings/FileSettingsStore.h"
#include "platform/shell/ProgramFolder.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/FileText.h"
#include "tests/support/GadgetRig.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {
namespace {

namespace fs = std::filesystem;

// CPU time of this process so far (every thread, user and system).
std::chrono::microseconds cpuTime() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return std::chrono::seconds(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           std::chrono::microseconds(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

// The page: notes each onDataChanged as a line of a file the stand-in reads.
class PageSink final : public WendraGadget::clsHTMLEvents {
public:
    explicit PageSink(fs::path file) : file_(std::move(file)) {}
    void onDataChanged() override {
        ++events;
        std::ofstream(file_, std::ios::app) << "seen\n";
    }
    int events = 0;

private:
    fs::path file_;
};

// The settings in a file of a folder of the test's own, as both programs read them,
// and an installation whose WendraWinVista is the stand-in.
struct StartRig {
    StartRig() {
        env.set("XDG_CONFIG_HOME", config.path().c_str());
        const fs::path program = install / "WendraWinVista";
        std::ofstream(program) << "#!/bin/sh\nexec '" << (shell::programFolder() / "wendra_gadget_stand_in").string()
                               << "' '" << install.path().string() << "'\n";
        fs::permissions(program, fs::perms::owner_all);
        settings.saveSetting("WendraWin_A", "Main", "InstallDir", install.path().string() + "/");
    }
    TempFolder config, install;
    EnvironmentOverride env;
    settings::FileSettingsStore settings{config.path()};
    process::SystemLauncher launcher;
    gadget::qt::QtChildWait wait;
    ui::TestServices ui;
    gadget::GadgetPlatform platform{settings, "/opt/wendra/gadget/", {1, 0, 7}, launcher, wait, ui.services()};
    clsHTML gadget{platform};
};

TEST(GadgetStartQVR, OneEventPerChangeSeenAndOneAtTheEndWithoutSpinning) {
    StartRig rig;
    PageSink page(rig.install / "seen");
    rig.gadget.setEventSink(&page);

    QElapsedTimer wall;
    wall.start();
    const auto cpuBefore = cpuTime();
    rig.gadget.startQVR();
    const auto cpu = cpuTime() - cpuBefore;
    const auto elapsed = std::chrono::milliseconds(wall.elapsed());

    EXPECT_EQ(page.events, 4);
    EXPECT_EQ(clsSettings(rig.settings, "/").getUpdateVersion(), 3);
    // Reaped: the stand-in is no child of ours any more, not even a dead one.
    const pid_t pid = std::stoi(fileText(rig.install / "pid"));
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    // The stand-in lingers a second after its last save; a wait that spun would
    // have used all of it. A few reads of the settings file use next to nothing.
    ASSERT_GE(elapsed, std::chrono::milliseconds(1000));
    EXPECT_LT(cpu * 5, elapsed) << "CPU " << cpu.count() << " us over " << elapsed.count() << " ms";
}

TEST(GadgetStartQVR, AMissingProgramRaisesFileNotFoundAndNoEvent) {
    StartRig rig;
    fs::remove(rig.install / "WendraWinVista");
    PageSink page(rig.install / "seen");
    rig.gadget.setEventSink(&page);
    try {
        rig.gadget.startQVR();
        ADD_FAILURE() << "started";
    } catch (const WendraGadget::Error& e) {
        EXPECT_EQ(e.number(), WendraGadget::errors::FileNotFound);
        EXPECT_NE(e.description().find((rig.install / "WendraWinVista").string()), std::string::npos);
    }
    EXPECT_EQ(page.events, 0);
}

TEST(GadgetStartQVR, TheProgramsEndWakesTheWaitBeforeItsTimer) {
    process::SystemLauncher launcher;
    process::Started sleeper = launcher.start(process::Command{"/bin/sleep", {"0.2"}});
    ASSERT_TRUE(sleeper.process) << sleeper.error;
    int ticks = 0;
    QElapsedTimer wall;
    wall.start();
    gadget::qt::QtChildWait().waitFor(*sleeper.process, std::chrono::seconds(20), [&] { ++ticks; });
    EXPECT_LT(wall.elapsed(), 10000);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(sleeper.process->poll(), 0);
}

}  // namespace
}  // namespace wendra::test
