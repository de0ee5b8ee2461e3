// The reconciliation of one event between the store and the Outlook calendar,
// with the real binding over a calendar file and a real store (now is 5 March
// 2024, 10:00): which side is written, what the list is told, and what moves the
// update counter; and the connection's flags.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "exchange/OutlookSync.h"
#include "store/modFuncs.h"
#include "tests/support/OutlookBindingRig.h"

using namespace wendra;
using wendra::test::at;

namespace {

class RecordingHost final : public OutlookSyncHost {
public:
    void showModeFromSettings() override { calls.push_back("mode"); }
    void showOutlookStatus(const std::string& key) override { calls.push_back("picture " + key); }
    void showConnectionFailure(const std::optional<std::string>& reason) override {
        calls.push_back(reason ? "failure: " + *reason : "connected");
    }
    void updateList(const std::string& id) override { calls.push_back("update " + id); }
    void ListShowDeleted(const std::string& id) override { calls.push_back("deleted " + id); }
    void setCheckingForUpdates(bool on) override { checking = on; }
    void setRefreshPending(bool on) override { refreshPending = on; }
    bool outlookFirstPass() const override { return firstPass; }
    void setOutlookFirstPass(bool on) override { firstPass = on; }

    std::vector<std::string> calls;
    bool checking = false;
    bool refreshPending = false;
    bool firstPass = false;
};

// The store's owner once the calendar is connected: it names Outlook's calendar,
// whose events' updates record their creation time.
class ConnectedOwner final : public StoreHost {
public:
    explicit ConnectedOwner(OutlookBinding& outlook) : outlook_(outlook) {}
    SaveResult doSave(clsCalEvent&, SaveMode, bool) override { return SaveResult::StoreFailed; }
    void ListShowDeleted(const std::string&) override {}
    std::optional<int> OutlookCalendarId() override { return outlook_.CalendarId(); }

private:
    OutlookBinding& outlook_;
};

// What one reconciliation is asked with.
struct Call {
    std::string id;
    std::string entryId;
};

struct Reconciliation {
    Reconciliation() {
        rig.data.setHost(&owner);
        EXPECT_TRUE(rig.settings.setModeOutlook(true));
        rig.state.gOutlookConnected = true;
    }
    int calendar() { return rig.binding.CalendarId(); }
    // Saved as the window saves in Outlook mode: the store, then its appointment.
    Call linked(clsCalEvent& ev) {
        EXPECT_TRUE(rig.save(ev));
        return Call{ev.WendraWinId(), rig.entryIdOf(ev)};
    }
    Call dentist(clsCalEvent& ev) {
        ev = rig.event("Dentist", at(2024, 3, 12, 9, 0));
        return linked(ev);
    }
    Call dentist() {
        clsCalEvent ev;
        return dentist(ev);
    }
    // Saved in the store alone, never linked.
    Call unlinked(const std::string& description, DateTime start) {
        clsCalEvent ev = rig.event(description, start);
        EXPECT_TRUE(rig.data.Save(ev, SaveMode::Always));
        return Call{ev.WendraWinId(), ""};
    }
    // The dentist, changed in the store alone a minute after it was linked.
    Call dentistChangedHere(const std::function<void(clsCalEvent&)>& change) {
        clsCalEvent ev;
        const Call c = dentist(ev);
        later();
        change(ev);
        ev.setLastModified(rig.clock().now());
        EXPECT_TRUE(rig.data.Save(ev, SaveMode::Always));
        return c;
    }
    std::optional<clsCalEvent> stored(const std::string& id) {
        clsCalEvent ev;
        if (!rig.data.Find(ev, clsDataQVR::kLocalCalendarId, id)) return std::nullopt;
        return ev;
    }
    int status(std::string id) { return rig.data.getXDataStatus(id, calendar(), ""); }
    // Another change, a minute on: never taken for the program's own write.
    void later() { rig.clock().advanceSeconds(60); }
    int counter() const { return rig.settings.getUpdateVersion(); }

    test::OutlookBindingRig rig;
    RecordingHost host;
    ConnectedOwner owner{rig.binding};
    OutlookSync sync{rig.data, rig.settings, rig.binding, rig.state, host};
};

std::vector<std::string> named(std::vector<std::string> calls, const std::string& id, std::string_view mark = "{id}") {
    for (std::string& c : calls)
        if (const auto at = c.find(mark); at != std::string::npos) c.replace(at, mark.size(), id);
    return calls;
}

TEST(OutlookSync, EachCaseWritesTheSideItShould) {
    using Setup = std::function<Call(Reconciliation&)>;
    using Check = std::function<void(Reconciliation&, const Call&)>;
    struct Row {
        const char* what;
        Setup setup;
        std::vector<std::string> calls;  // the host's, "{id}" the event's store key
        int counted;                     // moves of the update counter
        Check check;
    };
    const std::vector<Row> rows{
        {"the same values with different stamps: only the appointment's marks",
         [](Reconciliation& r) { return r.dentistChangedHere([](clsCalEvent&) {}); }, {}, 0,
         [](Reconciliation& r, const Call& c) {
             clsCalEvent back;
             ASSERT_EQ(r.rig.binding.findItem(back, r.calendar(), "", c.entryId), FindResult::found);
             EXPECT_EQ(back.LastModified(), r.stored(c.id)->LastModified());
             EXPECT_EQ(back.Description(), "Dentist");
         }},
        {"the store's copy later: written to Outlook",
         [](Reconciliation& r) {
             return r.dentistChangedHere([](clsCalEvent& ev) { ev.setDescription("Dentist, moved"); });
         },
         {}, 0,
         [](Reconciliation& r, const Call& c) {
             EXPECT_EQ(r.rig.appointment(c.entryId)->Subject(), "Dentist, moved");
         }},
        {"Outlook's copy later with another rule: stored and shown, its auto-delete kept",
         [](Reconciliation& r) {
             clsCalEvent ev = r.rig.event("Choir", at(2024, 3, 6, 19, 0), false, "<#=R><F=2><C=8>");
             ev.setAutoDelete("3");
             const Call c = r.linked(ev);
             r.later();
             auto item = r.rig.appointment(c.entryId);
             item->GetRecurrencePattern()->setInterval(2);
             item->Save();
             return c;
         },
         {"update {id}"}, 1,
         [](Reconciliation& r, const Call& c) {
             const clsCalEvent ev = *r.stored(c.id);
             ASSERT_EQ(ev.RRulesCount(), 1);
             EXPECT_EQ(ev.RRule(1)->Interval(), 2);
             EXPECT_EQ(ev.AutoDelete(), "3");
             // An update of an Outlook event records the appointment's creation time.
             EXPECT_EQ(ev.MSOCreated(), r.rig.appointment(c.entryId)->CreationTime());
         }},
        {"Outlook's copy later with the same rules: stored, the rows left",
         [](Reconciliation& r) {
             clsCalEvent ev = r.rig.event("Trip", at(2024, 3, 6), true, "<#=R><F=2><U=20240424>");
             ev.setPriorWarning(4);
             ev.setPriorWarningIsDefault(false);
             const Call c = r.linked(ev);
             r.later();
             // One trip lasts two days: an exception of the series, nothing the list shows.
             auto one = r.rig.appointment(c.entryId)->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 13, 0, 0));
             one->setDuration(2 * 1440);
             one->Save();
             return c;
         },
         {}, 1,
         [](Reconciliation& r, const Call& c) { EXPECT_TRUE(r.stored(c.id)->hasExceptions()); }},
        {"Outlook's copy later with a rule no pattern holds: the store keeps its rule, the file its own, told once",
         [](Reconciliation& r) {
             clsCalEvent ev = r.rig.event("Choir", at(2024, 3, 6, 19, 0), false, "<#=R><F=2><C=8>");
             const Call c = r.linked(ev);
             // Another program changes the rule and the subject, ten minutes later.
             std::string text = r.rig.calendar.text();
             for (const std::string line :
                  {"RRULE:FREQ=MONTHLY;BYDAY=1MO,3MO", "LAST-MODIFIED:20240305T091000Z", "SUMMARY:Choir, new term"}) {
                 const auto from = text.find("\n" + line.substr(0, line.find(':') + 1)) + 1;
                 text.replace(from, text.find('\r', from) - from, line);
             }
             r.rig.calendar.write(text);
             r.rig.clock().advanceSeconds(900);
             return c;
         },
         {"update {id}"}, 1,
         [](Reconciliation& r, const Call& c) {
             clsCalEvent ev = *r.stored(c.id);
             EXPECT_EQ(ev.Description(), "Choir, new term");
             EXPECT_EQ(test::OutlookBindingRig::column(ev), "<#=R><F=2><C=8><U=20240424T190000>");
             EXPECT_EQ(r.rig.messages.calls().size(), 1u);
             // A save from WendraWin (its Visibility) leaves the file's rule as it was.
             ev.setPriorWarning(9);
             ev.setPriorWarningIsDefault(false);
             ev.setLastModified(r.rig.clock().now());
             EXPECT_TRUE(r.rig.save(ev));
             // So does a save of the appointment's own reading, whose rule has no frequency.
             clsCalEvent read;
             ASSERT_EQ(r.rig.readBack(ev, read), FindResult::found);
             EXPECT_TRUE(r.rig.binding.Save(read, read.XID()));
             EXPECT_NE(r.rig.calendar.text().find("RRULE:FREQ=MONTHLY;BYDAY=1MO,3MO\r\n"), std::string::npos);
             EXPECT_EQ(r.rig.messages.calls().size(), 1u);
             r.rig.messages.reset();
             // A start moved here, or a repeat ended here, cannot go into that series: the save says so.
             const std::string text = r.rig.calendar.text();
             for (const auto& change : std::vector<std::function<void(clsCalEvent&)>>{
                      [](clsCalEvent& e) { e.setEventStart(e.EventStart().addHours(1)); },
                      [](clsCalEvent& e) { e.setIsRecurring(false); }}) {
                 clsCalEvent changed = *r.stored(c.id);
                 change(changed);
                 EXPECT_FALSE(r.rig.save(changed));
             }
             EXPECT_EQ(r.rig.calendar.text(), text);
             EXPECT_EQ(r.rig.messages.calls().size(), 2u);
             r.rig.messages.reset();
         }},
        {"new in Outlook on the first pass, its view date past: stored, then hidden and marked",
         [](Reconciliation& r) {
             r.host.firstPass = true;
             return Call{"", r.rig.calendar.add("Last week's", at(2024, 2, 27, 9, 0))->EntryID()};
         },
         {"update {id}", "deleted {id}"}, 2,
         [](Reconciliation& r, const Call& c) {
             EXPECT_FALSE(r.stored(c.id));
             EXPECT_EQ(r.status(c.id), clsDataQVR::kLinkHidden);
             EXPECT_NE(r.rig.appointment(c.entryId), nullptr);  // Outlook keeps it
         }},
        {"new in Outlook after the first pass, its view date past: stored",
         [](Reconciliation& r) { return Call{"", r.rig.calendar.add("Last week's", at(2024, 2, 27, 9, 0))->EntryID()}; },
         {"update {id}"}, 1,
         [](Reconciliation& r, const Call& c) { EXPECT_EQ(r.status(c.id), clsDataQVR::kLinkLive); }},
        {"equal to an unlinked stored event: that event is linked, no second one",
         [](Reconciliation& r) {
             r.unlinked("Swim", at(2024, 3, 10, 8, 30));
             return Call{"", r.rig.calendar.add("Swim", at(2024, 3, 10, 8, 30))->EntryID()};
         },
         {}, 0,
         [](Reconciliation& r, const Call& c) {
             std::string key;
             EXPECT_EQ(r.rig.data.getXDataStatus(key, r.calendar(), c.entryId), clsDataQVR::kLinkLive);
             ASSERT_TRUE(r.stored(key));
             EXPECT_EQ(r.stored(key)->Description(), "Swim");
             auto all = r.rig.data.syncEvents();
             EXPECT_EQ(all ? all->count() : 0u, 1u);
         }},
        {"equal to a linked stored event, never linked itself: it takes that link and goes, no second appointment",
         [](Reconciliation& r) { r.dentist(); return r.unlinked("Dentist", at(2024, 3, 12, 9, 0)); },
         {"deleted {id}"}, 1,
         [](Reconciliation& r, const Call& c) {
             ASSERT_EQ(r.rig.appointmentCount(), 1);
             EXPECT_FALSE(r.stored(c.id));
             std::string key;
             const std::string entryId = r.rig.calendar.items()->Item(1)->EntryID();
             EXPECT_EQ(r.rig.data.getXDataStatus(key, r.calendar(), entryId), clsDataQVR::kLinkLive);
             EXPECT_NE(key, c.id);
             EXPECT_TRUE(r.stored(key));
         }},
        {"gone in Outlook: deleted here, its rows marked",
         [](Reconciliation& r) {
             const Call c = r.dentist();
             r.rig.appointment(c.entryId)->Delete();
             return c;
         },
         {"deleted {id}"}, 1,
         [](Reconciliation& r, const Call& c) {
             EXPECT_FALSE(r.stored(c.id));
             EXPECT_EQ(r.status(c.id), clsDataQVR::kLinkHidden);
         }},
        {"a calendar that fails in place of \"gone\": nothing changes",
         [](Reconciliation& r) {
             const Call c = r.dentist();
             r.rig.faults->failOn("Items.GetFirst", 0);
             return c;
         },
         {}, 0,
         [](Reconciliation& r, const Call& c) {
             r.rig.faults->clear("Items.GetFirst");
             EXPECT_TRUE(r.stored(c.id));
             EXPECT_EQ(r.status(c.id), clsDataQVR::kLinkLive);
             EXPECT_NE(r.rig.appointment(c.entryId), nullptr);
         }},
        {"never linked: added to Outlook and linked there only",
         [](Reconciliation& r) { return r.unlinked("Car service", at(2024, 3, 8, 8, 30)); },
         {"update {id}"}, 0,
         [](Reconciliation& r, const Call& c) {
             const auto key = clsDataQVR::toEventKey(c.id);
             const std::string entryId = r.rig.data.getXID(r.calendar(), *key);
             ASSERT_NE(r.rig.appointment(entryId), nullptr);
             EXPECT_EQ(r.rig.appointment(entryId)->Subject(), "Car service");
             // The event is no duplicate of itself: no link to any other calendar.
             EXPECT_FALSE(r.rig.data.hasXData(clsDataQVR::kLocalCalendarId));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Reconciliation r;
        Call call = row.setup(r);
        const int before = r.counter();
        r.sync.syncOutlook(call.id, r.calendar(), call.entryId, OutlookSync::kNoSyncCalendar);
        // An event new to the store is known by its link afterwards.
        if (call.id.empty()) r.rig.data.getXDataStatus(call.id, r.calendar(), call.entryId);
        EXPECT_EQ(r.host.calls, named(row.calls, call.id));
        EXPECT_EQ(r.counter() - before, row.counted);
        row.check(r, call);
        EXPECT_TRUE(r.rig.messages.calls().empty());
        // In step afterwards: a second reconciliation changes nothing.
        r.host.calls.clear();
        const std::string file = r.rig.calendar.text();
        r.sync.syncOutlook(call.id, r.calendar(), call.entryId, OutlookSync::kNoSyncCalendar);
        EXPECT_TRUE(r.host.calls.empty());
        EXPECT_EQ(r.rig.calendar.text(), file);
    }
}

TEST(OutlookSync, AnEventDeletedHereQueuesItsHideOncePerAppointmentAndAppliesNothing) {
    Reconciliation r;
    clsCalEvent ev;
    const Call c = r.dentist(ev);
    const std::string& id = c.id;
    const std::string& entryId = c.entryId;
    ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    ASSERT_TRUE(r.rig.data.DeleteEvent(ev));
    const std::string file = r.rig.calendar.text();

    // Only a caller that found it in the program's own calendar queues it.
    r.sync.syncOutlook(id, r.calendar(), entryId, OutlookSync::kNoSyncCalendar);
    EXPECT_TRUE(r.rig.state.gPendingOutlookItems.empty());
    for (int i = 0; i < 2; ++i) r.sync.syncOutlook(id, r.calendar(), entryId, clsDataQVR::kLocalCalendarId);
    ASSERT_EQ(r.rig.state.gPendingOutlookItems.size(), 1u);
    const auto& [key, item] = r.rig.state.gPendingOutlookItems.front();
    EXPECT_EQ(key, entryId);
    const std::string head = "</Req>HideAll</><Id>" + id + "</>";
    ASSERT_EQ(item.rfind(head, 0), 0u) << item;
    EXPECT_EQ(gridKeyValue(item.substr(head.size()), Tag::XId), entryId);
    EXPECT_EQ(gridKeyValue(item.substr(head.size()), Tag::Desc), "Dentist");
    // Collected, never applied: the appointment stays as it was.
    EXPECT_EQ(r.rig.calendar.text(), file);
    EXPECT_TRUE(r.host.calls.empty());
}

TEST(OutlookSync, AConnectionSetsTheFlagsFromTheLinksItFinds) {
    Reconciliation r;
    r.rig.state.gOutlookConnected = false;
    r.rig.state.gPendingOutlookItems.emplace_back("old", "item");
    ASSERT_TRUE(r.sync.connectOutlook());
    EXPECT_TRUE(r.rig.state.gOutlookConnected);
    EXPECT_EQ(r.host.calls, (std::vector<std::string>{"connected", "picture imgOutlook", "mode"}));
    // No link yet: the first pass, with the list's updates held back.
    EXPECT_EQ(std::tuple(r.host.refreshPending, r.host.firstPass, r.host.checking), std::tuple(true, true, true));
    EXPECT_TRUE(r.rig.state.gPendingOutlookItems.empty());

    r.dentist();
    r.host = RecordingHost{};
    ASSERT_TRUE(r.sync.connectOutlook());
    EXPECT_EQ(std::tuple(r.host.refreshPending, r.host.firstPass, r.host.checking), std::tuple(false, false, true));
}

TEST(OutlookSync, WithoutAConnectionNothingIsReconciled) {
    // Each with the reason shown, in the calendar's words.
    const std::vector<std::tuple<const char*, std::function<void(test::OutlookBindingRig&)>, const char*>> rows{
        {"the calendar cannot be started", [](auto& rig) { rig.faults->failOn("Automation.CreateObject", 0); },
         "Injected failure of Automation.CreateObject."},
        {"the calendar file is a folder", [](auto& rig) { std::filesystem::create_directories(rig.calendar.file()); },
         "The calendar is not a plain file: {file}"},
        {"the calendar file is no calendar", [](auto& rig) { rig.calendar.write("garbage\n"); },
         "The calendar file is damaged (text before the calendar): {file}"},
    };
    for (const auto& [what, breakIt, reason] : rows) {
        SCOPED_TRACE(what);
        Reconciliation r;
        r.rig.state.gOutlookConnected = false;
        breakIt(r.rig);
        EXPECT_FALSE(r.sync.connectOutlook());
        EXPECT_EQ(std::tuple(r.rig.state.gOutlookConnected, r.host.checking), std::tuple(false, false));
        EXPECT_EQ(r.host.calls, named({std::string("failure: ") + reason, "mode"}, r.rig.calendar.file().string(), "{file}"));
        // The calendar mended, a never linked event would be added to it if anything ran.
        r.rig.faults->clear("Automation.CreateObject");
        std::filesystem::remove_all(r.rig.calendar.file());
        clsCalEvent ev = r.rig.event("Car service", at(2024, 3, 8, 8, 30));
        ASSERT_TRUE(r.rig.data.Save(ev, SaveMode::Always));
        r.sync.syncOutlook(ev.WendraWinId(), r.calendar(), "", clsDataQVR::kLocalCalendarId);
        EXPECT_GT(r.calendar(), 0);
        EXPECT_FALSE(r.rig.data.hasXData(r.calendar()));
    }
}

}  // namespace
