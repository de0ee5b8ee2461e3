#include "mainwindow/qt/EndOnSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>

#include "platform/ui/qt/QtConvert.h"

namespace wendra::mainwindow::qt {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};
// The pipe's ends and whether a signal came; the handler may touch nothing else.
int wakeFds[2] = {-1, -1};
volatile sig_atomic_t signalled = 0;

void onSignal(int s) {
    if (signalled) {
        // Decided here, not in the event loop: a second Ctrl+C is pressed because
        // the program is too busy to have taken the first.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        ::sigaction(s, &fallback, nullptr);
        ::raise(s);
        return;
    }
    signalled = 1;
    const int saved = errno;
    const char byte = 1;
    (void)!::write(wakeFds[1], &byte, 1);
    errno = saved;
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals) ::sigaction(s, &action, nullptr);
}

}  // namespace

EndOnSignals::EndOnSignals(frmMain& form) : form_(form), retry_(new QTimer(this)) {
    retry_->setSingleShot(true);
    retry_->setInterval(10);
    connect(retry_, &QTimer::timeout, this, [this] { endWhenNoDialogIsOpen(); });
    if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakeFds[0] = wakeFds[1] = -1;
        return;  // the signals keep their default: they end the process at once
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakeFds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { arrived(); });
    signalled = 0;
    setHandler(onSignal);
}

EndOnSignals::~EndOnSignals() {
    if (!notifier_) return;
    setHandler(SIG_DFL);
    notifier_.reset();
    for (int& fd : wakeFds) {
        ::close(fd);
        fd = -1;
    }
}

void EndOnSignals::arrived() {
    char bytes[16];
    while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
    }
    if (ending_) return;
    ending_ = true;
    QTimer::singleShot(0, this, [this] { endWhenNoDialogIsOpen(); });
}

void EndOnSignals::loadEnded() {
    // A dialog of the load closed here ran in a loop of the same level as the one
    // the program runs in now; the load that opened it has returned.
    closedAtLevel_ = INT_MAX;
}

void EndOnSignals::endWhenNoDialogIsOpen() {
    const int level = QThread::currentThread()->loopLevel();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // As Cancel or the close box would: a message box answers its escape
        // button, the editor keeps its event as it was.
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else if (!modal->close()) {
            modal->hide();
        }
        closedAtLevel_ = std::min(closedAtLevel_, level);
        retry_->start();
        return;
    }
    // Still inside the handler that opened the dialog: its loop has not returned.
    if (level >= closedAtLevel_) {
        retry_->start();
        return;
    }
    ui::qt::guarded("end on a signal", [this] {
        if (form_.isLoaded() && !form_.mnuFile_Exit.trigger()) form_.unload();
    });
    // Whatever other window still stands, the program ends.
    QCoreApplication::quit();
}

}  // namespace wendra::mainwindow::qt
