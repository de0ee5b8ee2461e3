#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "mainwindow/frmMain.h"
#include "mainwindow/qt/GadgetInstallView.h"
#include "platform/ui/qt/QtBinders.h"

class QMainWindow;

namespace wendra::mainwindow::qt {

// The main window's menus as the window shows them, over the menu binder's actions:
// - the entries in the window's design order (frmMain::menuDesign);
// - every entry's shortcut kept by the window itself, so it still reaches its
//   command while the menu bar is hidden (the minimal display, where F2 is the way
//   back);
// - the minimal display: menu bar, toolbar, list and status bar hidden, the window
//   its caption bar alone, and everything shown again after;
// - help files opened with the desktop's own handler.
// The check marks stay the binder's: it puts back the form's mark after each
// trigger, so Qt's own toggle of a checkable action never counts as a second flip.
class MainMenus final : public QObject {
public:
    // fitHeight: the view's own height rule, run once the bars are shown or hidden.
    MainMenus(frmMain& form, QMainWindow& window, ui::qt::MenuBinder& binder, std::function<void()> fitHeight);
    ~MainMenus() override;
    MainMenus(const MainMenus&) = delete;
    MainMenus& operator=(const MainMenus&) = delete;

private:
    void arrange();
    void keepShortcuts();
    void showMinimal(bool on);

    frmMain& form_;
    QPointer<QMainWindow> window_;
    ui::qt::MenuBinder& binder_;
    std::function<void()> fitHeight_;
    QtPageOpener opener_;
};

}  // namespace wendra::mainwindow::qt
