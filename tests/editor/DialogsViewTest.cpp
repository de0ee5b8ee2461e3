// The visibility, hide and delete dialogs in their real windows (offscreen):
// what the logic sets reaches the widgets, the user's clicks and keys reach the
// logic, and a picture of each dialog is kept.

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "editor/CancelFlag.h"
#include "editor/frmDeleteMult.h"
#include "editor/frmDeleteSingle.h"
#include "editor/frmVisibility.h"
#include "editor/qt/DeleteMultView.h"
#include "editor/qt/DeleteSingleView.h"
#include "editor/qt/VisibilityView.h"
#include "platform/clock/FakeClock.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/qt/QtGrab.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"
#include "tests/support/DialogRig.h"
#include "tests/support/QtDialogRun.h"

namespace wendra {
namespace {

// One application for the whole run, ended before the program's statics are.

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, mo, d, h, mi, s); }

using Opener = test::FlagRecorder;

class DialogsView : public ::testing::Test, protected test::DialogRig {
protected:
    ui::qt::QtServices qt_;
    QTemporaryDir tmp_;

    void SetUp() override {
        ASSERT_TRUE(settings.setModeWendraWin(false));
        registerVisibilityView(qt_.dialogs);
        registerDeleteSingleView(qt_.dialogs);
        registerDeleteMultView(qt_.dialogs);
    }

    template <typename View>
    bool runShown(ui::Form& form, const std::function<void(View&)>& whileOpen) {
        return test::runShown<View>(qt_.dialogs, form, whileOpen);
    }

    // Keeps a picture of the window: in WENDRA_GRAB_DIR when set, else in a temporary folder.
    void grab(QWidget& window, const QString& file) { test::expectGrab(window, test::grabPath(tmp_.path(), file)); }

    static void pressKey(QWidget* w, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }

    static clsCalEvent weekly() {
        clsCalEvent ev;
        ev.setDescription("Team meeting");
        ev.setEventStart(at(2026, 2, 2, 9, 0));
        ev.setAllDayEvent(false);
        ev.setIsRecurring(true);
        ev.addRRule().setFrequency(clsCalRRule::kWeekly);
        ev.setViewFromDate(at(2026, 3, 9, 9, 0));
        ev.setHiddenList("20260202T090000,");
        return ev;
    }
    static clsCalEvent oneOff(DateTime start) {
        clsCalEvent ev;
        ev.setDescription("Dentist");
        ev.setEventStart(start);
        ev.setAllDayEvent(false);
        ev.setViewFromDate(start);
        return ev;
    }
};

TEST_F(DialogsView, VisibilityOfARepeatingEventIsChangedByClicksAndKeys) {
    frmVisibility form(qt_.services(), settings);
    clsCalEvent ev = weekly();
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(5);
    form.setCalEvent(ev);
    form.setCaller(opener);
    int tall = 0;
    ASSERT_TRUE(runShown<VisibilityView>(form, [&](VisibilityView& v) {
        EXPECT_EQ(v.windowTitle(), "Visibility");
        EXPECT_TRUE(opener.FlagCancel());
        EXPECT_TRUE(v.optPriorWarning(6)->isChecked());
        EXPECT_EQ(v.optPriorWarning(6)->text(), "5 days prior");
        EXPECT_EQ(v.optPriorWarning(0)->text(), "Default (30 days)");
        EXPECT_TRUE(v.frameViewFromDate()->isVisible());
        EXPECT_EQ(v.frameViewFromDate()->title(), "View From Date");
        EXPECT_EQ(v.cmbViewFromDate()->count(), 7);
        EXPECT_EQ(v.cmbViewFromDate()->currentIndex(), 5);
        EXPECT_FALSE(v.cmdSave()->icon().isNull());
        EXPECT_EQ(v.cursor().shape(), Qt::ArrowCursor);  // the hourglass is gone
        tall = v.height();
        grab(v, "visibility.png");

        v.optPriorWarning(3)->click();
        v.cmbViewFromDate()->setFocus();
        pressKey(v.cmbViewFromDate(), Qt::Key_Home);
        EXPECT_EQ(form.cmbViewFromDate.listIndex(), 0);
        v.cmdSave()->click();
    }));
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(opener.FlagCancel());
    EXPECT_EQ(ev.PriorWarning(), 2);
    EXPECT_FALSE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 2, 2, 9, 0));
    EXPECT_EQ(ev.HiddenList(), "");

    // A one-off event: the shorter window without the view-from frame. Escape is a cancel.
    clsCalEvent once = oneOff(at(2026, 3, 20, 9, 30));
    form.setCalEvent(once);
    ASSERT_TRUE(runShown<VisibilityView>(form, [&](VisibilityView& v) {
        EXPECT_FALSE(v.frameViewFromDate()->isVisible());
        EXPECT_LT(v.height(), tall);
        EXPECT_GT(v.frameButtons()->geometry().top(), v.framePriorWarn()->geometry().bottom());
        EXPECT_LT(v.frameButtons()->geometry().bottom(), v.height());
        grab(v, "visibility-once.png");
        v.optPriorWarning(1)->click();
        pressKey(&v, Qt::Key_Escape);
    }));
    EXPECT_FALSE(form.isLoaded());
    EXPECT_TRUE(opener.FlagCancel());
    EXPECT_TRUE(once.PriorWarningIsDefault());
}

TEST_F(DialogsView, DeleteSingleOverriddenByTheCheckBox) {
    frmDeleteSingle form(qt_.services(), settings);
    clsCalEvent ev = oneOff(at(2026, 3, 20, 9, 30));
    form.setCalEvent(ev);
    form.setCaller(opener);
    ASSERT_TRUE(runShown<DeleteSingleView>(form, [&](DeleteSingleView& v) {
        EXPECT_EQ(v.windowTitle(), "Hide / Delete");
        EXPECT_EQ(v.lblDesc()->text(), "Dentist");
        EXPECT_EQ(v.lblOccurs()->text(), "Once");
        EXPECT_TRUE(v.frameWarning()->isVisible());
        EXPECT_EQ(v.frameWarning()->title(), "Overide recommended delete mode ?");
        EXPECT_EQ(v.chkChange()->text(), "Hide");
        EXPECT_FALSE(v.imgRecommend()->pixmap().isNull());
        EXPECT_EQ(v.cmdHide()->text(), "&Delete");
        grab(v, "delete-single.png");
        v.chkChange()->click();
        EXPECT_TRUE(form.chkChange.checked());
        v.cmdHide()->click();
    }));
    EXPECT_FALSE(opener.FlagCancel());
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestHideEvent);
}

TEST_F(DialogsView, DeleteSingleInStandaloneModeIsCutShort) {
    ASSERT_TRUE(settings.setModeWendraWin(true));
    frmDeleteSingle form(qt_.services(), settings);
    std::vector<int> topics;
    form.onHelp = [&](int t) { topics.push_back(t); };
    clsCalEvent ev = oneOff(at(2026, 3, 2, 9, 30));
    form.setCalEvent(ev);
    form.setCaller(opener);
    ASSERT_TRUE(runShown<DeleteSingleView>(form, [&](DeleteSingleView& v) {
        EXPECT_EQ(v.windowTitle(), "Delete");
        EXPECT_FALSE(v.frameWarning()->isVisible());
        EXPECT_LT(v.cmdHide()->parentWidget()->geometry().bottom(), v.height());
        // A window shortcut answers only in the active window; under load the
        // offscreen window may not be active yet when the key comes.
        v.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
        pressKey(&v, Qt::Key_F1);
        grab(v, "delete-single-standalone.png");
        v.close();  // the close box
    }));
    EXPECT_EQ(topics, std::vector<int>{6});
    EXPECT_TRUE(opener.FlagCancel());
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestNone);
}

TEST_F(DialogsView, DeleteMultChoosesEveryOccurrence) {
    frmDeleteMult form(qt_.services(), settings);
    clsCalEvent ev = weekly();
    form.setCalEvent(ev);
    form.setChosenDate(at(2026, 3, 9, 9, 0));
    form.setAllDayOccur(false);
    form.setCaller(opener);
    ASSERT_TRUE(runShown<DeleteMultView>(form, [&](DeleteMultView& v) {
        EXPECT_TRUE(v.optDelete(0)->isChecked());
        EXPECT_EQ(v.optDelete(1)->text(), "all occurrences");
        EXPECT_EQ(v.lblOccurs()->text(), "Weekly");
        EXPECT_EQ(v.lblChosenDate()->text(), QString::fromStdString(formatLongDate(at(2026, 3, 9, 9, 0), true, false)));
        EXPECT_EQ(v.chkChange()->text(), "Delete");  // last week's occurrence: hide recommended
        v.chkChange()->click();
        grab(v, "delete-mult.png");
        v.optDelete(1)->click();
        EXPECT_FALSE(v.chkChange()->isChecked());
        EXPECT_EQ(v.chkChange()->text(), "Hide");
        v.cmdMoreInfo()->click();
        v.cmdHide()->click();
    }));
    EXPECT_FALSE(opener.FlagCancel());
    EXPECT_EQ(ev.UpdateRequest(), clsCalEvent::kRequestDeleteEvent);
}

}  // namespace
}  // namespace wendra
