// The three private blocks of the exchange: SYNC-TIME, SYNC-DATA and CONFIRM.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;
using Calls = std::vector<std::string>;

namespace {

class SyncTime : public ImportTest {};
class SyncData : public ImportTest {};
class Confirm : public ImportTest {};

}  // namespace

// ---- SYNC-TIME ---------------------------------------------------------------------

TEST_F(SyncTime, VersionAndClockDifference) {
    struct Case {
        const char* time;
        std::int64_t diff;
    } cases[] = {
        {"20260311T101500", 900},
        {"20260311T094500", -900},
        {"20260311T100000", 0},
        {"20960311T100000", 2209075200LL},  // seventy years ahead: no 32-bit value holds it
        {"garbage", 0},                     // unreadable: no difference
        {"15000101T000000", 0},             // before 1601: refused
    };
    for (const auto& c : cases) {
        rec.calendars.clear();
        EXPECT_TRUE(reader.readSyncTime(
            crlf({"X-KSP-BEGIN:SYNC-TIME", "X-KSP-VERSION:1.0", std::string("X-KSP-TIME:") + c.time,
                  "X-KSP-END:SYNC-TIME"}),
            log));
        ASSERT_EQ(rec.calendars.size(), 1u) << c.time;
        EXPECT_EQ(rec.calendars[0].VersionMajor(), 1);
        EXPECT_EQ(rec.calendars[0].TimeDiff(), c.diff) << c.time;
    }
    EXPECT_TRUE(log.has(texts::kBadValue));
}

TEST_F(SyncTime, LinesBeforeTheBlockAndASecondEndWithoutBeginAreIgnored) {
    EXPECT_TRUE(reader.readSyncTime(crlf({"X-KSP-VERSION:9", "noise", "X-KSP-BEGIN:SYNC-TIME", "x-ksp-version : 1.5",
                                          "X-KSP-END:SYNC-TIME", "X-KSP-END:SYNC-TIME"}),
                                    log));
    EXPECT_EQ(rec.calls, Calls{"EndSyncTime"});
    EXPECT_EQ(rec.calendars[0].VersionMajor(), 1);
    EXPECT_FALSE(reader.readSyncTime(crlf({"X-KSP-END:SYNC-TIME"}), log));
    EXPECT_EQ(rec.calls.size(), 1u);
}

TEST_F(SyncTime, MissingVersionReadsAsVersionZero) {
    reader.readSyncTime(crlf({"X-KSP-BEGIN:SYNC-TIME", "X-KSP-END:SYNC-TIME"}), log);
    ASSERT_EQ(rec.calendars.size(), 1u);
    EXPECT_EQ(rec.calendars[0].VersionMajor(), 0);
    EXPECT_TRUE(rec.calendars[0].isValid());
}

// ---- SYNC-DATA -----------------------------------------------------------------

TEST_F(SyncData, EntriesGetPrefixCalendarAndStamp) {
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-PROGRAM-UID:dev-1", "X-KSP-UID-PREFIX:P-",
                              "X-KSP-SYNC:20260301T080000 41", "X-KSP-SYNC:20260302T090000 abc def",
                              "X-KSP-END:SYNC-DATA"}),
                        log);
    EXPECT_EQ(rec.calls, (Calls{"beginSyncList", "RegisterXCalendar dev-1", "markLinksNotFound 7",
                                "createRequest P-41", "createRequest P-abc def", "EndSyncData"}));
    ASSERT_EQ(rec.requests.size(), 2u);
    EXPECT_EQ(rec.requests[0].LastModified(), DateTime::ymd(2026, 3, 1, 8, 0, 0));
    EXPECT_EQ(rec.requests[0].XCalendarId(), 7);
    const clsCalendar& cal = rec.calendars.back();
    EXPECT_TRUE(cal.fullSync());
    EXPECT_EQ(cal.XCalendarId(), 7);
    EXPECT_EQ(cal.KSPUniqueID(), "dev-1");
}

// The device may put its header after its entries; acting line by line ran
// the entries under calendar 0 and then marked their links not found again,
// so the full sync deleted every linked event.
TEST_F(SyncData, HeaderAfterTheEntriesStillComesFirst) {
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-SYNC:20260301T080000 1",
                              "X-KSP-SYNC:20260301T080000 2", "X-KSP-UID-PREFIX:Q", "X-KSP-PROGRAM-UID:dev-1",
                              "X-KSP-END:SYNC-DATA"}),
                        log);
    EXPECT_EQ(rec.calls, (Calls{"beginSyncList", "RegisterXCalendar dev-1", "markLinksNotFound 7",
                                "createRequest Q1", "createRequest Q2", "EndSyncData"}));
    for (const auto& r : rec.requests) EXPECT_EQ(r.XCalendarId(), 7);
}

TEST_F(SyncData, WithoutProgramUidNothingIsRegisteredOrDeleted) {
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-SYNC:20260301T080000 1", "X-KSP-END:SYNC-DATA"}), log);
    EXPECT_EQ(rec.calls, (Calls{"beginSyncList", "createRequest 1", "EndSyncData"}));
    EXPECT_FALSE(rec.calendars.back().fullSync());
}

TEST_F(SyncData, FailedRegistrationIsNoFullSync) {
    rec.registeredId = 0;
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-PROGRAM-UID:dev-1", "X-KSP-END:SYNC-DATA"}), log);
    EXPECT_EQ(rec.calls, (Calls{"beginSyncList", "RegisterXCalendar dev-1", "EndSyncData"}));
    EXPECT_FALSE(rec.calendars.back().fullSync());
    EXPECT_TRUE(log.has(texts::kCalendarNotRegistered));
}

TEST_F(SyncData, BadValuesAreSkippedAndTheBlockStillEnds) {
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-TIME-DIFF:1e10", "X-KSP-SYNC:2026",
                              "X-KSP-SYNC:20260301T080000", "X-KSP-SYNC:2026030XT080000 9",
                              "X-KSP-SYNC:00010101T000000 9", "X-KSP-PROGRAM-UID:", "X-KSP-SYNC:20260301T080000 ok",
                              "X-KSP-END:SYNC-DATA"}),
                        log);
    EXPECT_EQ(rec.calls, (Calls{"beginSyncList", "createRequest ok", "EndSyncData"}));
    EXPECT_EQ(rec.calendars.back().TimeDiff(), 32767);
    EXPECT_TRUE(log.has(texts::kSyncEntrySkipped));
}

TEST_F(SyncData, TimeDiffThatIsNoNumberIsZero) {
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-TIME-DIFF:#", "X-KSP-END:SYNC-DATA"}), log);
    EXPECT_EQ(rec.calendars.back().TimeDiff(), 0);
    EXPECT_TRUE(log.has(texts::kBadValue));
}

TEST_F(SyncData, UnfinishedListActsOnNothing) {
    reader.readSyncData(crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-PROGRAM-UID:dev-1", "X-KSP-SYNC:20260301T080000 1"}),
                        log);
    EXPECT_TRUE(rec.calls.empty());
    EXPECT_TRUE(log.has(texts::kBlockNotClosed));
}

TEST_F(SyncData, TenThousandEntriesInOrder) {
    std::string msg = "X-KSP-BEGIN:SYNC-DATA\r\nX-KSP-PROGRAM-UID:dev\r\n";
    for (int i = 0; i < 10000; ++i) msg += "X-KSP-SYNC:20260301T080000 " + std::to_string(i) + "\r\n";
    msg += "X-KSP-END:SYNC-DATA\r\n";
    reader.readSyncData(msg, log);
    ASSERT_EQ(rec.requests.size(), 10000u);
    for (int i = 0; i < 10000; i += 999) EXPECT_EQ(rec.requests[static_cast<std::size_t>(i)].XID(), std::to_string(i));
    EXPECT_EQ(rec.calls.back(), "EndSyncData");
    EXPECT_GE(rec.activity, 10000);
}

// ---- CONFIRM -----------------------------------------------------------------------

TEST_F(Confirm, ConfirmedEventCarriesIdsAndStamp) {
    EXPECT_TRUE(reader.Confirmation(crlf({"X-KSP-BEGIN:CONFIRM", "X-KSP-VERSION:1.0", "X-KSP-PROGRAM-UID:dev-1",
                                          "X-KSP-EVENT-QVRID:42", "X-KSP-EVENT-UID:d-9",
                                          "X-KSP-LAST-MODIFIED:20260301T080000", "X-KSP-END:CONFIRM"}),
                                    log));
    EXPECT_EQ(rec.calls, (Calls{"RegisterXCalendar dev-1", "Confirmed"}));
    const clsCalEvent& ev = rec.events.back().ev;
    EXPECT_EQ(ev.WendraWinId(), "42");
    EXPECT_EQ(ev.XID(), "d-9");
    EXPECT_EQ(ev.XCalendarId(), 7);
    EXPECT_EQ(ev.LastModified(), DateTime::ymd(2026, 3, 1, 8, 0, 0));
}

TEST_F(Confirm, StoreIdMustBeAWholeNumber) {
    for (const char* id : {"4 2", "-3", "1e3", "x", "99999999999999999999"}) {
        rec.events.clear();
        reader.Confirmation(crlf({"X-KSP-BEGIN:CONFIRM", std::string("X-KSP-EVENT-QVRID:") + id,
                                  "X-KSP-LAST-MODIFIED:2026", "X-KSP-END:CONFIRM"}),
                            log);
        ASSERT_EQ(rec.events.size(), 1u) << id;
        EXPECT_EQ(rec.events.back().ev.WendraWinId(), "") << id;
        EXPECT_TRUE(rec.events.back().ev.LastModified().isNull());
    }
}
