#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Controls.h"

using namespace wendra::ui;
using wendra::DateTime;

TEST(UiTextBox, SettingTheTextRunsChangeOnlyWhenItDiffers) {
    TextBox box("txtDesc");
    std::vector<std::string> seen;
    box.onChange = [&] { seen.push_back(box.text()); };
    box.setText("Dentist");
    box.setText("Dentist");
    box.setText("");
    EXPECT_EQ(seen, (std::vector<std::string>{"Dentist", ""}));
}

TEST(UiTextBox, TypedKeysReplaceTheSelectionAndBackspaceRemovesIt) {
    TextBox box("txt", "caf\xC3\xA9s");  // "cafés": selections count characters, not bytes
    box.setSelection(3, 1);
    EXPECT_EQ(box.selectedText(), "\xC3\xA9");
    EXPECT_TRUE(box.typeKey('e'));
    EXPECT_EQ(box.text(), "cafes");
    EXPECT_EQ(box.selStart(), 4u);
    EXPECT_TRUE(box.typeKey(kKeyBackspace));
    EXPECT_EQ(box.text(), "cafs");
    box.setSelection(0, 0);
    EXPECT_TRUE(box.typeKey(kKeyBackspace));  // nothing before the cursor: nothing removed
    EXPECT_EQ(box.text(), "cafs");
    box.setSelection(1, 99);  // held within the text
    EXPECT_EQ(box.selLength(), 3u);
}

TEST(UiTextBox, KeyPressHandlerMayChangeOrSwallowAKey) {
    TextBox box("txt");
    box.onKeyPress = [](int key) { return key == 'x' ? 0 : (key == 'a' ? 'A' : key); };
    EXPECT_FALSE(box.typeKey('x'));
    EXPECT_TRUE(box.typeText("ab"));
    EXPECT_EQ(box.text(), "Ab");
    box.setEnabled(false);
    EXPECT_FALSE(box.typeKey('c'));
    box.setEnabled(true);
    box.setLocked(true);
    EXPECT_FALSE(box.typeKey('c'));
    EXPECT_EQ(box.text(), "Ab");
}

TEST(UiTextBox, MaximumLengthHoldsTypingAndCode) {
    TextBox box("txt");
    box.setMaxLength(3);
    box.typeText("12345");
    EXPECT_EQ(box.text(), "123");
    box.setText("abcdef");
    EXPECT_EQ(box.text(), "abc");
    box.selectAll();
    EXPECT_TRUE(box.typeKey('z'));  // replacing the selection is allowed at the limit
    EXPECT_EQ(box.text(), "z");
}

TEST(UiNumberBox, LetsOnlyDigitsAndBackspaceThrough) {
    NumberBox box("txtInterval");
    for (int key : {'a', '-', '.', ' ', '+'}) EXPECT_EQ(box.keyPress(key), 0) << char(key);
    for (int key : {int('0'), int('5'), int('9'), kKeyBackspace}) EXPECT_EQ(box.keyPress(key), key);
    box.typeText("1a2.3");
    EXPECT_EQ(box.text(), "123");
    box.setKeyFilter(KeyFilter::Decimal);
    box.typeText(".5-");
    EXPECT_EQ(box.text(), "123.5");
}

TEST(UiNumberBox, FocusSelectsTheWholeTextSoTypingReplacesIt) {
    NumberBox box("txtPriorWarn", 0, 9, 1);
    box.setText("7");
    int focusHandler = 0;
    box.onGotFocus = [&] { ++focusHandler; };
    box.gotFocus();
    EXPECT_EQ(box.selStart(), 0u);
    EXPECT_EQ(box.selLength(), 1u);
    box.typeKey('3');
    EXPECT_EQ(box.text(), "3");
    box.gotFocus();  // already focused: no second run
    EXPECT_EQ(focusHandler, 1);
    box.lostFocus();
    box.setFocus();  // code moving the focus runs the same handler
    EXPECT_EQ(focusHandler, 2);
    EXPECT_EQ(box.selLength(), 1u);
}

TEST(UiNumberBox, ArrowsClampAtTheLimitsAndNeverOverflow) {
    NumberBox box("txtDaysInAdvance", 0, 999, 1);
    int changes = 0;
    box.onChange = [&] { ++changes; };
    box.setText("99999");
    changes = 0;
    EXPECT_TRUE(box.up());
    EXPECT_EQ(box.text(), "999");
    box.setText("99999");
    EXPECT_TRUE(box.down());  // one less is still above the maximum
    EXPECT_EQ(box.text(), "999");
    box.setText("99999999999999999999999");
    box.up();
    EXPECT_EQ(box.text(), "999");
    box.setText("0");
    box.down();
    EXPECT_EQ(box.text(), "0");
    box.setText("998");
    box.up();
    box.up();
    EXPECT_EQ(box.text(), "999");
    EXPECT_GE(changes, 5);  // every arrow that changed the text ran the change handler
}

TEST(UiNumberBox, TextThatIsNoNumberGivesTheDefaultWithinTheLimits) {
    NumberBox count("txtOccursCount", 0, 999, 1);
    count.setText("");
    count.up();
    EXPECT_EQ(count.text(), "1");
    count.setText("abc");
    count.down();
    EXPECT_EQ(count.text(), "1");
    NumberBox interval("txtInterval", 2, 999, 1);  // a default below the minimum is clamped
    interval.setText("x");
    interval.down();
    EXPECT_EQ(interval.text(), "2");
    interval.setText("2.5");  // whole-number reading rounds half to even
    interval.up();
    EXPECT_EQ(interval.text(), "3");
}

TEST(UiNumberBox, ArrowsActOnlyWhileTheBoxIsEnabledAndTheGuardAgrees) {
    NumberBox box("txtAutoDelete", 1, 9, 1);
    box.setText("4");
    int steps = 0;
    box.onStep = [&] { ++steps; };
    box.setEnabled(false);
    EXPECT_FALSE(box.up());
    bool ticked = false;
    box.setEnabled(true);
    box.actsWhen = [&] { return ticked; };
    EXPECT_FALSE(box.up());
    box.arrows().up();  // the user's click on the arrow does nothing either
    EXPECT_EQ(box.text(), "4");
    ticked = true;
    EXPECT_TRUE(box.arrows().up());  // the arrows' click steps the box
    EXPECT_EQ(box.text(), "5");
    EXPECT_EQ(steps, 1);
}

TEST(UiOptionGroup, ChoosingOneClearsTheOthersAndRunsTheHandlerEveryTime) {
    OptionGroup freq("optFrequency", {"Once", "Yearly", "Monthly", "Month End", "Weekly", "Daily"});
    std::vector<int> clicks;
    freq.onClick = [&](int i) {
        clicks.push_back(i);
        int chosen = 0;
        for (int k = 0; k < freq.count(); ++k) chosen += freq[k].value();
        EXPECT_EQ(chosen, 1);  // the handler never sees two chosen
    };
    EXPECT_EQ(freq.selected(), -1);
    freq[4].setValue(true);
    EXPECT_TRUE(freq.isSelected(4));
    freq.select(1);
    EXPECT_FALSE(freq[4].value());
    freq.select(1);
    EXPECT_EQ(clicks, (std::vector<int>{4, 1, 1}));
    EXPECT_EQ(freq[2].name(), "optFrequency(2)");
    EXPECT_FALSE(freq.select(6));
    EXPECT_EQ(freq.selected(), 1);
    freq[1].setValue(false);  // clearing chooses nothing else and runs nothing
    EXPECT_EQ(freq.selected(), -1);
    EXPECT_EQ(clicks.size(), 3u);
    freq[3].setEnabled(false);
    EXPECT_FALSE(freq[3].click());
    EXPECT_TRUE(freq[5].click());
    EXPECT_EQ(freq.selected(), 5);
}

TEST(UiCheckBox, ValueChangesRunClick) {
    CheckBox chk("chkAutoDelete", "Auto-delete after");
    int clicks = 0;
    chk.onClick = [&] { ++clicks; };
    chk.setChecked(false);
    EXPECT_EQ(clicks, 0);
    chk.setChecked(true);
    chk.click();
    EXPECT_FALSE(chk.checked());
    chk.setValue(CheckState::Grayed);
    chk.click();
    EXPECT_TRUE(chk.checked());
    EXPECT_EQ(clicks, 4);
}

TEST(UiList, ListIndexRunsClickAndFollowsInsertionsAndRemovals) {
    ComboBox cmb("cmbCountdown");
    for (const char* t : {"Always", "When minimized", "Never"}) cmb.addItem(t);
    int clicks = 0;
    cmb.onClick = [&] { ++clicks; };
    EXPECT_TRUE(cmb.setListIndex(1));
    EXPECT_TRUE(cmb.setListIndex(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(cmb.setListIndex(3));  // out of range: refused, nothing changes
    EXPECT_EQ(cmb.listIndex(), 1);
    EXPECT_EQ(cmb.text(), "When minimized");
    cmb.addItem("First", 0);
    EXPECT_EQ(cmb.listIndex(), 2);
    cmb.removeItem(2);
    EXPECT_EQ(cmb.listIndex(), -1);
    EXPECT_TRUE(cmb.setText("Never"));
    EXPECT_EQ(cmb.listIndex(), 2);
    EXPECT_FALSE(cmb.setText("Sometimes"));
    cmb.clear();
    EXPECT_EQ(cmb.listCount(), 0);
    EXPECT_EQ(cmb.listIndex(), -1);
}

TEST(UiList, EditableComboKeepsItsOwnText) {
    ComboBox cmb("cmb", ListStyle::DropDownCombo);
    cmb.addItem("one");
    int changes = 0;
    cmb.onChange = [&] { ++changes; };
    cmb.setText("typed");
    EXPECT_EQ(cmb.text(), "typed");
    cmb.setListIndex(0);
    EXPECT_EQ(cmb.text(), "one");
    EXPECT_EQ(changes, 1);
}

TEST(UiTabStrip, SelectingByKeyOrIndexRunsClick) {
    TabStrip tabs("TabStrip1");
    tabs.addTab("tabDesc", "&Desc-Date-Time");
    tabs.addTab("tabOccurs", "&Occurs");
    tabs.addTab("tabShow", "&Visibility");
    EXPECT_EQ(tabs.selectedIndex(), 0);
    std::vector<std::string> seen;
    tabs.onClick = [&] { seen.push_back(tabs.selectedKey()); };
    EXPECT_TRUE(tabs.select("tabShow"));
    EXPECT_TRUE(tabs.select(2));
    EXPECT_FALSE(tabs.select("tabAlarm"));
    EXPECT_EQ(seen, (std::vector<std::string>{"tabShow", "tabShow"}));
}

TEST(UiPicker, PickingOnePartKeepsTheOther) {
    DatePicker date("ctrlEventDate");
    TimePicker time("ctrlEventTime");
    EXPECT_EQ(time.customFormat(), "HH:mm");
    int changes = 0;
    date.onChange = [&] { ++changes; };
    EXPECT_TRUE(date.setValue(DateTime::ymd(2026, 12, 7, 9, 30)));
    EXPECT_TRUE(date.pickDate(2027, 2, 15));
    EXPECT_EQ(date.value(), DateTime::ymd(2027, 2, 15, 9, 30));
    EXPECT_FALSE(date.pickDate(2027, 2, 30));
    EXPECT_TRUE(date.pickTime(18, 5));
    EXPECT_EQ(date.value(), DateTime::ymd(2027, 2, 15, 18, 5));
    EXPECT_FALSE(date.setValue(DateTime::ymd(1500, 1, 1)));
    EXPECT_EQ(changes, 3);
}

TEST(UiProgressBar, ValueStaysWithinTheRange) {
    ProgressBar bar("pbarLoading");
    bar.setRange(0, 5);
    bar.setValue(7);
    EXPECT_EQ(bar.value(), 5);
    bar.setMaximum(3);
    EXPECT_EQ(bar.value(), 3);
    bar.setValue(-1);
    EXPECT_EQ(bar.value(), 0);
}

TEST(UiNotifier, ViewsHearChangesUntilTheirSubscriptionEnds) {
    auto label = std::make_unique<Label>("lblError");
    int heard = 0;
    auto sub = label->subscribe([&] { ++heard; });
    label->setCaption("Sync failed");
    label->setCaption("Sync failed");  // no change, nothing to tell
    label->setVisible(false);
    EXPECT_EQ(heard, 2);
    {
        auto second = label->subscribe([&] { heard += 100; });
        label->setEnabled(false);
    }
    EXPECT_EQ(heard, 103);
    sub.reset();
    label->setEnabled(true);
    EXPECT_EQ(heard, 103);
    auto late = label->subscribe([] {});
    label.reset();  // the subscription outlives the control safely
    late.reset();
}

TEST(UiNotifier, AListenerMayEndAnotherWhileTheyAreCalled) {
    Label label("lbl");
    Subscription second;
    int secondHeard = 0;
    auto first = label.subscribe([&] { second.reset(); });
    second = label.subscribe([&] { ++secondHeard; });
    label.setCaption("x");
    label.setCaption("y");
    EXPECT_EQ(secondHeard, 0);
}
