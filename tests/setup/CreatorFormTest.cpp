// The setup's window: its texts, the job run once when the window has been drawn, the
// short pause after it, and the close box that cannot cut the job short.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "platform/ui/TestDoubles.h"
#include "platform/ui/qt/QtGrab.h"
#include "platform/ui/qt/QtServices.h"
#include "setup/frmWendraWinCreator.h"
#include "setup/qt/CreatorView.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/TempFolder.h"

namespace wendra {
namespace {

setup::CompletionReport failedOnce() { return setup::CompletionReport{"/p/WendraWin", {"WendraWinCreator: one"}}; }

TEST(frmWendraWinCreator, RunsItsJobOnceThenEndsAfterThePause) {
    ui::ManualTimerService timers;
    ui::RecordingWindowPlacement screen;
    int runs = 0;
    frmWendraWinCreator form(timers, screen, [&] {
        ++runs;
        return failedOnce();
    });
    EXPECT_EQ(form.caption(), "Wendra(win)  exe creator");
    EXPECT_EQ(form.Label1.caption(), "Completing Wendra(Win) installation.");

    form.show();
    EXPECT_EQ(form.left(), (28800 - form.width()) / 2) << "centred on the screen";
    EXPECT_EQ(runs, 0) << "the view starts the job once the window is drawn";
    EXPECT_FALSE(form.requestClose()) << "the close box waits for the job";
    EXPECT_TRUE(form.isLoaded());

    form.complete();
    form.complete();
    EXPECT_EQ(runs, 1);
    ASSERT_TRUE(form.report().has_value());
    EXPECT_EQ(form.report()->exitCode(), 1);
    timers.advance(frmWendraWinCreator::kPauseMs - 1);
    EXPECT_TRUE(form.isLoaded()) << "the window stays for the pause";
    timers.advance(1);
    EXPECT_FALSE(form.isLoaded());
}

TEST(CreatorView, TheDrawnWindowCompletesTheInstallationAndClosesByItself) {
    ui::qt::QtServices qt;
    int runs = 0;
    frmWendraWinCreator form(qt.timers, qt.placement, [&] {
        ++runs;
        return setup::CompletionReport{};
    });
    setup::qt::CreatorView view(form);
    form.show();
    ASSERT_TRUE(view.isVisible());
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Wendra(win)  exe creator"));
    const auto labels = view.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Completing Wendra(Win) installation."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs == 1; }, 5000));

    // A picture: in WENDRA_GRAB_DIR when set, else in a temporary folder.
    test::TempFolder dir;
    const QByteArray keep = qgetenv("WENDRA_GRAB_DIR");
    const std::string folder = keep.isEmpty() ? dir.path().string() : keep.toStdString();
    EXPECT_TRUE(ui::qt::grabToPng(view, folder + "/setup-window.png"));

    EXPECT_TRUE(view.isVisible()) << "the pause";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view.isVisible(); }, 5000));
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace wendra
