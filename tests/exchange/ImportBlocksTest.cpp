// The three private blocks of the exchange: SYNC-TIME, SYNC-DATA and CONFIRM.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;
using Calls = std::vector<std::string>;

TEST_F(ImportTest, SyncTimeVersionAndClock) {
    const struct {
        const char* time;
        std::int64_t diff;
    } cases[] = {{"20260311T101500", 900}, {"20260311T094500", -900},
                 {"20960311T100000", 2209075200LL},  // seventy years on: past any 32-bit value
                 {"garbage", 0}, {"15000101T000000", 0}};
    for (const auto& c : cases) {
        rec.calls.clear();
        EXPECT_TRUE(reader.readSyncTime(crlf({"X-KSP-VERSION:9", "X-KSP-BEGIN:SYNC-TIME", "x-ksp-version : 1.5",
                                              std::string("X-KSP-TIME:") + c.time, "X-KSP-END:SYNC-TIME",
                                              "X-KSP-END:SYNC-TIME"}),
                                        log));
        EXPECT_EQ(rec.calls, Calls{"EndSyncTime"});  // a second END without BEGIN is not acted on
        EXPECT_EQ(reader.Calendar().VersionMajor(), 1);
        EXPECT_EQ(reader.Calendar().TimeDiff(), c.diff) << c.time;
    }
    EXPECT_TRUE(log.has(texts::kBadValue));
    reader.readSyncTime(crlf({"X-KSP-BEGIN:SYNC-TIME", "X-KSP-END:SYNC-TIME"}), log);
    EXPECT_EQ(reader.Calendar().VersionMajor(), 0);  // no version line: version 0
}

// The header may stand after the entries: acting line by line ran those under
// calendar 0 and then marked their links not found again, so the full sync
// deleted every linked event. Bad lines are skipped; a cut list acts on nothing.
TEST_F(ImportTest, SyncDataHandsTheListOnAtItsEnd) {
    const Calls full = {"beginSyncList", "RegisterXCalendar dev", "markLinksNotFound 7"};
    const struct {
        std::vector<std::string> lines;
        int registered;
        Calls after;  // the calls after those of a full sync, or all of them
        bool fullSync;
        std::int64_t timeDiff = 0;
    } cases[] = {
        {{"X-KSP-PROGRAM-UID:dev", "X-KSP-UID-PREFIX:P-", "X-KSP-SYNC:20260301T080000 41",
          "X-KSP-SYNC:20260302T090000 a b", "X-KSP-SYNC:20260303T090000\xA0" "77", "X-KSP-END:SYNC-DATA"},
         7, {"createRequest P-41", "createRequest P-a b", "createRequest P-77", "EndSyncData"}, true},
        {{"X-KSP-SYNC:20260301T080000 1", "X-KSP-SYNC:20260301T080000 2", "X-KSP-UID-PREFIX:Q",
          "X-KSP-PROGRAM-UID:dev", "X-KSP-TIME-DIFF:#", "X-KSP-END:SYNC-DATA"},
         7, {"createRequest Q1", "createRequest Q2", "EndSyncData"}, true},
        {{"X-KSP-SYNC:20260301T080000 1", "X-KSP-END:SYNC-DATA"}, 7,
         {"beginSyncList", "createRequest 1", "EndSyncData"}, false},
        {{"X-KSP-PROGRAM-UID:dev", "X-KSP-END:SYNC-DATA"}, 0, {"beginSyncList", "RegisterXCalendar dev", "EndSyncData"},
         false},
        {{"X-KSP-TIME-DIFF:1e10", "X-KSP-SYNC:2026", "X-KSP-SYNC:20260301T080000", "X-KSP-SYNC:2026030XT080000 9",
          "X-KSP-SYNC:00010101T000000 9", "X-KSP-PROGRAM-UID:", "X-KSP-SYNC:20260301T080000 ok", "X-KSP-END:SYNC-DATA"},
         7, {"beginSyncList", "createRequest ok", "EndSyncData"}, false, 32767},
        {{"X-KSP-PROGRAM-UID:dev", "X-KSP-SYNC:20260301T080000 1"}, 7, {}, false},
    };
    for (const auto& c : cases) {
        rec.calls.clear();
        rec.requests.clear();
        rec.registeredId = c.registered;
        std::string msg = "X-KSP-BEGIN:SYNC-DATA\r\n";
        for (const auto& l : c.lines) msg += l + "\r\n";
        reader.readSyncData(msg, log);
        Calls want = c.fullSync ? full : Calls{};
        want.insert(want.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(rec.calls, want) << c.lines[0];
        for (const auto& r : rec.requests) EXPECT_EQ(r.XCalendarId(), c.fullSync ? 7 : 0);
        EXPECT_EQ(reader.Calendar().fullSync(), c.fullSync) << c.lines[0];
        EXPECT_EQ(reader.Calendar().TimeDiff(), c.timeDiff) << c.lines[0];
    }
    EXPECT_TRUE(log.has(texts::kSyncEntrySkipped) && log.has(texts::kCalendarNotRegistered) &&
                log.has(texts::kBlockNotClosed));
}

TEST_F(ImportTest, ConfirmationCarriesIdsAndStamp) {
    const struct {
        const char* id;
        const char* stamp;
        const char* storeId;  // a store key is a whole number
    } cases[] = {{"42", "20260301T080000", "42"}, {"4 2", "2026", ""}, {"-3", "", ""}, {"1e3", "x", ""},
                 {"99999999999999999999", "", ""}};
    for (const auto& c : cases) {
        rec.events.clear();
        EXPECT_TRUE(reader.Confirmation(crlf({"X-KSP-BEGIN:CONFIRM", "X-KSP-VERSION:1.0", "X-KSP-PROGRAM-UID:dev",
                                              std::string("X-KSP-EVENT-QVRID:") + c.id, "X-KSP-EVENT-UID:d-9",
                                              std::string("X-KSP-LAST-MODIFIED:") + c.stamp, "X-KSP-END:CONFIRM"}),
                                        log));
        const clsCalEvent& ev = rec.only();
        EXPECT_EQ(ev.WendraWinId() + "|" + ev.XID() + "|" + std::to_string(ev.XCalendarId()),
                  std::string(c.storeId) + "|d-9|7");
        EXPECT_EQ(ev.LastModified().isNull(), *c.storeId == '\0') << c.stamp;
    }
}
