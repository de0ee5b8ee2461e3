// One exchange with the device, message by message, over a real store: the
// answer to its clock, the requests its list calls for, what goes out after each
// event and confirmation, the end of the export, and how a session ends: by a
// cancel, by a device that cannot be registered, and what of it is left alone
// afterwards.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "tests/support/SyncRig.h"

using namespace wendra;
using test::SyncRig;
using Blocks = std::vector<std::string>;

namespace {

std::string lines(std::initializer_list<std::string> ls) {
    std::string out;
    for (const auto& l : ls) (out += l) += "\r\n";
    return out;
}

// uid empty: the message names no companion.
std::string confirm(const std::string& qvrId, const std::string& deviceId, const std::string& uid = "dev-1") {
    return lines({"X-KSP-BEGIN:CONFIRM", uid.empty() ? "" : "X-KSP-PROGRAM-UID:" + uid,
                  qvrId.empty() ? "" : "X-KSP-EVENT-QVRID:" + qvrId, "X-KSP-EVENT-UID:" + deviceId,
                  "X-KSP-LAST-MODIFIED:20260301T080000", "X-KSP-END:CONFIRM"});
}

std::string vevent(const std::string& deviceId, const std::string& summary, const std::string& changed,
                   const std::string& uid = "", const std::string& start = "20260401T090000") {
    return lines({"BEGIN:VCALENDAR", "VERSION:1.0", uid.empty() ? "" : "X-KSP-PROGRAM-UID:" + uid, "BEGIN:VEVENT",
                  "UID:" + deviceId, "DTSTART:" + start, "SUMMARY:" + summary, "LAST-MODIFIED:" + changed,
                  "END:VEVENT", "END:VCALENDAR"});
}

std::string syncTime(const std::string& clock, const std::string& version) {
    return lines({"X-KSP-BEGIN:SYNC-TIME", version.empty() ? "" : "X-KSP-VERSION:" + version, "X-KSP-TIME:" + clock,
                  "X-KSP-END:SYNC-TIME"});
}

const DateTime kApril1 = SyncRig::at(2026, 4, 1, 9);
const DateTime kMarch1 = SyncRig::at(2026, 3, 1, 8);
const DateTime kMarch2 = SyncRig::at(2026, 3, 2, 8);
const std::string kListed = "20260301T080000";

TEST(SyncSession, TheDevicesClockAndVersionAreAnsweredAndARefusalBeepsAndIsShown) {
    struct Case {
        const char* clock;
        const char* version;
        const char* status;
        bool refused;
    };
    const Case cases[] = {
        {"20260311T101500", "1.0", "OK", false},  // 900 seconds ahead
        {"20260311T094500", "1", "OK", false},    // 900 behind
        {"20260311T101501", "1.0", "INCOMPATIBLE-TIME", true},
        {"20260311T100000", "2", "INCOMPATIBLE-VERSION", true},
        {"20260311T100000", "", "OK", false},  // no version: version 0
        // Clocks so far off that their difference needs more than 32 bits.
        {"99991231T235959", "1.0", "INCOMPATIBLE-TIME", true},
        {"16010101T000000", "1.0", "INCOMPATIBLE-TIME", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clock);
        SyncRig rig;
        rig.import.importSyncTime(syncTime(c.clock, c.version));
        EXPECT_EQ(rig.sentBlocks(), Blocks{std::string("SYNC-TIME ") + c.status});
        EXPECT_EQ(rig.host.beeps, c.refused ? 1 : 0);
        EXPECT_EQ(rig.host.banners.size(), c.refused ? 1u : 0u);
        EXPECT_EQ(rig.host.panel, c.refused ? "port" : "");
    }
}

TEST(SyncSession, EachListedEventIsJudgedAgainstTheStore) {
    struct Case {
        const char* name;
        std::function<void(SyncRig&)> arrange;  // after the device's calendar is registered
        const char* listed;                     // the list's entry for P-9 ("" none)
        Blocks sent;                            // the first block of the exchange
        int eventsLost;
        const char* stamp = kListed.c_str();    // the entry's change time
    };
    const auto linked = [](DateTime changed) {
        return [=](SyncRig& r) { r.link(r.addLocal("Dentist", kApril1, changed), "P-9"); };
    };
    const Case cases[] = {
        {"unknown here: requested", [](SyncRig&) {}, "9", {"REQUEST> P-9"}, 0},
        {"the same on both sides: nothing", linked(kMarch1), "9", {"EXPORT-END"}, 0},
        {"newer here: the device is asked for its copy", linked(kMarch2), "9", {"REQUEST< P-9"}, 0},
        {"newer there: requested", linked(SyncRig::at(2026, 2, 1)), "9", {"REQUEST> P-9"}, 0},
        {"deleted here: the device deletes it", [&](SyncRig& r) {
             linked(kMarch1)(r);
             clsCalEvent ev;
             ASSERT_TRUE(r.store.Find(ev, r.calendarId, "P-9"));
             ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
             ASSERT_TRUE(r.store.DeleteEvent(ev));
         },
         "9", {"CANCEL P-9"}, 0},
        // A second live link to the same id: both events are still held on both
        // sides, so nothing is deleted anywhere.
        {"two live links: no deletion on either side", [&](SyncRig& r) {
             linked(kMarch1)(r);
             linked(kMarch2)(r);
         },
         "9", {"REQUEST< P-9"}, 0},
        {"no longer listed: deleted here", linked(kMarch1), "", {"EXPORT-END"}, 1},
        // An entry that cannot be read is neither found nor gone.
        {"a time that cannot be read: kept, nothing asked", linked(kMarch1), "9", {"EXPORT-END"}, 0, "2026030XT080000"},
        {"a year before 1601: the same", linked(kMarch1), "9", {"EXPORT-END"}, 0, "16001231T235959"},
        {"an entry whose id cannot be told: nothing deleted", linked(kMarch1), "", {"EXPORT-END"}, 0, "2026030"},
        {"two entries run into one line: nothing deleted, nothing asked", linked(kMarch1),
         "8X-KSP-SYNC:20260301T080000 9", {"EXPORT-END"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyncRig rig;
        std::string uid = "dev-1";
        rig.calendarId = rig.store.RegisterXCalendar(uid);
        c.arrange(rig);
        const std::int64_t before = rig.eventCount();
        const bool listed = *c.listed || c.stamp != kListed;
        rig.readList(listed ? SyncRig::Entries{{c.stamp, c.listed}} : SyncRig::Entries{});
        EXPECT_EQ(rig.sentBlocks(), c.sent);
        EXPECT_EQ(before - rig.eventCount(), c.eventsLost);
        EXPECT_EQ(rig.host.shownDeleted.size(), static_cast<std::size_t>(c.eventsLost));
    }
}

TEST(SyncSession, AListThatDoesNotNameTheCompanionDeletesAndSendsNothing) {
    SyncRig rig;
    std::string uid = "dev-1";
    rig.calendarId = rig.store.RegisterXCalendar(uid);
    rig.link(rig.addLocal("Dentist", kApril1, kMarch1), "P-9");
    rig.addLocal("Tax return", kApril1, kMarch1, true);
    rig.import.importSyncData(lines({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-UID-PREFIX:P-", "X-KSP-SYNC:" + kListed + " 5",
                                     "X-KSP-END:SYNC-DATA"}));
    EXPECT_TRUE(rig.host.sent.empty());
    EXPECT_EQ(rig.eventCount(), 2);
    EXPECT_FALSE(rig.sync.sessionOpen());
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE SyncFound = 0"), 0) << "no link marked as not found";
}

TEST(SyncSession, LocalEventsAreAddedOnceASessionWhateverTheDeviceAnswers) {
    struct Case {
        const char* name;
        std::string answer;
        bool links;
    };
    const Case cases[] = {
        {"a confirmation", confirm("1", "P-77"), true},
        {"a confirmation naming no whole-number id", confirm("abc", "P-77"), false},
        {"a confirmation of an event not sent", confirm("999", "P-77"), false},
        {"a confirmation without the device's id", confirm("1", ""), false},
        {"the event sent back under the program's id", vevent("QVRID-1", "Tax return", "20260301T080000"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyncRig rig;
        ASSERT_EQ(rig.addLocal("Tax return", kApril1, kMarch1), "1");
        rig.readList({});
        EXPECT_EQ(rig.sentBlocks(), Blocks{"PUBLISH QVRID-1"});
        EXPECT_EQ(rig.host.panel, ">Tax return...     ");
        rig.import.import(FramedMessage{c.answer.starts_with("BEGIN:VCALENDAR") ? MessageKind::VCalendar
                                                                                  : MessageKind::Confirm,
                                        c.answer});
        EXPECT_EQ(rig.sentBlocks(), (Blocks{"PUBLISH QVRID-1", "EXPORT-END"}));
        EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData"), c.links ? 1 : 0);
        EXPECT_EQ(rig.count("SELECT count(*) AS n FROM SyncRecord WHERE SyncConfirmed = 1"), c.links ? 1 : 0);
        EXPECT_EQ(rig.eventCount(), 1);
        EXPECT_EQ(rig.host.panel, "port");
        EXPECT_EQ(rig.host.exportEnds, 1);
        EXPECT_FALSE(rig.sync.sessionOpen());
    }
}

TEST(SyncSession, NothingIsAddedWhileARequestedDeviceEventHasNotCome) {
    SyncRig rig;
    rig.addLocal("Team lunch", SyncRig::at(2026, 3, 18, 12), kMarch1);
    rig.readList({{kListed, "3"}});
    ASSERT_EQ(rig.sentBlocks(), Blocks{"REQUEST> P-3"});
    // Its answer is no event: P-3 may be this very lunch, so the lunch waits.
    rig.import.importConfirmation(confirm("987654", "P-3"));
    EXPECT_EQ(rig.sentBlocks(), (Blocks{"REQUEST> P-3", "EXPORT-END"}));
    // Next time the event comes, is found to be the lunch, and nothing is added.
    rig.readList({{kListed, "3"}});
    rig.import.importVCal(vevent("P-3", "Team lunch", kListed, "", "20260318T120000"));
    EXPECT_EQ(rig.sentBlocks(), (Blocks{"REQUEST> P-3", "EXPORT-END", "REQUEST> P-3", "EXPORT-END"}));
    EXPECT_EQ(rig.eventCount(), 1);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XID = 'P-3' AND WendraWinID = 1"), 1);

    // An event sent under another UID than the one asked for answers the request all the same.
    SyncRig other;
    other.addLocal("Team lunch", SyncRig::at(2026, 3, 18, 12), kMarch1);
    other.readList({{kListed, "3"}});
    other.import.importVCal(vevent("3", "Dentist", kListed));
    EXPECT_EQ(other.sentBlocks(), (Blocks{"REQUEST> P-3", "PUBLISH QVRID-1"}));

    // One that never comes keeps the local events waiting one exchange, not for ever.
    SyncRig third;
    third.addLocal("Team lunch", SyncRig::at(2026, 3, 18, 12), kMarch1);
    for (int exchange = 0; exchange < 2; ++exchange) {
        third.readList({{kListed, "3"}});
        third.import.importConfirmation(confirm("987654", "P-3"));
    }
    EXPECT_EQ(third.sentBlocks(), (Blocks{"REQUEST> P-3", "EXPORT-END", "REQUEST> P-3", "PUBLISH QVRID-1"}));
}

TEST(SyncSession, AnEventThatComesBackUnusableIsLoggedOnceAndAskedForAgainOnlyOnceChanged) {
    SyncRig rig;
    for (int exchange = 0; exchange < 2; ++exchange) {
        rig.readList({{kListed, "5"}});
        if (exchange == 0) rig.import.importVCal(vevent("P-5", "Dentist", kListed, "", ""));  // no start
    }
    EXPECT_EQ(rig.sentBlocks(), (Blocks{"REQUEST> P-5", "EXPORT-END", "EXPORT-END"}));
    EXPECT_EQ(rig.notesWith(texts::kEventNotUsable), 1u);
    EXPECT_EQ(rig.eventCount(), 0);
    rig.readList({{"20260305T080000", "5"}});
    EXPECT_EQ(rig.sentBlocks().back(), "REQUEST> P-5");
}

TEST(SyncSession, AnEventLinkedWhileItIsBeingAddedIsNotAddedTwice) {
    SyncRig rig;
    const std::string dentist = rig.addLocal("Dentist", kApril1, kMarch1);
    const std::string tax = rig.addLocal("Tax return", SyncRig::at(2026, 4, 2), kMarch1, true);
    const std::string gym = rig.addLocal("Gym", SyncRig::at(2026, 4, 3), kMarch1, true);
    rig.readList({});
    ASSERT_EQ(rig.sentBlocks(), Blocks{"PUBLISH QVRID-" + dentist});
    // The device sends an event of its own that is the one being added, then the
    // confirmation of the copy it made of it: that copy goes again.
    rig.import.importVCal(vevent("P-3", "Dentist", "20260301T080000"));
    EXPECT_EQ(rig.sentBlocks().back(), "PUBLISH QVRID-" + tax);
    rig.import.importConfirmation(confirm(dentist, "P-1002"));
    EXPECT_EQ(rig.sentBlocks().back(), "PUBLISH QVRID-" + gym);
    rig.import.importConfirmation(confirm(tax, "P-1003"));
    EXPECT_EQ(rig.sentBlocks().back(), "CANCEL P-1002");
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XID = 'P-3' AND WendraWinID = " + dentist), 1);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XID = 'P-1002'"), 0);

    // An Add still waiting when its event is linked does not go at all.
    SyncRig other;
    other.addLocal("Tax return", SyncRig::at(2026, 3, 15), kMarch1, true);
    other.addLocal("Dentist", kApril1, kMarch1);
    other.readList({});
    ASSERT_EQ(other.sentBlocks(), Blocks{"PUBLISH QVRID-1"});
    other.import.importVCal(vevent("P-3", "Dentist", "20260301T080000"));
    EXPECT_EQ(other.sentBlocks(), (Blocks{"PUBLISH QVRID-1", "EXPORT-END"}));
}

TEST(SyncSession, ATextThatLooksLikeRequestTagsIsSentAsTheTextItIs) {
    SyncRig rig;
    const std::string text = "</Req>DeleteAll</><Id>1</><XId>P-9</>";
    ASSERT_EQ(rig.addLocal(text, kApril1, kMarch1), "1");
    rig.readList({});
    ASSERT_EQ(rig.sentBlocks(), Blocks{"PUBLISH QVRID-1"});
    EXPECT_NE(rig.host.sent[0].find("\r\nSUMMARY:" + text + "\r\n"), std::string::npos);
    ASSERT_EQ(rig.sync.session()->sentEvents.count("1"), 1u);
}

TEST(SyncSession, AMessageWithoutTheCompanionsIdIsTheOpenSessions) {
    SyncRig rig;
    ASSERT_EQ(rig.addLocal("Tax return", kApril1, kMarch1), "1");
    rig.readList({{kListed, "9"}});
    ASSERT_EQ(rig.sentBlocks(), Blocks{"REQUEST> P-9"});
    rig.import.importVCal(vevent("P-9", "Dentist", kListed));
    ASSERT_EQ(rig.sentBlocks(), (Blocks{"REQUEST> P-9", "PUBLISH QVRID-1"}));
    rig.import.importConfirmation(confirm("1", "P-77", ""));
    EXPECT_EQ(rig.sentBlocks().back(), "EXPORT-END");
    // Both links are the device's: none under the local calendar or under none.
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XCalendarID = " + std::to_string(rig.calendarId)), 2);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData"), 2);
    EXPECT_EQ(rig.eventCount(), 2);

    // After the export's end an event is still merged into the device's calendar,
    // and a confirmation of nothing sent is not; nothing more goes out.
    rig.import.importVCal(vevent("P-10", "Haircut", kListed));
    rig.import.importConfirmation(confirm("1", "P-78", ""));
    EXPECT_EQ(rig.eventCount(), 3);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XCalendarID = " + std::to_string(rig.calendarId)), 3);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData WHERE XID = 'P-78'"), 0);
    EXPECT_EQ(rig.sentBlocks().size(), 3u);
    EXPECT_FALSE(rig.host.notes.empty());
}

TEST(SyncSession, ADeviceThatCannotBeRegisteredEndsTheExchangeWithTheBanner) {
    SyncRig rig;
    rig.addLocal("Tax return", kApril1, kMarch1);
    {  // the file refuses every new device
        db::Connection raw;
        ASSERT_TRUE(raw.openFile(rig.dir / db::kDatabaseFileName));
        ASSERT_TRUE(raw.execute("DROP TABLE XCalendar").has_value()) << raw.lastError();
    }
    rig.readList({{kListed, "9"}});
    EXPECT_EQ(rig.host.banners, std::vector<std::string>{texts::kDeviceNotRegistered});
    EXPECT_EQ(rig.host.panel, "port");
    EXPECT_TRUE(rig.host.sent.empty());
    EXPECT_FALSE(rig.sync.sessionOpen());
    rig.import.importVCal(vevent("P-9", "Dentist", kListed));
    EXPECT_TRUE(rig.host.sent.empty());
    EXPECT_EQ(rig.eventCount(), 1);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData"), 0);
}

TEST(SyncSession, AnUnfinishedExchangeSendsNothingOfItsOwnToAnotherDevice) {
    SyncRig rig;
    rig.readList({{kListed, "1"}, {kListed, "2"}});
    ASSERT_EQ(rig.sentBlocks(), Blocks{"REQUEST> P-1"});
    const int first = rig.calendarId;
    // Another device sends an event of its own: it is no answer to this exchange.
    rig.import.importVCal(vevent("Q-5", "Party", kListed, "dev-2"));
    EXPECT_EQ(rig.sentBlocks().size(), 1u);
    EXPECT_EQ(rig.eventCount(), 0);
    // Its own exchange starts afresh: nothing of the first one's requests goes to it.
    rig.readList({{kListed, "7"}}, "dev-2");
    EXPECT_NE(rig.calendarId, first);
    EXPECT_EQ(rig.sentBlocks(), (Blocks{"REQUEST> P-1", "REQUEST> P-7"}));
    for (const auto& item : rig.sync.session()->queue) EXPECT_EQ(item.calendarId, rig.calendarId);
}

TEST(SyncSession, ACancelInTheMiddleOfAMergeLeavesNothingOfItToSend) {
    for (const bool newList : {false, true}) {
        SCOPED_TRACE(newList ? "cancelled and started again" : "cancelled");
        SyncRig rig;
        std::string uid = "dev-1";
        rig.calendarId = rig.store.RegisterXCalendar(uid);
        // Each side changed its own, the program later: the merge saves, and would send an Update.
        clsCalEvent program = SyncRig::event("Dentist", kApril1, SyncRig::at(2026, 3, 5));
        program.setPriorWarningIsDefault(false);
        program.setPriorWarning(7);
        ASSERT_TRUE(rig.store.Save(program, SaveMode::Always));
        rig.link(program.WendraWinId(), "P-1");
        clsCalEvent base = program;
        base.setPriorWarning(3);
        ASSERT_TRUE(rig.store.addSyncRecord(rig.calendarId, base, true));
        rig.readList({{kListed, "1"}});
        ASSERT_EQ(rig.sentBlocks(), Blocks{"REQUEST< P-1"});

        rig.host.duringSave = [&] {
            rig.sync.cancel();
            // A reader of its own: the one reading the event is still at work.
            MessageImport other(rig.sync, rig.sync);
            if (newList) other.importSyncData(SyncRig::listText({{kListed, "1"}}));
        };
        rig.import.importVCal(vevent("P-1", "Dentist at ten", kListed));
        EXPECT_EQ(rig.local(program.WendraWinId()).Description(), "Dentist at ten") << "the merge itself stands";
        EXPECT_EQ(rig.sentBlocks(), (newList ? Blocks{"REQUEST< P-1", "REQUEST< P-1"} : Blocks{"REQUEST< P-1"}));
        EXPECT_EQ(rig.sync.sessionOpen(), newList);
        EXPECT_TRUE(rig.queued().empty());
    }
}

TEST(SyncSession, AQueuedEventNoLongerStoredGoesOutAsADeletion) {
    SyncRig rig;
    rig.addLocal("Tax return", kApril1, kMarch1);
    const std::string gym = rig.addLocal("Gym", SyncRig::at(2026, 4, 2, 9), kMarch1);
    rig.readList({});
    ASSERT_EQ(rig.sentBlocks(), Blocks{"PUBLISH QVRID-1"});
    clsCalEvent ev = rig.local(gym);
    ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    ASSERT_TRUE(rig.store.DeleteEvent(ev));
    rig.host.panel = "before";
    rig.import.importConfirmation(confirm("1", "P-77"));
    EXPECT_EQ(rig.sentBlocks(), (Blocks{"PUBLISH QVRID-1", "CANCEL QVRID-" + gym}));
    EXPECT_EQ(rig.host.panel, "before") << "a deletion carries no description to show";
    // The deletion is confirmed, and the first event once more after the end: the
    // link stands, and nothing more goes out.
    rig.import.importConfirmation(confirm("", "QVRID-" + gym));
    rig.import.importConfirmation(confirm("1", "P-77"));
    EXPECT_EQ(rig.sentBlocks().back(), "EXPORT-END");
    EXPECT_EQ(rig.sentBlocks().size(), 3u);
    EXPECT_EQ(rig.count("SELECT count(*) AS n FROM XData"), 1);
}

TEST(SyncSession, ThePanelShowsTheEventOnItsWay) {
    const std::pair<const char*, const char*> cases[] = {
        {"Dentist!", ">Dentist!...       "},  // eight characters: seven blanks, 19 in all
        {"Sixteen chars ab", ">Sixteen chars ab.."},
        {"A text of more than eighteen characters", ">A text of more tha"},
        {"Zahnärztin", ">Zahnärztin...     "},  // characters, not bytes
        {"", ">...               "},
    };
    for (const auto& [description, shown] : cases) {
        EXPECT_EQ(DeviceSync::sendingText(description), shown) << description;
        EXPECT_EQ(utf8CodePoints(DeviceSync::sendingText(description)).size(), 19u) << description;
    }
}

}  // namespace
