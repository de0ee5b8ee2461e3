// The main window drawn by Qt, offscreen: the toolbar, the status bar, the banner and
// the list as the form sets them, the window's height following the list, and a
// picture of the whole window (kept in WENDRA_GRAB_DIR when that is set).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <csignal>

#include "mainwindow/frmMain.h"
#include "mainwindow/qt/EndOnSignals.h"
#include "platform/ui/qt/QtConvert.h"
#include "platform/ui/qt/QtGrab.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/QtMainWindowRig.h"

using namespace wendra;
using wendra::test::exposed;
using wendra::test::TempFolder;

namespace {

// A real main window over an empty store, placed and sized by its settings.
struct Rig : test::QtMainWindowRig {
    Rig() {
        preset("View", "Left", "600");
        preset("View", "Top", "600");
        preset("View", "Width", "6600");
        startShown();
    }
};

TEST(MainWindowView, ShowsTheToolbarStatusAndListAsTheFormSetsThem) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));
    QApplication::processEvents();
    EXPECT_TRUE(view.windowTitle().startsWith("Wendra(win)")) << ui::qt::fromQString(view.windowTitle());

    // Eleven buttons with their tips; in standalone mode the Outlook slot, Edit
    // Occurrence and Visibility are not shown.
    auto& bar = view.toolbarBinder();
    EXPECT_EQ(bar.action("toolbarNew")->toolTip(), "New Event");
    EXPECT_EQ(bar.action("toolbarFont")->toolTip(), "Font");
    EXPECT_FALSE(bar.action("toolbarNew")->icon().isNull());
    EXPECT_FALSE(bar.action("toolbarEditOccur")->isVisible());
    EXPECT_FALSE(bar.action("toolbarOutlookStatus")->isVisible());
    EXPECT_TRUE(bar.action("toolbarRefresh")->isVisible());
    EXPECT_TRUE(bar.action("toolbarShrink")->isChecked());
    EXPECT_EQ(view.statusBinder().panelLabel(1)->text(), "Mode: Wendra (win)");
    EXPECT_EQ(view.statusBinder().panelLabel(2)->text(), "COM: None");
    for (const auto& key : mainwindow::qt::imageList2Keys()) EXPECT_TRUE(view.images().contains(key)) << key;

    // The heading row and the placeholder.
    auto* grid = view.grid();
    EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Days To");
    EXPECT_EQ(grid->model()->index(0, 4).data().toString(), "No events within 30 days");
    EXPECT_TRUE(grid->isColumnHidden(0));

    // The bars' heights reached the form, and the window ends just below the grid.
    EXPECT_EQ(rig.form->Toolbar1.height(), ui::qt::pixelsToTwipsY(view.toolbar()->height(), &view));
    EXPECT_EQ(grid->y(), view.toolbar()->height());
    EXPECT_EQ(view.height(), view.menuBar()->height() + grid->geometry().bottom() + 1 + view.statusBar()->height());
    // Every row shows: no scroll bar.
    EXPECT_FALSE(grid->verticalScrollBar()->isVisible());

    // The menus the window has so far, with their marks.
    EXPECT_NE(view.menuBinder().action("mnuView_Date"), nullptr);
    EXPECT_TRUE(view.menuBinder().action("mnuView_Date")->isChecked());
}

TEST(MainWindowView, TheBannerOpensUnderTheToolbarAndItsButtonClosesIt) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));
    const int height = view.height();
    const int gridTop = view.grid()->y();
    rig.form->showError("Synchronisation failed: the device did not answer.");
    QApplication::processEvents();
    EXPECT_TRUE(view.banner()->isVisible());
    EXPECT_EQ(view.bannerText()->text(), "Synchronisation failed: the device did not answer.");
    EXPECT_GT(view.grid()->y(), gridTop);
    EXPECT_GT(view.height(), height);

    auto* close = view.banner()->findChild<QPushButton*>();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "X");
    EXPECT_EQ(close->toolTip(), "Close Message");
    close->click();
    QApplication::processEvents();
    EXPECT_FALSE(view.banner()->isVisible());
    EXPECT_EQ(view.grid()->y(), gridTop);
    EXPECT_EQ(view.height(), height);

    // A message of two lines, the second one wrapping, shows whole above the list.
    rig.form->showError("Cannot establish a connection with Microsoft Outlook\r\nThe calendar file is damaged (text "
                        "before the calendar): /home/someone/.local/share/WendraWin/Outlook.ics");
    QApplication::processEvents();
    QLabel* text = view.bannerText();
    EXPECT_GE(text->height(), text->heightForWidth(text->width()));
    EXPECT_GT(view.grid()->y(), view.banner()->y() + text->y() + text->heightForWidth(text->width()));
}

TEST(MainWindowView, TheUsersWidthReachesTheListAndTheHeightStaysWithTheRows) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));
    const int height = view.height();
    view.resize(view.width() + 120, view.height() + 200);
    QApplication::processEvents();
    EXPECT_EQ(view.height(), height);  // the height follows the rows, not the hand
    EXPECT_EQ(rig.form->width(), ui::qt::pixelsToTwipsX(view.frameGeometry().width(), &view));
    EXPECT_EQ(rig.form->msGrid.width(), rig.form->width() - 100);
}

// SIGTERM and SIGINT end the window as File, Exit does, its settings saved: between
// two handlers, and with a question open (SIGTERM here) only once the handler that
// asked it has ended, the question answered as its close box would answer it.
TEST(MainWindowView, ASignalToEndClosesTheWindowAsFileExitDoesOnceTheHandlerHasEnded) {
    for (const int signal : {SIGINT, SIGTERM}) {
        Rig rig;
        ASSERT_TRUE(exposed(*rig.view));
        mainwindow::qt::EndOnSignals endOnSignals(*rig.form);
        rig.form->move(900, 750);
        bool handlerEndedFirst = signal == SIGINT;
        if (signal == SIGINT) std::raise(signal);
        QTimer::singleShot(0, [&] {
            if (signal == SIGINT) return;
            QMessageBox box(QMessageBox::Question, "", "Delete?", QMessageBox::Yes | QMessageBox::No);
            QTimer::singleShot(0, [&] { std::raise(signal); });
            handlerEndedFirst = box.exec() != QMessageBox::Yes && rig.form->isLoaded();
        });
        EXPECT_TRUE(test::eventually([&] { return !rig.form->isLoaded(); })) << signal;
        EXPECT_TRUE(handlerEndedFirst) << signal;
        EXPECT_EQ(rig.stored("View", "Left"), "900") << signal;
    }
}

// A signal while a dialog of the window's load stands ends the program once its own
// loop runs, a loop of the same level as that dialog's; a second signal ends the
// process at once, though no loop has taken the first.
TEST(MainWindowView, ASignalDuringTheLoadEndsTheProgramInItsLoopAndASecondAtOnce) {
    Rig rig;
    ASSERT_TRUE(exposed(*rig.view));
    {
        mainwindow::qt::EndOnSignals endOnSignals(*rig.form);
        QMessageBox box(QMessageBox::Question, "", "Install?", QMessageBox::Yes | QMessageBox::No);
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        box.exec();
        endOnSignals.loadEnded();
        QEventLoop program;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&, waited = 0]() mutable {
            if (!rig.form->isLoaded() || ++waited > 300) program.quit();
        });
        watch.start(10);
        program.exec();
        EXPECT_FALSE(rig.form->isLoaded());
    }
    test::ChildProcess busy([&] {
        mainwindow::qt::EndOnSignals endOnSignals(*rig.form);
        std::raise(SIGINT);
        std::raise(SIGINT);
        return 0;
    });
    EXPECT_EQ(busy.wait(), -1);  // ended by the signal
}

TEST(MainWindowView, GrabsTheWindowToPng) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));
    rig.form->showError("Sync: the device sent a calendar this program cannot read.");
    QApplication::processEvents();
    TempFolder out;
    const QString png = test::grabPath(QString::fromStdString(out.path().string()), "main_window.png");
    ASSERT_TRUE(ui::qt::grabToPng(view, ui::qt::fromQString(png)));
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.height(), view.height() * static_cast<int>(view.devicePixelRatio()));
}

// The longest status text is whole even in a window narrower than it, beside the port's panel.
TEST(MainWindowView, EachStatusPanelShowsItsWholeText) {
    Rig rig;
    auto& view = *rig.view;
    ASSERT_TRUE(exposed(view));
    view.resize(300, view.height());
    rig.form->setStatusText("Mode: MSOutlook          [Checking for updates]");
    QLabel* mode = view.statusBinder().panelLabel(1);
    test::eventually([&] { return mode->width() >= mode->sizeHint().width(); }, 1000);
    for (int panel : {1, 2}) {
        QLabel* text = view.statusBinder().panelLabel(panel);
        EXPECT_GE(text->width(), text->sizeHint().width()) << panel;
        EXPECT_LE(text->parentWidget()->geometry().right(), view.statusBar()->width()) << panel;
    }
    // The list takes the width the window has now.
    EXPECT_EQ(rig.form->width(), ui::qt::pixelsToTwipsX(view.frameGeometry().width(), &view));
}

}  // namespace
