// The command-line tool: each command against a real file, its output, and its
// answers to commands it cannot carry out.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/outlook/tool/CalendarTool.h"
#include "tests/support/CalendarRig.h"

using namespace wendra;
using namespace wendra::outlook;

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

ToolRun run(const test::CalendarRig& rig, std::vector<std::string> args) {
    args.insert(args.begin(), {"--file", rig.file().string()});
    std::ostringstream out, err;
    const int code = runCalendarTool(args, out, err);
    return {code, out.str(), err.str()};
}

std::string firstLine(const std::string& s) { return s.substr(0, s.find('\n')); }

}  // namespace

TEST(OutlookCalendarTool, AddListChangeAndDelete) {
    test::CalendarRig rig;
    const ToolRun bins = run(rig, {"add", "--subject", "Bins out", "--start", "2024-03-06 19:00", "--repeat", "weekly",
                               "--count", "3"});
    ASSERT_EQ(bins.code, 0) << bins.err;
    const std::string id = firstLine(bins.out);
    ASSERT_EQ(run(rig, {"add", "--subject", "Holiday", "--start", "2024-03-08", "--all-day"}).code, 0);

    EXPECT_EQ(run(rig, {"list"}).out, id + "\t2024-03-06 19:00\t30 min\tweekly\tBins out\n" +
                                          rig.items()->Item(2)->EntryID() + "\t2024-03-08 00:00\t1 day(s)\tnone\tHoliday\n");

    ASSERT_EQ(run(rig, {"change", id, "--occurrence", "2024-03-13 19:00", "--subject", "Bins out (late)", "--start",
                        "2024-03-13 21:00"})
                  .code,
              0);
    ASSERT_EQ(run(rig, {"delete", id, "--occurrence", "2024-03-20 19:00"}).code, 0);
    const std::string occurrences = run(rig, {"list", "--occurrences", "--days", "30"}).out;
    EXPECT_NE(occurrences.find("2024-03-06 19:00\t30 min\tweekly\tBins out\n"), std::string::npos) << occurrences;
    EXPECT_NE(occurrences.find("2024-03-13 21:00\t30 min\tweekly\tBins out (late)\n"), std::string::npos) << occurrences;
    EXPECT_EQ(occurrences.find("2024-03-20"), std::string::npos) << occurrences;

    ASSERT_EQ(run(rig, {"change", id, "--subject", "Recycling", "--repeat", "monthly", "--until", "2024-05-31"}).code, 0);
    auto series = rig.items()->Restrict("[Subject] = 'Recycling'")->Item(1)->GetRecurrencePattern();
    EXPECT_EQ(series->RecurrenceType(), olRecursMonthly);
    EXPECT_EQ(series->PatternEndDate(), test::at(2024, 5, 31, 0));

    ASSERT_EQ(run(rig, {"delete", id}).code, 0);
    EXPECT_EQ(rig.items()->Count(), 1);
}

TEST(OutlookCalendarTool, CommandsItCannotCarryOutAreRefused) {
    test::CalendarRig rig;
    const std::string id = firstLine(run(rig, {"add", "--subject", "One", "--start", "2024-03-06 09:00"}).out);
    const std::string before = rig.text();
    struct Row {
        std::vector<std::string> args;
        int code;
        const char* says;
    };
    const std::vector<Row> rows{
        {{}, 2, "no command"},
        {{"frob"}, 2, "unknown command frob"},
        {{"add", "--start", "2024-03-06 09:00"}, 2, "add needs --subject and --start"},
        {{"add", "--subject", "x", "--start", "tomorrow"}, 2, "not a date and time: tomorrow"},
        {{"add", "--subject", "x", "--start", "2024-03-06", "--count", "3"}, 2, "an end needs a repeat"},
        {{"add", "--subject", "x", "--start", "2024-03-06", "--repeat", "hourly"}, 2, "--repeat takes"},
        {{"change", id, "--duration", "-5"}, 2, "not a number: -5"},
        {{"change", "nope", "--subject", "x"}, 1, "no appointment has the id nope"},
        {{"change", id, "--occurrence", "2024-03-13 09:00", "--subject", "x"}, 1, "no occurrence"},
        {{"delete"}, 2, "delete needs the id"},
        {{"list", "--days"}, 2, "--days needs a value"},
    };
    for (const Row& row : rows) {
        const ToolRun r = run(rig, row.args);
        EXPECT_EQ(r.code, row.code) << row.says;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << row.says;
    }
    EXPECT_EQ(rig.text(), before);

    rig.write("not a calendar\r\n");
    const ToolRun damaged = run(rig, {"list"});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos) << damaged.err;
}

// Occurrences are listed from today's start on, however long ago their series began.
TEST(OutlookCalendarTool, OccurrencesAreListedFromToday) {
    test::CalendarRig rig;  // 5 March 2024, 10:00
    const std::string id =
        firstLine(run(rig, {"add", "--subject", "Since 1900", "--start", "1900-01-01 07:00", "--repeat", "daily"}).out);
    const std::string occurrence = "\t30 min\tdaily\tSince 1900\n";
    EXPECT_EQ(run(rig, {"list", "--occurrences", "--days", "2"}).out,
              id + "\t2024-03-05 07:00" + occurrence + id + "\t2024-03-06 07:00" + occurrence + id +
                  "\t2024-03-07 07:00" + occurrence);
}
