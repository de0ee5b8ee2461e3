// The merge of an event the device sends, over a real store: which side's
// values win with and without the copy both last agreed on, what is saved, what
// goes back to the device and what becomes the next base; what becomes of a
// device event the store has no copy of; and the date lists.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exchange/SyncMerge.h"
#include "tests/support/SyncRig.h"

using namespace wendra;
using test::SyncRig;

namespace {

// One copy of the event: its description, its own prior warning, the day of
// March 2026 (08:00) it was last changed and the day of April (09:00) it starts.
struct Copy {
    const char* desc;
    int priorWarning;
    int changedOn;
    int startsOn = 1;
};

clsCalEvent copyOf(const Copy& c) {
    clsCalEvent ev = SyncRig::event(c.desc, SyncRig::at(2026, 4, c.startsOn, 9), SyncRig::at(2026, 3, c.changedOn, 8));
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(c.priorWarning);
    // Both sides keep the view date the program worked out and sent.
    clsCalEvent walk = ev;
    ev.setViewFromDate(walk.calcNextViewDate());
    return ev;
}

// The program's event stored and linked to P-1, both sides agreed on it as it is;
// the device's copy of it, changed later (3 March), for the test to change further.
std::string agreedOn(SyncRig& rig, clsCalEvent& program, clsCalEvent& device) {
    EXPECT_TRUE(rig.store.Save(program, SaveMode::Always));
    const std::string key = program.WendraWinId();
    rig.link(key, "P-1");
    clsCalEvent base = program;
    EXPECT_TRUE(rig.store.addSyncRecord(rig.calendarId, base, true));
    device = program;
    device.setLastModified(SyncRig::at(2026, 3, 3, 8));
    device.setXID("P-1");
    device.setXCalendarId(rig.calendarId);
    return key;
}

struct MergeCase {
    const char* name;
    Copy program;
    std::optional<Copy> base;
    Copy device;
    int eventFormat;
    Copy stored;  // the program's event afterwards (its change day is not compared)
    bool update;  // an Update goes back to the device
};

TEST(SyncMerge, WhichSideWinsWhatIsSavedSentAndKeptAsTheBase) {
    const MergeCase cases[] = {
        {"equal stamps change nothing", {"A", 3, 2}, {}, {"B", 5, 2}, 0, {"A", 3, 0}, false},
        {"program later, no base: all the program's", {"A", 3, 3}, {}, {"B", 5, 2}, 0, {"A", 3, 0}, true},
        {"device later, no base: all the device's", {"A", 3, 2}, {}, {"B", 5, 3}, 0, {"B", 5, 0}, false},
        {"device later, only its description changed", {"A", 3, 2}, Copy{"A", 3, 1}, {"B", 3, 3}, 0, {"B", 3, 0},
         false},
        {"device later, each side changed its own", {"A", 7, 2}, Copy{"A", 3, 1}, {"B", 3, 3}, 0, {"B", 7, 0}, true},
        {"program later, each side changed its own", {"A", 7, 3}, Copy{"A", 3, 1}, {"B", 3, 2}, 0, {"B", 7, 0}, true},
        {"device later, both changed the text", {"C", 3, 2}, Copy{"A", 3, 1}, {"B", 3, 3}, 0, {"B", 3, 0}, false},
        {"program later, both changed the text", {"C", 3, 3}, Copy{"A", 3, 1}, {"B", 3, 2}, 0, {"C", 3, 0}, true},
        {"device later, both moved it: the device's start", {"A", 3, 2, 2}, Copy{"A", 3, 1, 1}, {"B", 3, 3, 3}, 0,
         {"B", 3, 0, 3}, false},
        // A device that sent its day map of the event cannot have moved it: the
        // program's start stands, and goes back to the device.
        {"device later, its day map: the program's start", {"A", 3, 2, 2}, Copy{"A", 3, 1, 1}, {"B", 3, 3, 3}, 1,
         {"B", 3, 0, 2}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyncRig rig;
        rig.openSession();
        clsCalEvent program = copyOf(c.program);
        ASSERT_TRUE(rig.store.Save(program, SaveMode::Always));
        const std::string key = program.WendraWinId();
        rig.link(key, "P-1");
        if (c.base) {
            clsCalEvent base = copyOf(*c.base);
            base.setWendraWinId(key);
            ASSERT_TRUE(rig.store.addSyncRecord(rig.calendarId, base, true));
        }
        clsCalEvent device = copyOf(c.device);
        device.setXID("P-1");
        device.setXCalendarId(rig.calendarId);
        device.setEventFormat(c.eventFormat);

        rig.sync.syncImport(device);

        const clsCalEvent stored = rig.local(key);
        EXPECT_EQ(stored.Description(), c.stored.desc);
        EXPECT_EQ(stored.PriorWarning(), c.stored.priorWarning);
        EXPECT_EQ(stored.EventStart(), SyncRig::at(2026, 4, c.stored.startsOn, 9));
        EXPECT_EQ(rig.queued(), c.update ? std::vector<std::string>{"Update " + key + " P-1"}
                                         : std::vector<std::string>{});
        // The merged event is the next base, confirmed unless it still has to reach the device.
        const bool equalStamps = c.program.changedOn == c.device.changedOn;
        clsCalEvent base;
        const auto k = clsDataQVR::toEventKey(key);
        ASSERT_TRUE(k.has_value());
        EXPECT_EQ(rig.store.getSyncRecord(base, rig.calendarId, *k), !equalStamps || c.base.has_value());
        if (!equalStamps) {
            EXPECT_EQ(base.Description(), c.stored.desc);
            EXPECT_EQ(rig.count("SELECT count(*) AS n FROM SyncRecord WHERE SyncConfirmed = 1"), c.update ? 0 : 1);
        }
        EXPECT_EQ(rig.host.sent, std::vector<std::string>{}) << "the merge sends nothing by itself";
    }
}

TEST(SyncMerge, TheOccurrencesOwnTextsKeepTheFlagThatMakesTheEditorKeepThem) {
    SyncRig rig;
    rig.openSession();
    clsCalEvent program = copyOf({"Yoga", 3, 2});
    SyncRig::makeWeekly(program);
    program.setDescExceptions("\t20260408090000=Yoga outdoors\t");
    program.setHasExceptions(true);
    clsCalEvent device;
    const std::string key = agreedOn(rig, program, device);
    // The device renamed the series; it knows nothing of the occurrences' texts.
    device.setDescExceptions("");
    device.setHasExceptions(false);
    device.setDescription("Yoga class");

    rig.sync.syncImport(device);

    const clsCalEvent stored = rig.local(key);
    EXPECT_EQ(stored.Description(), "Yoga class");
    EXPECT_EQ(stored.DescExceptions(), "\t20260408090000=Yoga outdoors\t");
    EXPECT_TRUE(stored.hasExceptions());
}

// ---- a device event and what the store holds of it --------------------------------------------------------------

struct Fate {
    const char* name;
    // Puts in the store what the case needs; answers the key the device event should end on.
    std::function<std::string(SyncRig&)> arrange;
    std::function<void(clsCalEvent&)> device;  // changes to the device's copy of "Dentist" on 1 April 09:00
    int newEvents;
    std::vector<std::string> queue;  // "{key}" stands for the arranged key
    int liveLinks;                    // to P-9 afterwards
};

TEST(SyncMerge, WhatBecomesOfADeviceEvent) {
    const DateTime start = SyncRig::at(2026, 4, 1, 9);
    const DateTime march2 = SyncRig::at(2026, 3, 2, 8);
    const auto dentist = [&](SyncRig& r) { return r.addLocal("Dentist", start, march2); };
    const auto linkedTo = [&](const char* xid) {  // the dentist, linked to another device event
        return [&, xid](SyncRig& r) { r.link(dentist(r), xid); return std::string(); };
    };
    const auto gone = [&](int request) {
        return [=](SyncRig& r) {
            const std::string key = dentist(r);
            r.link(key, "P-9");
            clsCalEvent ev = r.local(key);
            ev.setUpdateRequest(request);
            EXPECT_TRUE(r.store.DeleteEvent(ev));
            return key;
        };
    };
    const Fate cases[] = {
        {"nothing here: saved as new and linked", [](SyncRig&) { return std::string(); }, {}, 1, {}, 1},
        {"an equal unlinked event: linked, not added", dentist, {}, 0, {}, 1},
        {"an equal event linked to another device event: added", linkedTo("P-8"), {}, 1, {}, 1},
        {"an event linked to p-9 is another device event's: added", linkedTo("p-9"), {}, 1, {}, 1},
        {"a one-off is no copy of a weekly event", [&](SyncRig& r) {
             clsCalEvent ev = SyncRig::event("Dentist", start, march2);
             SyncRig::makeWeekly(ev);
             EXPECT_TRUE(r.store.Save(ev, SaveMode::Always));
             return std::string();
         },
         {}, 1, {}, 1},
        {"a rule that does not repeat is no copy of a repeating one", [&](SyncRig& r) {
             clsCalEvent ev = SyncRig::event("Dentist", start, march2);
             SyncRig::makeWeekly(ev);
             EXPECT_TRUE(r.store.Save(ev, SaveMode::Always));
             return std::string();
         },
         [](clsCalEvent& d) {
             SyncRig::makeWeekly(d);
             d.setIsRecurring(false);
         },
         1, {}, 1},
        {"hidden here: the device deletes it", gone(clsCalEvent::kRequestHideEvent), {}, 0, {"DeleteAll {key} P-9"}, 0},
        {"a live link whose event is gone: the device deletes it", [](SyncRig& r) {
             clsCalEvent ev = SyncRig::event("Lost", SyncRig::at(2026, 5, 1), SyncRig::at(2026, 3, 1));
             ev.setWendraWinId("9999");
             ev.setXID("P-9");
             ev.setXCalendarId(r.calendarId);
             EXPECT_TRUE(r.store.UpdateAddXData(ev, clsDataQVR::kLinkLive));
             return std::string("9999");
         },
         {}, 0, {"DeleteAll 9999 P-9"}, 1},
        // Two live links name no one event to the lookup by foreign id; the newer
        // one's event is merged, and neither side is told to delete anything.
        {"two live links: merged into the newer link's event", [&](SyncRig& r) {
             r.link(r.addLocal("Dentist (old)", start, march2), "P-9");
             const std::string key = r.addLocal("Dentist (new)", start, march2);
             r.link(key, "P-9");
             return key;
         },
         [](clsCalEvent& d) { d.setLastModified(SyncRig::at(2026, 3, 5, 8)); }, 0, {}, 2},
        {"the program's own id sent back: nothing", [](SyncRig&) { return std::string(); },
         [](clsCalEvent& d) { d.setXID("QVRID-1"); }, 0, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyncRig rig;
        rig.openSession();
        const std::string key = c.arrange(rig);
        const std::int64_t before = rig.eventCount();
        // As the program sent it: equal to the local copy, change time included.
        clsCalEvent device = rig.deviceCopy("P-9", "Dentist", start, march2);
        if (c.device) c.device(device);
        const std::string xid = device.XID();

        rig.sync.syncImport(device);

        EXPECT_EQ(rig.eventCount() - before, c.newEvents);
        std::vector<std::string> queue;
        for (std::string q : c.queue) {
            if (const auto at = q.find("{key}"); at != std::string::npos) q.replace(at, 5, key);
            queue.push_back(q);
        }
        EXPECT_EQ(rig.queued(), queue);
        EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XID = 'P-9' COLLATE BINARY AND Status = 0"),
                  c.liveLinks);
        // Linked to an equal event or merged: the device event ends on that one.
        if (!key.empty() && c.liveLinks > 0 && queue.empty()) {
            clsCalEvent linked;
            if (c.liveLinks == 1) {
                ASSERT_TRUE(rig.store.Find(linked, rig.calendarId, xid));
            }
            EXPECT_EQ(device.WendraWinId(), key);
        }
    }
}

// ---- the date lists ---------------------------------------------------------------------------------------------------

TEST(SyncMerge, DateListsFromBothSides) {
    struct Case {
        const char* name;
        const char* programHidden;
        const char* programExcluded;
        const char* deviceExcluded;  // the device sends hidden and excluded dates as one list
        int deleteSetting;
        const char* excluded;
        const char* hidden;
    };
    // Today is 11 March 2026; the event is all day.
    const Case cases[] = {
        {"a future date is excluded", "", "", "20260316", 0, "20260316", ""},
        {"a past date is hidden", "", "", "20260302", 0, "", "20260302"},
        {"a past date is excluded when deleting", "", "", "20260302", 1, "20260302", ""},
        {"today is not yet past", "", "", "20260311", 0, "", "20260311"},
        {"what the program hides stays hidden", "20260316", "", "20260316", 1, "", "20260316"},
        {"the last hidden date too", "20260309,20260316", "", "20260316", 1, "", "20260316,20260309"},
        {"the program keeps its own", "20260223", "20260216", "20260316,20260302", 0, "20260316,20260216",
         "20260302,20260223"},
        {"an item that is no date is dropped", "", "", "tomorrow,20260316", 0, "20260316", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clsCalEvent program = SyncRig::event("Gym", SyncRig::at(2026, 2, 2), SyncRig::at(2026, 3, 1), true);
        program.setHiddenList(c.programHidden);
        program.setExDates(c.programExcluded);
        clsCalEvent device = program;
        device.setHiddenList("");
        device.setExDates(c.deviceExcluded);
        clsCalEvent merged = program;
        mergeDateLists(merged, program, device, c.deleteSetting, SyncRig::fixedNow());
        EXPECT_EQ(merged.ExDates(), c.excluded);
        EXPECT_EQ(merged.HiddenList(), c.hidden);
    }
    // A timed event's date of today is past once its time has gone.
    clsCalEvent program = SyncRig::event("Call", SyncRig::at(2026, 3, 2, 9), SyncRig::at(2026, 3, 1));
    clsCalEvent device = program;
    device.setExDates("20260311T090000,20260311T110000");
    clsCalEvent merged = program;
    mergeDateLists(merged, program, device, 0, SyncRig::fixedNow());
    EXPECT_EQ(merged.ExDates(), "20260311T110000");
    EXPECT_EQ(merged.HiddenList(), "20260311T090000");
}

}  // namespace
