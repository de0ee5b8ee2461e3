#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "mainwindow/qt/MainWindowView.h"
#include "platform/shell/ProgramFolder.h"
#include "platform/ui/qt/QtServices.h"
#include "tests/support/MainWindowRig.h"
#include "tests/support/QtTestApp.h"

namespace wendra::test {

// The main window with its real view: messages, dialogs and the font dialog stay
// doubles, the screen, the timers and the text measures are Qt's.
class QtMainWindowRig : public MainWindowRig {
public:
    explicit QtMainWindowRig(Setup setup = {}) : MainWindowRig(setup) {
        services.emplace(ui::Services{ui.messages, ui.dialogs, ui.fonts, placement, timers, metrics});
    }
    ~QtMainWindowRig() override {
        view.reset();
        form.reset();
    }

    // Makes the window and its view over the pictures the build draws beside the
    // programs, then shows it.
    frmMain& startShown() {
        view.reset();
        form = std::make_unique<frmMain>(collaborators());
        view = std::make_unique<mainwindow::qt::MainWindowView>(*form, shell::programFolder() / "icons");
        form->show();
        return *form;
    }

    ui::qt::QtWindowPlacement placement;
    ui::qt::QtTimerService timers;
    ui::qt::QtTextMetrics metrics;
    std::unique_ptr<mainwindow::qt::MainWindowView> view;
};

// Runs the event loop until the condition holds or `ms` have gone by (the window
// system answers some changes later).
template <typename F>
bool eventually(F condition, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents();
        if (condition()) return true;
    }
    return condition();
}

// Runs the event loop until the window is on the (offscreen) screen.
inline bool exposed(QWidget& w) {
    const bool on = eventually(
        [&] { return w.isVisible() && w.windowHandle() != nullptr && w.windowHandle()->isExposed(); }, 5000);
    QApplication::processEvents();
    return on;
}

}  // namespace wendra::test
