// The appointment window in Qt (offscreen): what it shows of an item, the
// user's changes reaching the calendar file through Save, Delete and Close,
// a Save the calendar refuses, and a picture of it.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/outlook/Errors.h"
#include "platform/outlook/qt/QtAppointmentWindow.h"
#include "platform/ui/qt/QtGrab.h"
#include "tests/support/CalendarRig.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::errorOf;

namespace {

template <class W>
W* child(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Runs the window on the item with `act` driving it once it is shown; a guard
// closes a window that `act` left open.
void display(AppointmentItem& item, std::function<void(QDialog&)> act) {
    qt::QtAppointmentWindow window;
    bool ran = false;
    window.onShown = [&](QDialog& d) {
        QTimer::singleShot(5000, &d, [&d] { d.reject(); });
        ran = true;
        act(d);
    };
    window.show(item);
    EXPECT_TRUE(ran);
}

}  // namespace

TEST(OutlookQtWindow, ShowsTheItemAndSavesWhatTheUserChanged) {
    test::CalendarRig rig;
    auto item = rig.add("Dentist", at(2024, 3, 6, 9, 0), 45);
    QTemporaryDir pictures;
    display(*item, [&](QDialog& d) {
        EXPECT_EQ(child<QLineEdit>(d, "subject")->text(), "Dentist");
        EXPECT_EQ(child<QDateTimeEdit>(d, "start")->dateTime(), QDateTime(QDate(2024, 3, 6), QTime(9, 0)));
        EXPECT_EQ(child<QSpinBox>(d, "duration")->value(), 45);
        EXPECT_FALSE(child<QCheckBox>(d, "allDay")->isChecked());
        EXPECT_EQ(child<QComboBox>(d, "repeat")->currentText(), "Does not repeat");
        const QString path = test::grabPath(pictures.path(), "appointment.png");
        EXPECT_TRUE(ui::qt::grabToPng(d, path.toStdString()));
        EXPECT_EQ(QImage(path).size(), d.size());

        auto* subject = child<QLineEdit>(d, "subject");
        subject->selectAll();
        QTest::keyClicks(subject, "Dentist, Dr Obi");
        child<QSpinBox>(d, "duration")->setValue(60);
        auto* repeat = child<QComboBox>(d, "repeat");
        repeat->setCurrentIndex(repeat->findText("Monthly"));
        QTest::mouseClick(child<QPushButton>(d, "save"), Qt::LeftButton);
    });
    rig.reread();
    auto back = rig.items()->Item(1);
    EXPECT_EQ(back->Subject(), "Dentist, Dr Obi");
    EXPECT_EQ(back->Duration(), 60);
    ASSERT_TRUE(back->IsRecurring());
    EXPECT_EQ(back->GetRecurrencePattern()->RecurrenceType(), olRecursMonthly);
    EXPECT_EQ(back->GetRecurrencePattern()->DayOfMonth(), 6);
}

TEST(OutlookQtWindow, AllDayShowsTheDayAndLastsWholeDays) {
    test::CalendarRig rig;
    auto item = rig.add("Trip", at(2024, 3, 6, 9, 0), 45);
    display(*item, [&](QDialog& d) {
        child<QCheckBox>(d, "allDay")->setChecked(true);
        EXPECT_FALSE(child<QSpinBox>(d, "duration")->isEnabled());
        EXPECT_EQ(child<QDateTimeEdit>(d, "start")->displayFormat(), "dd MMM yyyy");
        QTest::mouseClick(child<QPushButton>(d, "save"), Qt::LeftButton);
    });
    EXPECT_TRUE(item->AllDayEvent());
    EXPECT_EQ(item->Start(), at(2024, 3, 6, 0, 0));
    EXPECT_EQ(item->Duration(), 1440);
}

TEST(OutlookQtWindow, CloseLeavesTheItemAndDeleteRemovesIt) {
    test::CalendarRig rig;
    auto item = rig.add("Keep?", at(2024, 3, 6, 9, 0));
    const std::string before = rig.text();
    rig.clock().advanceSeconds(30);
    display(*item, [](QDialog& d) {
        child<QLineEdit>(d, "subject")->setText("Typed, not saved");
        QTest::mouseClick(child<QPushButton>(d, "close"), Qt::LeftButton);
    });
    EXPECT_EQ(rig.text(), before);
    EXPECT_EQ(item->Subject(), "Keep?");

    display(*item, [](QDialog& d) { QTest::mouseClick(child<QPushButton>(d, "delete"), Qt::LeftButton); });
    EXPECT_EQ(errorOf([&] { item->LastModificationTime(); }), err::kItemDeleted);
    EXPECT_EQ(rig.items()->Count(), 0);
}

TEST(OutlookQtWindow, AnOccurrenceCannotChangeItsSeriesRepeat) {
    test::CalendarRig rig;
    auto series = rig.add("Weekly", at(2024, 3, 6, 9, 0));
    series->GetRecurrencePattern()->setOccurrences(3);
    series->Save();
    auto occurrence = series->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 13, 9, 0));
    display(*occurrence, [](QDialog& d) {
        auto* repeat = child<QComboBox>(d, "repeat");
        EXPECT_FALSE(repeat->isEnabled());
        EXPECT_EQ(repeat->currentText(), "Weekly");
        child<QDateTimeEdit>(d, "start")->setDateTime(QDateTime(QDate(2024, 3, 14), QTime(11, 0)));
        QTest::mouseClick(child<QPushButton>(d, "save"), Qt::LeftButton);
    });
    auto ex = series->GetRecurrencePattern()->Exceptions();
    ASSERT_EQ(ex->Count(), 1);
    EXPECT_EQ(ex->Item(1)->AppointmentItem()->Start(), at(2024, 3, 14, 11, 0));
}

// A Save refused by a read-only file is told and keeps the window open; the
// item keeps none of what was tried, so neither the window's next Save nor a
// later one of the caller's writes the Daily the user took back over the rule.
TEST(OutlookQtWindow, ARefusedSaveLeavesTheItemWithNothingOfIt) {
    namespace fs = std::filesystem;
    for (const char* then : {"save", "close"}) {
        test::CalendarRig rig;
        auto series = rig.add("Rota", at(2024, 3, 12, 9, 0));
        series->GetRecurrencePattern()->setInterval(2);
        series->GetRecurrencePattern()->setDayOfWeekMask(olTuesday | olThursday);
        series->Save();
        series->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 14, 9, 0))->Delete();
        const auto rule = [&] {
            std::istringstream in(rig.text());
            std::string line, lines;
            while (std::getline(in, line))
                if (line.starts_with("RRULE") || line.starts_with("EXDATE")) lines += line + "\n";
            return lines;
        };
        const std::string before = rule();
        ASSERT_EQ(before, "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH\r\nEXDATE:20240314T090000\r\n");
        auto item = rig.items()->Item(1);
        QString refusal;
        display(*item, [&](QDialog& d) {
            auto* repeat = child<QComboBox>(d, "repeat");
            repeat->setCurrentIndex(repeat->findText("Daily"));
            fs::permissions(rig.file(), fs::perms::owner_read);
            QTimer::singleShot(0, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    refusal = box->text();
                    box->accept();
                }
            });
            QTest::mouseClick(child<QPushButton>(d, "save"), Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            fs::permissions(rig.file(), fs::perms::owner_read | fs::perms::owner_write);
            repeat->setCurrentIndex(repeat->findText("Weekly"));
            child<QLineEdit>(d, "subject")->setText("Rota B");
            QTest::mouseClick(child<QPushButton>(d, then), Qt::LeftButton);
        });
        EXPECT_TRUE(refusal.startsWith("The calendar file is read-only")) << refusal.toStdString();
        item->Save();
        EXPECT_EQ(rule(), before) << then;
        EXPECT_EQ(rig.items()->Item(1)->Subject(), then == std::string("save") ? "Rota B" : "Rota") << then;
    }
}
