// The month-end confirmation on its own: its offer, and what it writes back
// into the picker it was given.

#include <gtest/gtest.h>

#include "editor/frmConfirmStartDate.h"
#include "platform/ui/TestDoubles.h"

using namespace wendra;

namespace {

class ConfirmStartDateTest : public ::testing::Test {
protected:
    frmConfirmStartDate& open(DateTime start) {
        picker.setValue(start);
        dialog = std::make_unique<frmConfirmStartDate>(doubles.services());
        dialog->startDateCtrl(picker);
        dialog->show();
        return *dialog;
    }

    ui::TestServices doubles;
    ui::DatePicker picker{"ctrlEventDate"};
    std::unique_ptr<frmConfirmStartDate> dialog;
};

TEST_F(ConfirmStartDateTest, ItOffersTheDateAsEnteredAndPreselectsItsMonthsEnd) {
    frmConfirmStartDate& d = open(DateTime::ymd(2027, 2, 15));
    EXPECT_EQ(d.caption(), "Confirm start date");
    EXPECT_EQ(d.optStartDate[0].caption(), "15 February 2027");
    EXPECT_EQ(d.optStartDate[1].caption(), "28 February 2027   (next month end date)");
    EXPECT_EQ(d.optStartDate.selected(), 1);
    EXPECT_EQ(d.left(), (doubles.placement.screenWidth() - d.width()) / 2);

    d.cmdSave.press();
    EXPECT_FALSE(d.isLoaded());
    EXPECT_EQ(picker.value(), DateTime::ymd(2027, 2, 28));
}

TEST_F(ConfirmStartDateTest, CancelTheCloseBoxAndTheFirstOptionKeepTheDate) {
    open(DateTime::ymd(2027, 2, 15)).cmdCancel.press();
    EXPECT_EQ(picker.value(), DateTime::ymd(2027, 2, 15));

    EXPECT_TRUE(open(DateTime::ymd(2027, 2, 15)).requestClose());
    EXPECT_EQ(picker.value(), DateTime::ymd(2027, 2, 15));

    frmConfirmStartDate& d = open(DateTime::ymd(2027, 2, 15, 9, 30));
    d.optStartDate[0].click();
    d.cmdSave.press();
    EXPECT_EQ(picker.value(), DateTime::ymd(2027, 2, 15, 9, 30));
}

TEST_F(ConfirmStartDateTest, ALeapFebruaryEndsOnThe29th) {
    frmConfirmStartDate& d = open(DateTime::ymd(2028, 2, 3));
    EXPECT_EQ(d.optStartDate[1].caption(), "29 February 2028   (next month end date)");
    d.cmdSave.press();
    EXPECT_EQ(picker.value(), DateTime::ymd(2028, 2, 29));
}

}  // namespace
