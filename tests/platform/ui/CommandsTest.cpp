#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Commands.h"

using namespace wendra::ui;

TEST(UiCommand, TriggerRunsOnlyReachableEntries) {
    Command alarm("mnuAlarm", "&Alarm", "Ctrl+A");
    int runs = 0;
    alarm.onClick = [&] {
        ++runs;
        alarm.setChecked(!alarm.checked());  // menus leave their check mark to the handler
    };
    EXPECT_TRUE(alarm.trigger());
    EXPECT_TRUE(alarm.checked());
    alarm.setEnabled(false);
    EXPECT_FALSE(alarm.trigger());
    alarm.setEnabled(true);
    alarm.setVisible(false);
    EXPECT_FALSE(alarm.trigger());
    Command separator("mnuAddIns", "-");
    separator.onClick = [&] { ++runs; };
    EXPECT_FALSE(separator.trigger());
    EXPECT_EQ(runs, 1);
}

TEST(UiMenuBar, ShortcutsReachOnlyEntriesTheUserCouldChoose) {
    Command mnuFile("mnuFile", "&File");
    Command newEvent("mnuActions_NewQuickEvent", "New", "Ctrl+N");
    Command editOccur("mnuActions_EditOccur", "Edit Occurrence", "Ctrl+O");
    Command mnuView("mnuView", "&View");
    Command refresh("mnuActions_Refresh", "Refresh", "F5");
    mnuFile.add(newEvent);
    mnuFile.add(editOccur);
    mnuView.add(refresh);
    MenuBar bar;
    bar.add(mnuFile);
    bar.add(mnuView);
    std::vector<std::string> ran;
    for (Command* c : {&newEvent, &editOccur, &refresh}) c->onClick = [&ran, c] { ran.push_back(c->name()); };

    EXPECT_EQ(bar.find("mnuActions_Refresh"), &refresh);
    EXPECT_EQ(bar.find("mnuNothing"), nullptr);
    EXPECT_TRUE(bar.triggerShortcut("F5"));
    editOccur.setVisible(false);
    EXPECT_FALSE(bar.triggerShortcut("Ctrl+O"));
    mnuFile.setEnabled(false);  // a disabled menu closes its entries too
    EXPECT_FALSE(bar.triggerShortcut("Ctrl+N"));
    mnuFile.setEnabled(true);
    EXPECT_TRUE(bar.triggerShortcut("Ctrl+N"));
    EXPECT_FALSE(bar.triggerShortcut(""));
    EXPECT_EQ(ran, (std::vector<std::string>{"mnuActions_Refresh", "mnuActions_NewQuickEvent"}));
}

TEST(UiToolbar, ClicksGoToTheToolbarHandlerWithTheButton) {
    Toolbar bar("Toolbar1");
    bar.addButton("toolbarOutlookStatus", "", "", CommandStyle::Placeholder).setWidth(2465);
    bar.addButton("toolbarNew", "New Event", "imgNew");
    bar.addButton("toolbarRefresh", "Refresh List", "imgRefresh");
    std::vector<std::string> keys;
    bar.onButtonClick = [&](Command& b) { keys.push_back(b.name()); };
    EXPECT_TRUE(bar.click("toolbarNew"));
    EXPECT_FALSE(bar.click("toolbarOutlookStatus"));
    EXPECT_FALSE(bar.click("toolbarMissing"));
    bar.setButtonsEnabled(false);
    EXPECT_FALSE(bar.click("toolbarRefresh"));
    bar.setButtonsEnabled(true);
    bar.setButtonsVisible(false);
    EXPECT_FALSE(bar.button("toolbarNew")->visible());
    EXPECT_FALSE(bar.click("toolbarNew"));
    EXPECT_EQ(keys, (std::vector<std::string>{"toolbarNew"}));
    EXPECT_EQ(bar.button("toolbarOutlookStatus")->width(), 2465);
    EXPECT_EQ(bar.button("toolbarNew")->toolTip(), "New Event");
}

TEST(UiToolbar, CheckAndGroupButtonsKeepTheirPressedState) {
    Toolbar bar("Toolbar1");
    Command& expand = bar.addButton("toolbarExpand", "Expand past events", "imgExpand", CommandStyle::ButtonGroup);
    Command& shrink = bar.addButton("toolbarShrink", "Shrink past events", "imgShrink", CommandStyle::ButtonGroup);
    Command& alarm = bar.addButton("toolbarAlarm", "Alarm On/Off", "imgAlarm2", CommandStyle::Check);
    bar.click("toolbarShrink");
    EXPECT_TRUE(shrink.checked());
    bar.click("toolbarExpand");
    EXPECT_TRUE(expand.checked());
    EXPECT_FALSE(shrink.checked());
    bar.click("toolbarAlarm");
    bar.click("toolbarAlarm");
    EXPECT_FALSE(alarm.checked());
    EXPECT_TRUE(expand.checked());  // a check button is no member of the group
    // Giving a pressed button another style releases it.
    shrink.setChecked(true);
    shrink.setStyle(CommandStyle::Check);
    shrink.setStyle(CommandStyle::ButtonGroup);
    EXPECT_FALSE(shrink.checked());
}

TEST(UiStatusBar, PanelsAreNumberedFromOne) {
    StatusBar bar("StatusBar1");
    EXPECT_EQ(bar.addPanel("mode", "Mode: Wendra (win)", PanelAutoSize::Spring), 1);
    EXPECT_EQ(bar.addPanel("comm"), 2);
    int heard = 0;
    auto sub = bar.subscribe([&] { ++heard; });
    EXPECT_TRUE(bar.setText(2, "Sync: In progress..."));
    EXPECT_TRUE(bar.setImageKey(2, "imgSyncInProgress"));
    EXPECT_TRUE(bar.setText(2, "Sync: In progress..."));
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(bar.text(1), "Mode: Wendra (win)");
    EXPECT_EQ(bar.panel(2).imageKey, "imgSyncInProgress");
    EXPECT_FALSE(bar.setText(0, "x"));
    EXPECT_FALSE(bar.setText(3, "x"));
    EXPECT_EQ(bar.text(3), "");
    EXPECT_THROW(bar.panel(3), std::out_of_range);

    std::vector<int> clicks;
    EXPECT_FALSE(bar.click(2)) << "nobody listens yet";
    bar.onPanelClick = [&](int number) { clicks.push_back(number); };
    EXPECT_TRUE(bar.click(2));
    EXPECT_FALSE(bar.click(3));
    bar.setPanelVisible(2, false);
    EXPECT_FALSE(bar.click(2));
    EXPECT_TRUE(bar.click(1));
    EXPECT_EQ(clicks, (std::vector<int>{2, 1}));
}
