// WendraWinCreator: completes an installation of the programs in its own folder. It
// reads no arguments and shows no messages; each step that failed is a line on
// standard error, and the exit code is 1 when any did. Where no window can be shown
// it does the same job without one.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <cerrno>
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
// outright, that can be opened. Qt ends the process (abort) when the platform it is
// given cannot be: QT_QPA_PLATFORM naming xcb with no display, a platform that is
// not installed, a display no server answers. So it is tried first in a child of
// ours, whose words go nowhere; where it fails, the job runs without the window.
bool windowCanBeShown(int argc, char** argv) {
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) return false;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        const QGuiApplication probe(argc, argv);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

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
    if (!windowCanBeShown(argc, argv)) return finish(job());

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
