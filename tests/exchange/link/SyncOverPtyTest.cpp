// Whole synchronisations with the scripted device over a pseudo-terminal pair,
// against the main window and its real store: the first one of a device and a
// PC that hold different events (and one both hold), edits and deletions on
// each side, a second one that changes nothing, and a device that cancels, falls
// silent, answers nonsense or answers twice, followed by one that behaves.
// Afterwards both sides hold the same events, each once, each linked once.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/iCalData.h"
#include "tests/support/PtySyncRig.h"

using namespace wendra;
using test::PtySyncRig;
using peer::Misbehaviour;
using peer::ScriptedDevice;

namespace {

// The device holds three events, the PC three, and one of them is on both.
void bothSides(PtySyncRig& rig, ScriptedDevice& device) {
    device.add(peer::deviceEvent("P-1", "20260320T090000", "Dentist"));
    device.add(peer::deviceEvent("P-2", "20260325", "Haircut"));
    device.add(peer::deviceEvent("P-3", "20260318T120000", "Team lunch", "20260302T080000"));
    rig.addLocal("Tax return", PtySyncRig::at(2026, 4, 1), PtySyncRig::at(2026, 3, 1, 8), true);
    rig.addLocal("Mum's birthday", PtySyncRig::at(2026, 5, 14), PtySyncRig::at(2026, 3, 1, 8), true,
                 [](clsCalEvent& ev) { PtySyncRig::addRule(ev, clsCalRRule::kYearly); });
    rig.addLocal("Team lunch", PtySyncRig::at(2026, 3, 18, 12), PtySyncRig::at(2026, 3, 1, 8));
}

const std::vector<std::string> kAll = {
    "Dentist @ 20260320T090000", "Haircut @ 20260325",       "Mum's birthday @ 20260514",
    "Tax return @ 20260401",     "Team lunch @ 20260318T120000",
};

// Nothing left to do: the clock and the end of the export, no request, no event.
const std::vector<std::string> kNothingToDo = {"SYNC-TIME OK", "EXPORT-END"};

class SyncOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.line.ok());
        bothSides(rig, device);
    }
    PtySyncRig rig;
    ScriptedDevice device;
};

TEST_F(SyncOverPty, TheFirstSyncBringsBothSidesTogetherAndTheNextChangesNothing) {
    // The list hears of the exchange's changes together, at its end at the latest
    // (the tests' timers stand still): not at every message.
    int gridNews = 0;
    const auto watch = rig.form->msGrid.subscribe([&] { ++gridNews; });
    ASSERT_TRUE(rig.sync(device));
    EXPECT_EQ(rig.localEvents(), kAll);
    rig.expectInStep(device);
    EXPECT_LE(gridNews, 4);
    std::vector<std::string> listed;
    for (int r = 0; r < rig.form->msGrid.rows(); ++r) listed.push_back(rig.form->msGrid.textMatrix(r, grdSubject));
    EXPECT_NE(std::find(listed.begin(), listed.end(), "Dentist"), listed.end());
    EXPECT_EQ(device.count("REQUEST>"), 3);
    EXPECT_EQ(device.count("PUBLISH QVRID-"), 2) << "the two the device lacked, and not the one both had";
    EXPECT_EQ(rig.rig.panel(), "COM5  (Open)");
    EXPECT_EQ(rig.form->timerCheckComm1.interval(), frmMain::kPollAfterExportMs);

    ASSERT_TRUE(rig.sync(device));
    EXPECT_EQ(device.received, kNothingToDo);
    rig.expectInStep(device);
}

TEST_F(SyncOverPty, EditsOnEachSideAndOnBothMeet) {
    ASSERT_TRUE(rig.sync(device));
    // The device renames the dentist; the PC the tax return; of the lunch the device
    // changes the text and, later, the PC its prior warning.
    device.events["P-1"].set("SUMMARY", "Dentist at nine");
    device.events["P-1"].lastModified = "20260305T100000";
    rig.edit("Tax return", PtySyncRig::at(2026, 3, 6, 8), [](clsCalEvent& ev) { ev.setDescription("Tax return due"); });
    device.events["P-3"].set("SUMMARY", "Team lunch with Ana");
    device.events["P-3"].lastModified = "20260307T100000";
    rig.edit("Team lunch", PtySyncRig::at(2026, 3, 8, 8), [](clsCalEvent& ev) {
        ev.setPriorWarningIsDefault(false);
        ev.setPriorWarning(5);
    });

    ASSERT_TRUE(rig.sync(device));
    rig.expectInStep(device);
    EXPECT_EQ(rig.local("Dentist at nine").Description(), "Dentist at nine");
    const clsCalEvent lunch = rig.local("Team lunch with Ana");
    EXPECT_FALSE(lunch.PriorWarningIsDefault());
    EXPECT_EQ(lunch.PriorWarning(), 5);
    EXPECT_EQ(device.events["P-3"].value("X-KSP-PRIORWARN"), "5");

    ASSERT_TRUE(rig.sync(device));
    EXPECT_EQ(device.received, kNothingToDo);
}

TEST_F(SyncOverPty, WhatOneSideDeletesTheOtherDeletes) {
    ASSERT_TRUE(rig.sync(device));
    device.events.erase("P-2");
    rig.remove("Tax return");

    ASSERT_TRUE(rig.sync(device));
    rig.expectInStep(device);
    EXPECT_EQ(rig.localEvents(), (std::vector<std::string>{"Dentist @ 20260320T090000", "Mum's birthday @ 20260514",
                                                           "Team lunch @ 20260318T120000"}));
    EXPECT_EQ(device.count("CANCEL"), 1);

    ASSERT_TRUE(rig.sync(device));
    EXPECT_EQ(device.received, kNothingToDo);
}

TEST_F(SyncOverPty, ATextEditOnTheDeviceKeepsEveryRuleAndExceptionOfALocalEvent) {
    // Weekdays and the fourth Thursday of November, a whole day off: the device gets
    // the day map. Weekly until 1 June: the device gets a count.
    const DateTime changed = PtySyncRig::at(2026, 3, 1, 8);
    rig.addLocal("Standup", PtySyncRig::at(2026, 3, 16, 9), changed, false, [](clsCalEvent& ev) {
        PtySyncRig::addRule(ev, clsCalRRule::kWeekly, "MO,TU,WE,TH,FR");
        PtySyncRig::addRule(ev, clsCalRRule::kYearly, "4TH", "11");
        ev.setExDates("20260408");
    });
    rig.addLocal("Gym", PtySyncRig::at(2026, 3, 17, 18), changed, false, [](clsCalEvent& ev) {
        PtySyncRig::addRule(ev, clsCalRRule::kWeekly).setDurationUntil(PtySyncRig::at(2026, 6, 1), true);
    });
    std::vector<std::string> rules;
    for (const char* d : {"Standup", "Gym"}) rules.push_back(makeiCalData(rig.local(d), true));
    ASSERT_TRUE(rig.sync(device));
    for (auto& [id, ev] : device.events) {
        ev.set("SUMMARY", ev.summary() + " moved");
        ev.lastModified = "20260305T100000";
    }

    ASSERT_TRUE(rig.sync(device));
    EXPECT_EQ(makeiCalData(rig.local("Standup moved"), true), rules[0]);
    EXPECT_EQ(makeiCalData(rig.local("Gym moved"), true), rules[1]);
    rig.expectInStep(device);
}

TEST(SyncOverPtyFaults, AnExchangeThatGoesWrongLosesAndDuplicatesNothing) {
    struct Fault {
        Misbehaviour what;
        const char* name;
    };
    const Fault faults[] = {
        {Misbehaviour::Cancel, "a cancel instead of the answer"},
        {Misbehaviour::Silent, "silence from then on"},
        {Misbehaviour::Unheard, "the block done, its answer lost"},
        {Misbehaviour::Nonsense, "nonsense for an answer"},
        {Misbehaviour::Twice, "the answer twice"},
    };
    // The blocks of the first exchange: 1 to 3 request the device's events (the third
    // is the one the PC holds too), 4 and 5 add the PC's two others.
    for (const auto& fault : faults)
        for (const int block : {1, 3, 4, 5}) {
            SCOPED_TRACE(std::string(fault.name) + " at block " + std::to_string(block));
            PtySyncRig rig;
            ScriptedDevice device;
            bothSides(rig, device);
            device.misbehave(fault.what, block);
            rig.sync(device);
            rig.expectNothingTwice(device);
            // The device starts again and behaves.
            ASSERT_TRUE(rig.sync(device));
            EXPECT_EQ(rig.localEvents(), kAll);
            rig.expectInStep(device);
            ASSERT_TRUE(rig.sync(device));
            EXPECT_EQ(device.received, kNothingToDo);
        }
}

}  // namespace
