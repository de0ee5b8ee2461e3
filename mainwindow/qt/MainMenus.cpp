#include "mainwindow/qt/MainMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace wendra::mainwindow::qt {

MainMenus::MainMenus(frmMain& form, QMainWindow& window, ui::qt::MenuBinder& binder, std::function<void()> fitHeight)
    : form_(form), window_(&window), binder_(binder), fitHeight_(std::move(fitHeight)) {
    arrange();
    keepShortcuts();
    form_.onMinimalDisplay = [this](bool on) { showMinimal(on); };
    form_.openDocument = [this](const std::string& path) { return opener_.openPage(path); };
    // A window made while the minimal display is on (it never is at start-up) shows it.
    if (form_.state().gMinimalDisplay) showMinimal(true);
}

MainMenus::~MainMenus() {
    form_.onMinimalDisplay = nullptr;
    form_.openDocument = nullptr;
}

// The binder makes each menu's actions in the order the entries reached the menu;
// they are moved into the design's order, each menu on its own.
void MainMenus::arrange() {
    for (const frmMain::MenuOrder& order : frmMain::menuDesign()) {
        QWidget* into = nullptr;
        if (order.menu.empty()) {
            into = window_->menuBar();
        } else if (QAction* menu = binder_.action(order.menu); menu != nullptr) {
            into = menu->menu();
        }
        if (into == nullptr) continue;
        for (const std::string& name : order.entries) {
            if (QAction* a = binder_.action(name); a != nullptr && into->actions().contains(a)) {
                into->removeAction(a);
                into->addAction(a);
            }
        }
    }
}

// A shortcut of an action that only a hidden menu bar holds does not fire; the
// window holding the action too keeps it live for as long as the window is.
void MainMenus::keepShortcuts() {
    for (const frmMain::MenuOrder& order : frmMain::menuDesign()) {
        for (const std::string& name : order.entries) {
            QAction* a = binder_.action(name);
            if (a == nullptr || a->menu() != nullptr || a->isSeparator()) continue;
            window_->addAction(a);
        }
    }
}

void MainMenus::showMinimal(bool on) {
    if (!window_) return;
    window_->menuBar()->setVisible(!on);
    if (QWidget* client = window_->centralWidget()) client->setVisible(!on);
    window_->statusBar()->setVisible(!on);
    if (fitHeight_) fitHeight_();
}

}  // namespace wendra::mainwindow::qt
