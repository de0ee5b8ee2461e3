// wendra-gadget-install: the window "Install Wendra(win) Sidebar Gadget?" with its
// browser, as WendraWin starts it (see mainwindow/qt/GadgetInstallChannel.h). It
// shows the page and reports what the page asks; WendraWin decides what follows.
#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStringList>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "mainwindow/qt/GadgetInstallChannel.h"

#if defined(__SANITIZE_ADDRESS__)
// In the sanitized build only: Chromium inside Qt WebEngine frees some of its
// objects through a base of another size, which would end the program when the
// window closes, and keeps objects of its own threads and fontconfig's caches past
// the end. The findings are Chromium's, not this program's.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6WebEngineCore\nleak:libfontconfig\n"; }
#endif

namespace {

using namespace wendra::mainwindow::qt;

void say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A link to a local file that is no page (the gadget package) is handed to WendraWin
// to open, as a browser hands a file to the desktop, instead of being shown.
class InstallPage final : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame || !url.isLocalFile() || type != NavigationTypeLinkClicked) return true;
        const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
        if (suffix == QLatin1String("htm") || suffix == QLatin1String("html")) return true;
        say(installwindow::kLinked + url.toEncoded());
        return false;
    }
};

int usage() {
    std::fprintf(stderr, "usage: %s PAGE [TITLE [X Y WIDTH HEIGHT]]\n", installwindow::kProgram);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Chromium refuses to run as root inside its sandbox and ends the whole program
    // instead; the window shows only the program's own local page.
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(installwindow::kProgram));
    const QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty() || args.size() > 6 || (args.size() > 2 && args.size() != 6)) return usage();

    QWebEngineView view;
    auto* page = new InstallPage(&view);
    view.setPage(page);
    view.setContextMenuPolicy(Qt::NoContextMenu);
    QObject::connect(page, &QWebEnginePage::windowCloseRequested, [] { say(installwindow::kClosing); });
    if (args.size() > 1) view.setWindowTitle(args[1]);
    if (args.size() == 6) {
        int place[4] = {};
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            place[i] = args[i + 2].toInt(&ok);
            if (!ok) return usage();
        }
        view.setGeometry(place[0], place[1], std::max(1, place[2]), std::max(1, place[3]));
    } else {
        view.resize(540, 360);
    }

    // The window goes with WendraWin: when the pipe WendraWin holds ends. Started by
    // hand (a terminal, or nothing on its input) it stays until it is closed.
    struct stat input {};
    std::optional<QSocketNotifier> ends;
    if (::fstat(STDIN_FILENO, &input) == 0 && S_ISFIFO(input.st_mode)) {
        ends.emplace(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(&*ends, &QSocketNotifier::activated, [&ends] {
            char buffer[256];
            if (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) return;  // nothing is asked over it
            ends->setEnabled(false);
            QApplication::quit();
        });
    }
    view.load(QUrl::fromLocalFile(args[0]));
    view.show();
    return QApplication::exec();
}
