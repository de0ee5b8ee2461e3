// The main window's menus in a real window, offscreen: the tree in the design's
// order with its captions and shortcuts, a checkable entry flipped once per click,
// and the shortcuts still reaching their commands while the minimal display hides
// the menu bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <map>

#include "mainwindow/frmMain.h"
#include "platform/ui/qt/QtConvert.h"
#include "tests/support/QtMainWindowRig.h"

using namespace wendra;
using wendra::test::eventually;

namespace {

// A real main window over an empty store.
struct Rig : test::QtMainWindowRig {
    Rig() {
        preset("View", "Width", "7200");
        startShown();
    }
    QAction* action(const std::string& name) const { return view->menuBinder().action(name); }
};

bool active(QWidget& w) {
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) return false;
    QApplication::processEvents();
    return true;
}

TEST(MenusView, TheMenuBarShowsEveryEntryInTheDesignsOrderWithItsCaptionAndShortcut) {
    Rig rig;
    auto& view = *rig.view;
    std::map<const QAction*, std::string> names;
    for (const frmMain::MenuOrder& m : frmMain::menuDesign()) {
        for (const std::string& name : m.entries) {
            QAction* a = rig.action(name);
            ASSERT_NE(a, nullptr) << name;
            names[a] = name;
        }
    }
    for (const frmMain::MenuOrder& m : frmMain::menuDesign()) {
        SCOPED_TRACE(m.menu.empty() ? "menu bar" : m.menu);
        const QWidget* shown = m.menu.empty() ? static_cast<QWidget*>(view.menuBar()) : rig.action(m.menu)->menu();
        ASSERT_NE(shown, nullptr);
        std::vector<std::string> order;
        for (const QAction* a : shown->actions()) order.push_back(names.count(a) ? names[a] : "?");
        EXPECT_EQ(order, m.entries);
        for (const std::string& name : m.entries) {
            const ui::Command& c = *rig.form->menuBar.find(name);
            const QAction* a = rig.action(name);
            if (c.isSeparator()) {
                EXPECT_TRUE(a->isSeparator()) << name;
                continue;
            }
            EXPECT_EQ(ui::qt::fromQString(a->text()), c.caption()) << name;
            EXPECT_EQ(a->shortcut(), QKeySequence(ui::qt::toQString(c.shortcut()))) << name;
        }
    }
    EXPECT_EQ(rig.action("mnuMini")->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(rig.action("mnuFile_Exit")->text(), QStringLiteral("E&xit"));
}

TEST(MenusView, ACheckedEntryClickedInQtFlipsItsSettingOnce) {
    Rig rig;
    QAction* merge = rig.action("mnuMerge_DaysOfWeek");
    ASSERT_TRUE(merge->isChecked());
    ASSERT_TRUE(rig.form->settings()->MergeDaysOfWeek());

    merge->trigger();  // Qt toggles a checkable action before its handler runs
    EXPECT_FALSE(rig.form->settings()->MergeDaysOfWeek());
    EXPECT_FALSE(rig.form->mnuMerge_DaysOfWeek.checked());
    EXPECT_FALSE(merge->isChecked());

    merge->trigger();
    EXPECT_TRUE(rig.form->settings()->MergeDaysOfWeek());
    EXPECT_TRUE(merge->isChecked());

    // An entry of the layout part the same way.
    QAction* headings = rig.action("mnuView_Headings");
    const bool before = rig.form->settings()->ViewHeadings();
    headings->trigger();
    EXPECT_EQ(rig.form->settings()->ViewHeadings(), !before);
    EXPECT_EQ(headings->isChecked(), !before);
}

TEST(MenusView, ShortcutsReachTheirCommandsWhileTheMinimalDisplayHidesTheMenuBar) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(active(view));
    const int normalHeight = view.height();
    ASSERT_GT(normalHeight, 0);

    QTest::keyClick(&view, Qt::Key_F2);
    ASSERT_TRUE(rig.form->state().gMinimalDisplay);
    EXPECT_FALSE(view.menuBar()->isVisibleTo(&view));
    EXPECT_FALSE(view.centralWidget()->isVisibleTo(&view));
    EXPECT_FALSE(view.statusBar()->isVisibleTo(&view));
    EXPECT_TRUE(eventually([&] { return view.height() < normalHeight; }));
    // Still on screen, its caption showing: in the title bar the window system
    // draws (the offscreen screen draws one) or, without, in the window itself.
    EXPECT_TRUE(view.isVisible());
    ASSERT_NE(view.windowHandle(), nullptr);
    EXPECT_TRUE(view.windowHandle()->isVisible());
    EXPECT_GE(view.height(), 1);
    EXPECT_FALSE(view.windowTitle().isEmpty());
    if (view.frameGeometry().height() > view.height()) {
        EXPECT_FALSE(view.captionStrip()->isVisible());
    } else {
        EXPECT_TRUE(view.captionStrip()->isVisible());
        EXPECT_EQ(view.captionStrip()->text(), view.windowTitle());
        EXPECT_GE(view.height(), QFontMetrics(view.captionStrip()->font()).height());
        EXPECT_EQ(view.captionStrip()->width(), view.width());
    }
    EXPECT_TRUE(rig.form->alwaysOnTop());
    EXPECT_TRUE(view.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // The alarm's shortcut with the menu bar gone.
    ASSERT_TRUE(active(view));
    const bool alarm = rig.form->settings()->Alarm();
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(rig.form->settings()->Alarm(), !alarm);
    EXPECT_EQ(rig.action("mnuAlarm")->isChecked(), !alarm);

    // And F2 is the way back.
    QTest::keyClick(&view, Qt::Key_F2);
    EXPECT_FALSE(rig.form->state().gMinimalDisplay);
    EXPECT_TRUE(view.menuBar()->isVisibleTo(&view));
    EXPECT_TRUE(view.centralWidget()->isVisibleTo(&view));
    EXPECT_TRUE(view.statusBar()->isVisibleTo(&view));
    EXPECT_FALSE(rig.form->alwaysOnTop());
    EXPECT_TRUE(eventually([&] { return view.height() == normalHeight; }));
    EXPECT_FALSE(view.captionStrip()->isVisible());
    EXPECT_EQ(rig.form->width(), 7200);
}

TEST(MenusView, AShortcutReachesItsCommandWithTheListFocused) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(active(view));
    QWidget* grid = view.grid();
    grid->setFocus();
    QApplication::processEvents();
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(rig.ui.fonts.calls().size(), 1u);
    const bool alarm = rig.form->settings()->Alarm();
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(rig.form->settings()->Alarm(), !alarm);
    QTest::keyClick(grid, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(rig.ui.dialogs.shown(), std::vector<std::string>{"frmQVREvent"});
}

}  // namespace
