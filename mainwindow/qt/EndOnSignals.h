#pragma once

#include <QObject>
#include <climits>
#include <memory>

#include "mainwindow/frmMain.h"

class QSocketNotifier;
class QTimer;

namespace wendra::mainwindow::qt {

// SIGTERM (a logout, `kill`) and SIGINT (Ctrl+C) end the program as File, Exit does,
// so the window's settings are saved and no save or exchange is cut off half way.
// The signal itself only writes a byte to a pipe; the event loop reads it between
// two handlers. A dialog open over the window is closed first, as its Cancel or its
// close box would be, and the exit waits until the handler that opened it has
// ended. A second signal ends the process at once, as the first would have without
// this, however busy the program is. One at a time.
class EndOnSignals final : public QObject {
public:
    explicit EndOnSignals(frmMain& form);
    ~EndOnSignals() override;
    EndOnSignals(const EndOnSignals&) = delete;
    EndOnSignals& operator=(const EndOnSignals&) = delete;

    // The window's load has returned, and the program's own loop is about to run:
    // a signal that came during the load (a dialog of the load open) ends it there.
    void loadEnded();

private:
    void arrived();
    void endWhenNoDialogIsOpen();

    frmMain& form_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer* retry_;
    // The lowest event loop a dialog closed here ran in: the exit waits for a loop below it.
    int closedAtLevel_ = INT_MAX;
    bool ending_ = false;
};

}  // namespace wendra::mainwindow::qt
