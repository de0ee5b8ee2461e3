// WendraWinCreator: completes an installation of the programs in its own folder. It
// reads no arguments and shows no messages; each step that failed is a line on
// standard error, and the exit code is 1 when any did.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/process/Process.h"
#include "platform/shell/ProgramFolder.h"
#include "platform/ui/qt/QtServices.h"
#include "setup/Completion.h"
#include "setup/frmWendraWinCreator.h"
#include "setup/qt/CreatorView.h"

namespace {

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// A window needs somewhere to show: an X or Wayland display, or a platform named
// outright. Without one the job runs all the same, without the window.
bool displayAvailable() { return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"); }

int finish(const wendra::setup::CompletionReport& report) {
    for (const std::string& line : report.failures) std::fprintf(stderr, "%s\n", line.c_str());
    return report.exitCode();
}

}  // namespace

int main(int argc, char** argv) {
    const wendra::setup::CreatorPlaces places =
        wendra::setup::CreatorPlaces::forCurrentUser(wendra::shell::programFolder());
    wendra::process::SystemLauncher launcher;
    const auto job = [&] { return wendra::setup::completeInstallation(places, launcher); };
    if (!displayAvailable()) return finish(job());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("WendraWinCreator"));
    wendra::ui::qt::QtServices qt;
    wendra::frmWendraWinCreator form(qt.timers, qt.placement, job);
    wendra::setup::qt::CreatorView view(form);
    form.show();
    QApplication::exec();
    // A session that ended before the window was drawn still gets its installation.
    if (!form.report()) return finish(job());
    return finish(*form.report());
}
