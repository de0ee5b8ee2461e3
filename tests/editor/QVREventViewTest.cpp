// The event editor in its real window (offscreen): filled by keys and clicks,
// saved and read back; a picture of each page and of the month-end question.

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimeEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "editor/CancelFlag.h"
#include "editor/frmQVREvent.h"
#include "editor/qt/ConfirmStartDateView.h"
#include "editor/qt/QVREventView.h"
#include "platform/clock/FakeClock.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/qt/QtGrab.h"
#include "platform/ui/qt/QtServices.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"
#include "tests/support/DialogRig.h"

namespace wendra {
namespace {

using Opener = test::FlagRecorder;

// The user's hands: mouse and key events sent to a widget as the window system
// delivers them, through every event filter on the way.
void mouseClick(QWidget* w, QPoint at = QPoint(-1, -1)) {
    if (at == QPoint(-1, -1)) at = w->rect().center();
    const QPointF local(at);
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void keyClick(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

void keyClicks(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        keyClick(w, key, QString(c));
    }
}

// A click on a check or option button's own box.
void clickBox(QWidget* w) { mouseClick(w, QPoint(8, w->height() / 2)); }

void clickTab(QVREventView& view, int index) { mouseClick(view.tabStrip(), view.tabStrip()->tabRect(index).center()); }

template <typename W>
W* child(QWidget& view, const char* name) {
    W* w = view.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Runs fn on the next modal dialog of type V once the event loop has it on screen.
template <typename V>
void whenShown(std::function<void(V&)> fn) {
    QTimer::singleShot(0, [fn] {
        auto* view = dynamic_cast<V*>(QApplication::activeModalWidget());
        ASSERT_NE(view, nullptr);
        // The offscreen screen activates no window of its own: focus needs an active one.
        QApplication::setActiveWindow(view);
        fn(*view);
    });
}

class QVREventViewTest : public ::testing::Test, protected test::DialogRig {
protected:
    QVREventViewTest() : DialogRig(DateTime::ymd(2026, 12, 7, 10, 0)) {}

    void SetUp() override {
        settings.setPriorWarning(30);
        settings.setFontName("DejaVu Serif");
        settings.setFontSize(26);
        registerQVREventView(qt.dialogs);
        registerConfirmStartDateView(qt.dialogs);
        ASSERT_TRUE(tmp.isValid());
    }

    std::unique_ptr<frmQVREvent> makeEditor(clsCalEvent& ev) {
        QVREventOptions options;
        options.opener = &opener;
        options.listFont = listFontFromSettings(settings);
        auto editor = std::make_unique<frmQVREvent>(qt.services(), settings, options);
        editor->CalEvent(ev);
        return editor;
    }

    // Where pictures go: WENDRA_GRAB_DIR to keep them, else the test's own folder.
    QString grab(QWidget& w, const QString& file) {
        const QString path = test::grabPath(tmp.path(), file);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(ui::qt::grabToPng(w, path.toStdString())) << path.toStdString();
        EXPECT_GT(QFileInfo(path).size(), 1000) << path.toStdString();
        return path;
    }

    ui::qt::QtServices qt;
    QTemporaryDir tmp;
};

TEST_F(QVREventViewTest, ANewEventIsTypedClickedSavedAndReadBack) {
    clsCalEvent ev;
    auto editor = makeEditor(ev);
    bool ran = false;
    whenShown<QVREventView>([&](QVREventView& view) {
        ran = true;
        EXPECT_EQ(view.windowTitle(), "Event Details");
        EXPECT_EQ(view.tabStrip()->count(), 3);
        EXPECT_EQ(view.tabStrip()->tabText(1), "&Occurs");
        // The description box in the list's font, held at 20 points.
        EXPECT_EQ(view.txtDesc()->font().family(), "DejaVu Serif");
        EXPECT_EQ(view.txtDesc()->font().pointSizeF(), 20);
        EXPECT_GT(view.txtDesc()->height(), view.ctrlEventDate()->height());

        // Page 1: description, date and time by the keyboard. The dialog opens with
        // the focus in the description, so what is typed first lands there.
        EXPECT_EQ(QApplication::focusWidget(), view.txtDesc());
        keyClicks(QApplication::focusWidget(), "Piano lesson");
        EXPECT_EQ(editor->txtDesc.text(), "Piano lesson");
        QDateEdit* date = view.ctrlEventDate();
        date->setFocus();
        date->setSelectedSection(QDateTimeEdit::DaySection);
        keyClicks(date, "15");
        date->setSelectedSection(QDateTimeEdit::MonthSection);
        keyClicks(date, "03");
        date->setSelectedSection(QDateTimeEdit::YearSection);
        keyClicks(date, "2027");
        EXPECT_EQ(editor->ctrlEventDate.value().date(), DateTime::ymd(2027, 3, 15));
        EXPECT_FALSE(view.ctrlEventTime()->isEnabled());
        clickBox(view.optAllDayEvent(1));
        ASSERT_TRUE(view.ctrlEventTime()->isEnabled());
        QTimeEdit* time = view.ctrlEventTime();
        time->setFocus();
        time->setSelectedSection(QDateTimeEdit::HourSection);
        keyClicks(time, "17");
        time->setSelectedSection(QDateTimeEdit::MinuteSection);
        keyClicks(time, "30");
        EXPECT_EQ(editor->lblEventTime.caption(), " 17:30");
        EXPECT_EQ(child<QLabel>(view, "lblEventDate")->text(), " 15 March 2027 - Monday");
        grab(view, "QVREvent-1-desc-date-time.png");

        // Page 2: Month End every 2, six times.
        clickTab(view, 1);
        EXPECT_TRUE(view.page(1)->isVisible());
        EXPECT_FALSE(view.page(0)->isVisible());
        EXPECT_FALSE(child<QGroupBox>(view, "frameInterval")->isVisible());
        clickBox(view.optFrequency(3));
        EXPECT_TRUE(child<QGroupBox>(view, "frameInterval")->isVisible());
        auto* interval = child<QLineEdit>(view, "txtInterval");
        interval->setFocus();
        interval->selectAll();
        keyClicks(interval, "2x");  // the letter is swallowed
        EXPECT_EQ(interval->text(), "2");
        EXPECT_EQ(child<QLabel>(view, "lblInterval")->text(), "month ends");
        clickBox(view.optOccurs(1));
        auto* count = child<QLineEdit>(view, "txtOccursCount");
        EXPECT_TRUE(count->isEnabled());
        keyClicks(count, "5");
        // One step up by its arrow.
        auto* countArrows = child<QWidget>(view, "txtOccursCount.arrows");
        const auto arrows = countArrows->findChildren<QToolButton*>();
        ASSERT_EQ(arrows.size(), 2);
        mouseClick(arrows[0]);
        EXPECT_EQ(count->text(), "6");
        EXPECT_EQ(child<QLabel>(view, "lblOccurs")->text(), " Every 2 month ends for 6 occurrences");
        grab(view, "QVREvent-2-occurs.png");

        // Page 3: three days prior, auto-delete after three days by its arrows.
        clickTab(view, 2);
        EXPECT_TRUE(view.page(2)->isVisible());
        EXPECT_FALSE(view.frameLoading()->isVisible());
        EXPECT_FALSE(view.cmbViewFromDate()->isEnabled());  // not yet repeating
        clickBox(view.optPriorWarning(2));
        auto* prior = child<QLineEdit>(view, "txtPriorWarn");
        EXPECT_TRUE(prior->hasFocus());
        keyClicks(prior, "3");
        EXPECT_EQ(editor->txtPriorWarn.text(), "3");
        clickBox(child<QCheckBox>(view, "chkAutoDelete"));
        auto* autoDelete = child<QLineEdit>(view, "txtAutoDelete");
        EXPECT_EQ(autoDelete->text(), "1");
        const auto deleteArrows = child<QWidget>(view, "txtAutoDelete.arrows")->findChildren<QToolButton*>();
        ASSERT_EQ(deleteArrows.size(), 2);
        mouseClick(deleteArrows[0]);
        mouseClick(deleteArrows[0]);
        EXPECT_EQ(autoDelete->text(), "3");
        EXPECT_EQ(child<QLabel>(view, "lblPriorWarning")->text(), " 3 days prior.    Auto delete after 3 days.");
        grab(view, "QVREvent-3-visibility.png");

        // Save: the start is no month end, so the question comes first.
        whenShown<ConfirmStartDateView>([&](ConfirmStartDateView& confirm) {
            EXPECT_EQ(confirm.windowTitle(), "Confirm start date");
            EXPECT_EQ(confirm.optStartDate(0)->text(), "15 March 2027");
            EXPECT_EQ(confirm.optStartDate(1)->text(), "31 March 2027   (next month end date)");
            EXPECT_TRUE(confirm.optStartDate(1)->isChecked());
            grab(confirm, "ConfirmStartDate.png");
            mouseClick(confirm.cmdSave());
        });
        mouseClick(view.cmdSave());
    });
    qt.dialogs.showModal(*editor);
    ASSERT_TRUE(ran);

    EXPECT_FALSE(editor->isLoaded());
    EXPECT_FALSE(opener.flag);
    EXPECT_EQ(ev.Description(), "Piano lesson");
    EXPECT_FALSE(ev.AllDayEvent());
    EXPECT_EQ(ev.EventStart(), DateTime::ymd(2027, 3, 31, 17, 30));
    ASSERT_TRUE(ev.IsRecurring());
    ASSERT_EQ(ev.RRulesCount(), 1);
    const clsCalRRule& r = *ev.RRule(1);
    EXPECT_EQ(r.Frequency(), clsCalRRule::kMonthly);
    EXPECT_EQ(r.Interval(), 2);
    EXPECT_EQ(r.DurationCount(), 6);
    EXPECT_TRUE(r.isMonthEnd());
    EXPECT_FALSE(ev.PriorWarningIsDefault());
    EXPECT_EQ(ev.PriorWarning(), 3);
    EXPECT_EQ(ev.AutoDelete(), "3");
}

// The time picker as the hand meets it (events the window system would deliver,
// so a click brings the focus): focused by a click or by Tab it takes the digits
// typed at once, hour first, and so do both pickers clicked again or left and
// reached again by Tab or Shift+Tab; its arrow keys keep answering; and each click
// on an arrow is one step, even when the work behind a step is slow.
TEST_F(QVREventViewTest, TheTimePickerTakesDigitsAtOnceAndStepsOncePerClick) {
    clsCalEvent ev;
    ev.setDescription("Dentist");
    ev.setEventStart(DateTime::ymd(2026, 12, 9, 14, 30));
    ev.setAllDayEvent(false);
    ev.setViewFromDate(ev.EventStart());
    auto editor = makeEditor(ev);
    bool ran = false;
    whenShown<QVREventView>([&](QVREventView& view) {
        ran = true;
        QTimeEdit* time = view.ctrlEventTime();
        ASSERT_TRUE(time->isEnabled());
        auto* text = time->findChild<QLineEdit*>();
        ASSERT_NE(text, nullptr);
        const auto hm = [&] { return formatTimeHM(editor->ctrlEventTime.value()); };
        const auto typed = [](const char* digits) {
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(digits));
        };

        // A click on the hour, then digits.
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(4, text->height() / 2));
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), time);
        typed("0211");
        EXPECT_EQ(hm(), "02:11");
        EXPECT_EQ(time->time(), QTime(2, 11));
        // The arrow keys step the section the cursor stands in, again and again.
        for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(hm(), "02:14");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_EQ(hm(), "02:13");

        // A click on the minutes and digits: the minutes take them.
        QTest::mouseClick(view.txtDesc(), Qt::LeftButton);
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(text->width() - 6, text->height() / 2));
        QCoreApplication::processEvents();
        typed("45");
        EXPECT_EQ(hm(), "02:45");

        // Reached by Tab from the all-day options: the hour section takes the digits.
        view.optAllDayEvent(1)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), time);
        typed("0715");
        EXPECT_EQ(hm(), "07:15");

        // Each click on the up arrow is one step of the hour, also when a step's
        // work outlasts the arrow's repeat delay.
        time->setSelectedSection(QDateTimeEdit::HourSection);
        auto slow = editor->ctrlEventTime.subscribe([] { QThread::msleep(600); });
        QStyleOptionSpinBox option;
        option.initFrom(time);
        option.subControls = QStyle::SC_SpinBoxUp;
        option.buttonSymbols = time->buttonSymbols();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        const QPoint up = time->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, time).center();
        for (int i = 0; i < 2; ++i) {
            QTest::mousePress(time, Qt::LeftButton, {}, up);
            QCoreApplication::processEvents();  // what waited behind the slow step
            QTest::mouseRelease(time, Qt::LeftButton, {}, up);
        }
        EXPECT_EQ(hm(), "09:15");
        slow.reset();

        // Both pickers reached again, while or after they had the focus: the digits
        // start at the first section, or at the one clicked.
        QDateEdit* date = view.ctrlEventDate();
        const auto click = [](QDateTimeEdit* box, bool atEnd) {
            auto* line = box->findChild<QLineEdit*>();
            const QPoint at(atEnd ? line->width() - 6 : 4, line->height() / 2);
            return [=] { QTest::mouseClick(line, Qt::LeftButton, {}, at); };
        };
        const auto tab = [](Qt::KeyboardModifiers m) {
            return [=] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, m); };
        };
        struct Again {
            QDateTimeEdit* box;
            std::vector<std::function<void()>> steps;
            const char* digits;
            const char* expected;
        };
        const Again agains[] = {
            {time, {click(time, false)}, "0211", "02:11"},  // a second click on the hour
            {time, {click(time, true), tab(Qt::ShiftModifier), tab({})}, "0312", "03:12"},
            {time, {tab({}), tab(Qt::ShiftModifier)}, "0413", "04:13"},
            {date, {click(date, false)}, "15032027", "2027-03-15"},
            {date, {click(date, false)}, "16042027", "2027-04-16"},
            {date, {click(date, true), tab(Qt::ShiftModifier), tab({})}, "17052027", "2027-05-17"},
            {date, {tab({}), tab(Qt::ShiftModifier)}, "18062027", "2027-06-18"},
        };
        for (const Again& a : agains) {
            SCOPED_TRACE(a.expected);
            for (const auto& step : a.steps) step();
            QCoreApplication::processEvents();
            ASSERT_EQ(QApplication::focusWidget(), a.box);
            typed(a.digits);
            EXPECT_EQ(a.box == time ? hm() : editor->ctrlEventDate.value().isoText().substr(0, 10), a.expected);
        }
        mouseClick(view.cmdCancel());
    });
    qt.dialogs.showModal(*editor);
    ASSERT_TRUE(ran);
}

TEST_F(QVREventViewTest, AnInputErrorShowsItsMessageAndTheFieldAndEscapeCancels) {
    clsCalEvent ev;
    ev.setDescription("Bins out");
    ev.setEventStart(DateTime::ymd(2026, 11, 2));
    ev.setViewFromDate(DateTime::ymd(2026, 11, 16));
    ev.setIsRecurring(true);
    ev.addRRule().setFrequency(clsCalRRule::kWeekly);
    auto editor = makeEditor(ev);
    bool ran = false;
    whenShown<QVREventView>([&](QVREventView& view) {
        ran = true;
        // The view-from list fills behind the loading frame; a picture of it midway.
        bool grabbed = false;
        const auto midway = editor->pbarLoading.subscribe([&] {
            if (grabbed || editor->pbarLoading.value() != 3) return;
            grabbed = true;
            EXPECT_TRUE(view.frameLoading()->isVisible());
            EXPECT_FALSE(view.page(2)->isVisible());
            grab(view, "QVREvent-5-loading.png");
        });
        clickTab(view, 2);
        EXPECT_TRUE(grabbed);
        EXPECT_GT(view.loadingPaints(), 0);
        EXPECT_FALSE(view.frameLoading()->isVisible());
        QComboBox* list = view.cmbViewFromDate();
        ASSERT_EQ(list->count(), 6);
        EXPECT_EQ(list->itemText(0), "2 Nov 2026");
        EXPECT_EQ(list->currentIndex(), 2);
        list->setFocus();
        keyClick(list, Qt::Key_Up);
        EXPECT_EQ(editor->chosenViewFromDate(), DateTime::ymd(2026, 11, 9));
        grab(view, "QVREvent-4-view-from-list.png");

        // An empty description is refused on its own page.
        clickTab(view, 0);
        view.txtDesc()->setFocus();
        view.txtDesc()->selectAll();
        keyClick(view.txtDesc(), Qt::Key_Backspace);
        clickTab(view, 1);
        whenShown<QMessageBox>([](QMessageBox& box) {
            EXPECT_EQ(box.text(), "Description cannot be empty");
            EXPECT_EQ(box.windowTitle(), "Input error");
            box.button(QMessageBox::Ok)->click();
        });
        mouseClick(view.cmdSave());
        EXPECT_TRUE(editor->isLoaded());
        EXPECT_EQ(view.tabStrip()->currentIndex(), 0);
        EXPECT_TRUE(view.page(0)->isVisible());
        // The dialog's focus stands in the field (offscreen, the closed message box
        // hands the activation back to nobody).
        EXPECT_EQ(view.focusWidget(), view.txtDesc());
        QApplication::setActiveWindow(&view);
        EXPECT_TRUE(view.txtDesc()->hasFocus());

        keyClick(&view, Qt::Key_Escape);  // the close box
    });
    qt.dialogs.showModal(*editor);
    ASSERT_TRUE(ran);
    EXPECT_FALSE(editor->isLoaded());
    EXPECT_TRUE(opener.flag);
    EXPECT_EQ(ev.Description(), "Bins out");
    EXPECT_EQ(ev.ViewFromDate(), DateTime::ymd(2026, 11, 16));
}

}  // namespace
}  // namespace wendra
