// The binding's edit through the real appointment window in Qt (offscreen): the
// window shows the event's appointment, the user's change comes back as the
// event, and a picture of the window is kept (WENDRA_GRAB_DIR names a folder
// to keep it in); a new appointment the calendar refuses to save stays in its
// window with what was typed.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/outlook/qt/QtAppointmentWindow.h"
#include "platform/ui/qt/QtGrab.h"
#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using wendra::test::at;
using wendra::test::OutlookBindingRig;

TEST(OutlookWindowView, AnEventEditedInTheAppointmentWindowComesBackChanged) {
    auto window = std::make_shared<outlook::qt::QtAppointmentWindow>();
    OutlookBindingRig rig(window);
    clsCalEvent stored = rig.event("Piano lesson", at(2024, 3, 7, 16, 30), false, "<#=R><F=2><C=6>");
    ASSERT_TRUE(rig.save(stored));
    clsCalEvent ev;
    ASSERT_EQ(rig.readBack(stored, ev), FindResult::found);

    QTemporaryDir pictures;
    const QByteArray keep = qgetenv("WENDRA_GRAB_DIR");
    const QString picture = (keep.isEmpty() ? pictures.path() : QString::fromLocal8Bit(keep)) + "/outlook-edit.png";
    bool shown = false;
    window->onShown = [&](QDialog& d) {
        QTimer::singleShot(5000, &d, [&d] { d.reject(); });
        shown = true;
        auto* subject = d.findChild<QLineEdit*>("subject");
        ASSERT_NE(subject, nullptr);
        EXPECT_EQ(subject->text(), "Piano lesson");
        EXPECT_TRUE(ui::qt::grabToPng(d, picture.toStdString()));
        subject->selectAll();
        QTest::keyClicks(subject, "Piano lesson with Ms Ade");
        rig.clock().advanceSeconds(60);
        QTest::mouseClick(d.findChild<QPushButton*>("save"), Qt::LeftButton);
    };
    ASSERT_TRUE(rig.binding.displayEditForm(ev, false));
    EXPECT_TRUE(shown);
    EXPECT_EQ(ev.Description(), "Piano lesson with Ms Ade");
    EXPECT_EQ(ev.WendraWinId(), stored.WendraWinId());
    EXPECT_TRUE(ev.IsRecurring());
    EXPECT_EQ(OutlookBindingRig::occurrences(ev, at(2025, 1, 1)), OutlookBindingRig::occurrences(stored, at(2025, 1, 1)));
    const QImage image(picture);
    EXPECT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 200);
}

TEST(OutlookWindowView, ANewAppointmentTheCalendarRefusesStaysInItsWindowWithWhatWasTyped) {
    auto window = std::make_shared<outlook::qt::QtAppointmentWindow>();
    OutlookBindingRig rig(window);
    ASSERT_TRUE(rig.binding.OpenData());
    QString refusal;
    window->onShown = [&](QDialog& d) {
        QTimer::singleShot(5000, &d, [&d] { d.reject(); });
        auto* subject = d.findChild<QLineEdit*>("subject");
        QTest::keyClicks(subject, "Dentist");
        // The file turns into something no calendar can be written to.
        std::filesystem::create_directories(rig.calendar.file());
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                refusal = box->text();
                box->accept();
            }
        });
        QTest::mouseClick(d.findChild<QPushButton*>("save"), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(subject->text(), "Dentist");
        std::filesystem::remove(rig.calendar.file());
        rig.clock().advanceSeconds(60);
        QTest::mouseClick(d.findChild<QPushButton*>("save"), Qt::LeftButton);
    };
    clsCalEvent ev;
    ASSERT_TRUE(rig.binding.displayAddForm(ev));
    EXPECT_TRUE(refusal.startsWith("The calendar is not a plain file")) << refusal.toStdString();
    EXPECT_EQ(ev.Description(), "Dentist");
    EXPECT_EQ(rig.appointmentCount(), 1);
    EXPECT_TRUE(rig.messages.calls().empty());
}
