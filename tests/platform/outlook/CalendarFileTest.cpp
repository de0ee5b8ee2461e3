// The calendar file itself: what libical makes of the files we write, what we
// make of another program's, damaged files, writers that meet, and where the
// file lives.

#include <gtest/gtest.h>
#include <libical/ical.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <thread>

#include "platform/outlook/CalendarFile.h"
#include "platform/outlook/Errors.h"
#include "tests/support/CalendarRig.h"
#include "tests/support/ChildProcess.h"

using namespace wendra;
using namespace wendra::outlook;
using wendra::test::at;
using wendra::test::errorOf;
namespace fs = std::filesystem;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// A calendar of another program: a weekly call kept in New York time with
// one occurrence deleted and one moved, a flight in UTC, a three-day trip.
const char* kTheirs =
    "BEGIN:VCALENDAR\r\nPRODID:-//Other Calendar//EN\r\nVERSION:2.0\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\nDTSTART:19700308T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\nDTSTART:19701101T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\nUID:call@other\r\nDTSTAMP:20240301T120000Z\r\nCREATED:20240301T120000Z\r\n"
    "LAST-MODIFIED:20240302T080910Z\r\n"
    "DTSTART;TZID=America/New_York:20240305T090000\r\nDTEND;TZID=America/New_York:20240305T093000\r\n"
    "RRULE:FREQ=WEEKLY;COUNT=6;BYDAY=TU\r\nEXDATE;TZID=America/New_York:20240312T090000\r\n"
    "SUMMARY:Call with New York\r\nLOCATION:Phone\r\nX-OTHER-PROGRAM;X-COLOR=red:keep me\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nDESCRIPTION:Call\r\nEND:VALARM\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:call@other\r\nDTSTAMP:20240301T120000Z\r\n"
    "RECURRENCE-ID;TZID=America/New_York:20240319T090000\r\n"
    "DTSTART;TZID=America/New_York:20240319T100000\r\nDTEND;TZID=America/New_York:20240319T103000\r\n"
    "SUMMARY:Call with New York (late)\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:flight@other\r\nDTSTAMP:20240301T120000Z\r\nDTSTART:20240308T061500Z\r\n"
    "DURATION:PT2H30M\r\nSUMMARY:Flight\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:trip@other\r\nDTSTAMP:20240301T120000Z\r\nDTSTART;VALUE=DATE:20240315\r\n"
    "DTEND;VALUE=DATE:20240318\r\nSUMMARY:Trip\r\nEND:VEVENT\r\n"
    "BEGIN:VTODO\r\nUID:todo@other\r\nDTSTAMP:20240301T120000Z\r\nSUMMARY:Not an appointment\r\nEND:VTODO\r\n"
    "END:VCALENDAR\r\n";

std::shared_ptr<AppointmentItem> bySubject(const test::CalendarRig& rig, const std::string& subject) {
    return rig.items()->Restrict("[Subject] = '" + subject + "'")->Item(1);
}

}  // namespace

TEST(OutlookCalendarFile, FilesWeWriteOpenInLibicalUnchanged) {
    test::CalendarRig rig;
    auto series = rig.add("Weekly, with \"quotes\"; and a comma", at(2024, 3, 6), 60);
    series->GetRecurrencePattern()->setPatternEndDate(at(2024, 4, 24));
    series->UserProperties()->Add("qvrHiddenList", olText)->setValue(std::string("20240313,20240320"));
    series->UserProperties()->Add("qvrViewFromDate", olDateTime)->setValue(at(9999, 12, 31, 0));
    series->Save();
    series->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 13))->Delete();
    auto moved = series->GetRecurrencePattern()->GetOccurrence(at(2024, 3, 20));
    moved->setStart(at(2024, 3, 21, 11));
    moved->Save();
    rig.add("A day off", at(2024, 3, 8, 0), 1440, true);
    rig.add(std::string(200, 'x'), at(2024, 3, 9, 7));  // folded over several lines
    // Empty values: libical reads "SUMMARY:" as an error.
    auto blank = rig.items()->Add();
    blank->UserProperties()->Add("qvrHiddenList", olText);
    blank->Save();

    const std::string text = rig.text();
    icalcomponent* parsed = icalparser_parse_string(text.c_str());
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(icalcomponent_count_errors(parsed), 0);
    char* again = icalcomponent_as_ical_string_r(parsed);
    EXPECT_EQ(std::string(again), text);
    icalmemory_free_buffer(again);
    // What RFC 5545 requires of every component: libical's own check adds an
    // error property for each rule broken.
    EXPECT_EQ(icalrestriction_check(parsed), 1);
    EXPECT_EQ(icalcomponent_count_errors(parsed), 0);
    icalcomponent_free(parsed);
    for (std::size_t at = 0, next; at < text.size(); at = next + 2) {
        next = text.find("\r\n", at);
        ASSERT_NE(next, std::string::npos) << "every line ends in CRLF";
        EXPECT_LE(next - at, 75u) << text.substr(at, next - at);
    }
}

TEST(OutlookCalendarFile, AFileOfAnotherProgramReadsInLocalTime) {
    test::CalendarRig rig;  // in Berlin, an hour ahead of UTC until 31 March
    rig.write(kTheirs);
    auto items = rig.items();
    items->Sort("[Start]");
    items->setIncludeRecurrences(true);
    std::vector<std::pair<DateTime, std::string>> got;
    for (auto i = items->GetFirst(); i; i = items->GetNext()) got.emplace_back(i->Start(), i->Subject());
    // New York changes its clocks on 10 March, Berlin on 31 March.
    const std::vector<std::pair<DateTime, std::string>> expected{
        {at(2024, 3, 5, 15), "Call with New York"}, {at(2024, 3, 8, 7, 15), "Flight"},
        {at(2024, 3, 15, 0), "Trip"},               {at(2024, 3, 19, 15), "Call with New York (late)"},
        {at(2024, 3, 26, 14), "Call with New York"}, {at(2024, 4, 2, 15), "Call with New York"},
        {at(2024, 4, 9, 15), "Call with New York"}};
    EXPECT_EQ(got, expected);

    auto call = bySubject(rig, "Call with New York");
    EXPECT_EQ(call->EntryID(), "call@other");
    EXPECT_EQ(call->CreationTime(), at(2024, 3, 1, 13));
    EXPECT_EQ(call->LastModificationTime(), at(2024, 3, 2, 9, 9, 10));
    EXPECT_TRUE(call->ReminderSet());
    EXPECT_EQ(call->Duration(), 30);
    auto p = call->GetRecurrencePattern();
    EXPECT_EQ(p->RecurrenceType(), olRecursWeekly);
    EXPECT_EQ(p->DayOfWeekMask(), olTuesday);
    EXPECT_EQ(p->Occurrences(), 6);
    EXPECT_EQ(p->PatternEndDate(), at(2024, 4, 9, 0));
    auto ex = p->Exceptions();
    ASSERT_EQ(ex->Count(), 2);
    EXPECT_TRUE(ex->Item(1)->Deleted());
    EXPECT_EQ(ex->Item(1)->OriginalDate(), at(2024, 3, 12, 14));
    EXPECT_EQ(ex->Item(2)->OriginalDate(), at(2024, 3, 19, 14));
    EXPECT_EQ(ex->Item(2)->AppointmentItem()->Start(), at(2024, 3, 19, 15));

    auto flight = bySubject(rig, "Flight");
    EXPECT_EQ(flight->Duration(), 150);
    EXPECT_FALSE(flight->ReminderSet());
    EXPECT_EQ(flight->CreationTime(), noDate());
    auto trip = bySubject(rig, "Trip");
    EXPECT_TRUE(trip->AllDayEvent());
    EXPECT_EQ(trip->Duration(), 3 * 1440);
    EXPECT_EQ(rig.items()->Count(), 3);  // the to-do is no appointment

    // Our writes keep their forms: the zone, UTC, DURATION.
    p->GetOccurrence(at(2024, 4, 2, 15))->Delete();
    flight->setStart(at(2024, 3, 8, 8));
    flight->Save();
    const std::string text = rig.text();
    EXPECT_TRUE(contains(text, "EXDATE;TZID=America/New_York:20240402T090000\r\n")) << text;
    EXPECT_TRUE(contains(text, "DTSTART:20240308T070000Z\r\nDURATION:PT2H30M\r\n")) << text;
}

TEST(OutlookCalendarFile, WhatWeDoNotKnowIsKept) {
    test::CalendarRig rig;
    rig.write(kTheirs);
    auto call = bySubject(rig, "Call with New York");
    call->setSubject("Call with NY");
    call->UserProperties()->Add("qvrPriorWarn", olNumber)->setValue(3.0);
    call->Save();
    const std::string text = rig.text();
    for (const char* kept : {"LOCATION:Phone\r\n", "X-OTHER-PROGRAM;X-COLOR=red:keep me\r\n", "TRIGGER:-PT10M\r\n",
                             "BEGIN:VTODO\r\nUID:todo@other\r\n", "TZID:America/New_York\r\n",
                             "SUMMARY:Call with New York (late)\r\n", "PRODID:-//Other Calendar//EN\r\n",
                             "EXDATE;TZID=America/New_York:20240312T090000\r\n"})
        EXPECT_TRUE(contains(text, kept)) << kept << "\n" << text;
    EXPECT_TRUE(contains(text, "SUMMARY:Call with NY\r\n"));
    EXPECT_TRUE(contains(text, "X-WENDRAWIN-PROPERTY;X-NAME=qvrPriorWarn;X-TYPE=3:3\r\n"));
}

TEST(OutlookCalendarFile, AnEditOfAnotherProgramBetweenReadAndSaveIsKept) {
    test::CalendarRig rig;
    auto mine = rig.add("Mine", at(2024, 3, 6));
    std::string text = rig.text();
    // Another program adds a location to it and an appointment of its own.
    text.insert(text.find("SUMMARY:Mine\r\n"), "LOCATION:Room 4\r\n");
    text.insert(text.find("END:VCALENDAR"),
                "BEGIN:VEVENT\r\nUID:theirs\r\nDTSTAMP:20240301T120000Z\r\nDTSTART:20240307T100000\r\n"
                "SUMMARY:Theirs\r\nEND:VEVENT\r\n");
    rig.write(text);
    mine->setSubject("Mine, renamed");
    mine->Save();
    const std::string after = rig.text();
    EXPECT_TRUE(contains(after, "LOCATION:Room 4\r\n")) << after;
    EXPECT_TRUE(contains(after, "UID:theirs\r\n")) << after;
    EXPECT_TRUE(contains(after, "SUMMARY:Mine\\, renamed\r\n")) << after;
    EXPECT_EQ(rig.items()->Count(), 2);
}

TEST(OutlookCalendarFile, ADamagedFileAnswersAnErrorAndIsLeftAsItWas) {
    struct Row {
        const char* what;
        std::string text;
        long error = err::kCalendarDamaged;
    };
    const std::vector<Row> rows{
        {"no calendar", "garbage\r\n"},
        {"cut off", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:1\r\n"},
        {"cut off after an event", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:1\r\nEND:VEVENT\r\n"},
        {"two calendars", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\nBEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                          "END:VCALENDAR\r\n"},
        {"text before it", "my notes\r\nBEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n"},
        {"text after it", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\nmy notes\r\n"},
        {"a NUL byte", std::string("\0BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n", 45)},
        {"an event alone", "BEGIN:VEVENT\r\nUID:1\r\nEND:VEVENT\r\n"},
        // Only a file that does not exist is a new calendar.
        {"empty", "", err::kCalendarShrank},
        {"blank lines only", "\r\n \r\n", err::kCalendarShrank},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        rig.writeSettled(row.text);
        const auto entries = folderEntries(rig.folder());
        auto folder = rig.app()->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar);
        EXPECT_EQ(errorOf([&] { folder->Items()->Count(); }), row.error) << row.what;
        EXPECT_EQ(errorOf([&] { folder->EntryID(); }), row.error) << row.what;
        auto item = folder->Items()->Add();
        item->setSubject("Lost?");
        EXPECT_EQ(errorOf([&] { item->Save(); }), row.error) << row.what;
        EXPECT_EQ(rig.text(), row.text) << row.what;
        auto after = folderEntries(rig.folder());
        std::erase(after, ".Outlook.ics.lock");
        EXPECT_EQ(after, entries) << row.what;  // no temporary file left behind
    }
}

// Another program's file with what libical cannot read: every appointment that
// can be read is, and the rest stays in the file as it was through a save.
TEST(OutlookCalendarFile, WhatCannotBeReadStaysAsTextAndTheRestIsRead) {
    struct Row {
        const char* what;
        std::string text;
        std::vector<std::string> subjects;
        const char* told = nullptr;  // what standard error says of it
    };
    const std::vector<Row> rows{
        {"a value libical cannot read", "BEGIN:VEVENT\r\nUID:1\r\nDTSTART:2024zz\r\nSUMMARY:Bad\r\nEND:VEVENT\r\n", {},
         "(UID 1) is left out of the calendar: its DTSTART cannot be read"},
        {"a line without a name", "no colon here\r\n", {}},
        {"empty description, location and subject",
         "BEGIN:VEVENT\r\nUID:g1\r\nDTSTART:20240306T090000\r\nDESCRIPTION:\r\nLOCATION:\r\nSUMMARY:\r\nEND:VEVENT\r\n", {""}},
        {"properties libical does not know",
         "BEGIN:VEVENT\r\nUID:g2\r\nDTSTART:20240306T090000\r\nLINK;REL=alternate;VALUE=URI:https://example.org/a\r\n"
         "RELATED-TO;VALUE=UID:g1\r\nSUMMARY:Linked\r\nEND:VEVENT\r\n",
         {"Linked"}},
        {"the year 1", "BEGIN:VEVENT\r\nUID:y1\r\nDTSTART:00010101T090000\r\nSUMMARY:Year one\r\nEND:VEVENT\r\n", {},
         "(UID y1) is left out of the calendar: a date outside the years 1601 to 9999"},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        rig.writeSettled("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\n" + row.text + "END:VCALENDAR\r\n");
        testing::internal::CaptureStderr();
        std::vector<std::string> subjects;
        auto items = rig.items();
        for (auto i = items->GetFirst(); i; i = items->GetNext()) subjects.push_back(i->Subject());
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(subjects, row.subjects) << row.what;
        EXPECT_TRUE(!row.told || contains(told, row.told)) << row.what << ": " << told;
        rig.add("Ours", at(2024, 3, 7));
        EXPECT_TRUE(contains(rig.text(), row.text)) << row.what << "\n" << rig.text();
        EXPECT_EQ(rig.items()->Count(), static_cast<int>(row.subjects.size()) + 1) << row.what;
    }
}

// A file of another program full of what this one does not know, with LF line
// ends: a connection, a New, an Edit and a Delete leave every byte outside the
// appointments they touch as it was, and every line of the edited one that the
// edit did not change.
TEST(OutlookCalendarFile, WhatASaveDoesNotTouchStaysByteForByte) {
    const std::string edited =
        "BEGIN:VEVENT\nUID:edited@theirs\nDTSTAMP:20240301T120000Z\n"
        "DTSTART;TZID=Europe/Berlin:20240306T090000\nDTEND;TZID=Europe/Berlin:20240306T100000\n"
        "SUMMARY:Planning\nDESCRIPTION:\nLOCATION:Room 1\\, upstairs\n"
        "ATTENDEE;DELEGATED-TO=\"mailto:a@example.org\",\"mailto:b@example.org\";MEMBER=\"mailto:team@example.o\n"
        " rg\":mailto:c@example.org\n"
        "LINK;REL=alternate;VALUE=URI:https://example.org/planning\nRELATED-TO;VALUE=UID:kept@theirs\n"
        "X-THEIR-NOTE;X-LANG=en;X-TAGS=\"a;b\",c:first\\, second\\; third\\\\n\n"
        "COMMENT:A comment long enough to be folded by the program that wrote it\\, o\n n two lines\n"
        "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT10M\nDESCRIPTION:Planning\nEND:VALARM\n"
        "BEGIN:X-THEIR-DETAIL\nX-COLOR:blue\nEND:X-THEIR-DETAIL\nEND:VEVENT\n";
    const std::string deleted =
        "BEGIN:VEVENT\nUID:deleted@theirs\nDTSTAMP:20240301T120000Z\nDTSTART:20240307T080000Z\n"
        "SUMMARY:To be deleted\nEND:VEVENT\n";
    const std::string head =
        "BEGIN:VCALENDAR\nPRODID:-//Someone else//Their calendar 3.1//EN\nVERSION:2.0\nCALSCALE:GREGORIAN\n"
        "METHOD:PUBLISH\nX-WR-CALNAME:Family\\, friends\\; and work\nX-THEIR-SETTING;X-SCOPE=\"a;b\",c:on\\,off\n";
    const std::string rest =
        "BEGIN:VTIMEZONE\nTZID:Europe/Berlin\nBEGIN:STANDARD\nDTSTART:19701025T030000\n"
        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\nEND:STANDARD\n"
        "BEGIN:DAYLIGHT\nDTSTART:19700329T020000\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\nTZOFFSETFROM:+0100\n"
        "TZOFFSETTO:+0200\nEND:DAYLIGHT\nEND:VTIMEZONE\n"
        "BEGIN:X-THEIR-GROUP\nX-MEMBER:one\nBEGIN:X-INNER\nX-DEPTH:2\nEND:X-INNER\nEND:X-THEIR-GROUP\n" +
        edited + deleted +
        "BEGIN:VTODO\nUID:todo@theirs\nDTSTAMP:20240301T120000Z\nSUMMARY:Buy milk\nEND:VTODO\n"
        "BEGIN:VJOURNAL\nUID:journal@theirs\nDTSTAMP:20240301T120000Z\nDESCRIPTION:Dear diary\\, today\nEND:VJOURNAL\n"
        "BEGIN:VEVENT\nUID:kept@theirs\nDTSTAMP:20240301T120000Z\nDTSTART;VALUE=DATE:20240308\nRRULE:FREQ=YEARLY\n"
        "EXDATE;VALUE=DATE:20250308\nSUMMARY:Anniversary\nX-ALT-DESC;FMTTYPE=text/html:<b>Anniversary</b>\n"
        "END:VEVENT\n";
    test::CalendarRig rig;
    rig.writeSettled(head + rest + "END:VCALENDAR\n");

    const std::string id = rig.app()->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar)->EntryID();
    const std::string added = rig.add("Ours", at(2024, 3, 9))->EntryID();
    auto planning = bySubject(rig, "Planning");
    planning->setSubject("Planning, on Thursday");
    planning->UserProperties()->Add("qvrPriorWarn", olNumber)->setValue(3.0);
    planning->Save();
    bySubject(rig, "To be deleted")->Delete();

    const std::string after = rig.text();
    const auto block = [&](const std::string& uid) {
        const auto from = after.rfind("BEGIN:VEVENT\n", after.find("UID:" + uid + "\n"));
        return after.substr(from, after.find("END:VEVENT\n", from) + 11 - from);
    };
    const std::string editedNow = block("edited@theirs");
    std::string expected = head + "X-WENDRAWIN-CALENDAR-ID:" + id + "\n" + rest;
    expected.erase(expected.find(deleted), deleted.size());
    expected.replace(expected.find(edited), edited.size(), editedNow);
    EXPECT_EQ(after, expected + block(added) + "END:VCALENDAR\n");

    // The edit changed its subject and stamp, and added the program's own lines.
    std::size_t from = 0;
    for (std::size_t at = 0, next; at < edited.size(); at = next) {
        next = edited.find('\n', at) + 1;
        while (next < edited.size() && edited[next] == ' ') next = edited.find('\n', next) + 1;
        const std::string line = edited.substr(at, next - at);
        if (line.rfind("SUMMARY:", 0) == 0 || line.rfind("DTSTAMP:", 0) == 0) continue;
        const auto found = editedNow.find(line, from);
        EXPECT_NE(found, std::string::npos) << line << "\n" << editedNow;
        if (found != std::string::npos) from = found + line.size();
    }
    EXPECT_TRUE(contains(editedNow, "\nDTEND;TZID=Europe/Berlin:20240306T100000\nSUMMARY:Planning\\, on Thursday\n"))
        << editedNow;
    EXPECT_TRUE(contains(editedNow, "\nX-WENDRAWIN-PROPERTY;X-NAME=qvrPriorWarn;X-TYPE=3:3\n")) << editedNow;
    EXPECT_EQ(after.find('\r'), std::string::npos);
    EXPECT_EQ(bySubject(rig, "Planning, on Thursday")->EntryID(), "edited@theirs");
}

// A file that reads as less than it held, or that its user made read-only, is
// never written over: the save says why and the file stays as it is.
TEST(OutlookCalendarFile, ASaveWritesNothingOverAFileThatReadsAsLessOrIsReadOnly) {
    struct Row {
        const char* what;
        std::function<void(const test::CalendarRig&, const std::string&)> meanwhile;  // given the file's text
        long first, second;  // what the save answers, and the save after it
    };
    // The file written over with what is left without these appointments.
    const auto leaving = [](std::vector<std::string> uids) {
        return [uids](const test::CalendarRig& rig, std::string text) {
            for (const std::string& uid : uids) {
                const auto from = text.rfind("BEGIN:VEVENT", text.find("UID:" + uid));
                text.erase(from, text.find("END:VEVENT\r\n", from) + 12 - from);
            }
            rig.writeSettled(text);
        };
    };
    std::vector<std::thread> writers;
    const std::vector<Row> rows{
        {"emptied", [](auto& rig, auto&) { rig.writeSettled(""); }, err::kCalendarShrank, err::kCalendarShrank},
        {"emptied for a moment by a writer in place",
         [&](auto& rig, const std::string& text) {
             rig.write("");
             writers.emplace_back([&rig, text] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(20));
                 rig.write(text);
             });
         },
         0, 0},
        {"none left", leaving({"a-uid", "b-uid"}), err::kCalendarShrank, err::kItemDeleted},
        {"one fewer", leaving({"b-uid"}), err::kCalendarShrank, 0},
        {"removed", [](auto& rig, auto&) { fs::remove(rig.file()); }, err::kCalendarShrank, err::kItemDeleted},
        {"made read-only",
         [](auto& rig, auto&) {
             fs::permissions(rig.file(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         },
         err::kCalendarReadOnly, err::kCalendarReadOnly},
    };
    for (const Row& row : rows) {
        test::CalendarRig rig;
        rig.writeSettled("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\n"
                         "BEGIN:VEVENT\r\nUID:a-uid\r\nDTSTART:20240306T090000\r\nSUMMARY:A\r\nEND:VEVENT\r\n"
                         "BEGIN:VEVENT\r\nUID:b-uid\r\nDTSTART:20240307T090000\r\nSUMMARY:B\r\nEND:VEVENT\r\n"
                         "END:VCALENDAR\r\n");
        auto a = bySubject(rig, "A");
        row.meanwhile(rig, rig.text());
        const std::string text = rig.text();  // what a refused save leaves
        a->setSubject("A, changed");
        EXPECT_EQ(errorOf([&] { a->Save(); }), row.first) << row.what;
        for (auto& w : writers) w.join();
        writers.clear();
        if (row.first != 0) {
            EXPECT_EQ(rig.text(), text) << row.what;
        }
        EXPECT_EQ(errorOf([&] { a->Save(); }), row.second) << row.what;
        const std::string after = rig.text();
        EXPECT_EQ(contains(after, "SUMMARY:A\\, changed\r\n"), row.second == 0) << row.what;
        if (row.first == 0) {
            EXPECT_TRUE(contains(after, "SUMMARY:B\r\n")) << row.what;
        }
    }
}

// Another program that saves the file over and over, in place (truncating it
// and writing it in two parts) and by rename, while this one saves too: none
// of its appointments is lost.
TEST(OutlookCalendarFile, AnotherProgramSavingInPlaceAndByRenameLosesNothing) {
    test::CalendarRig rig;
    rig.add("First", at(2024, 3, 6));
    constexpr auto kFor = std::chrono::milliseconds(1500);
    // Its answer is how many saves it made: a few dozen in that time, 255 when one failed.
    test::ChildProcess other([&] {
        const std::string file = rig.file().string();
        const auto end = std::chrono::steady_clock::now() + kFor;
        int n = 0;
        for (; std::chrono::steady_clock::now() < end; ++n) {
            std::string text = rig.text();
            text.insert(text.rfind("END:VCALENDAR"), "BEGIN:VEVENT\r\nUID:theirs-" + std::to_string(n) +
                                                         "\r\nDTSTART:20240310T090000\r\nSUMMARY:Theirs\r\nEND:VEVENT\r\n");
            const std::string into = n % 2 ? file + ".their-new" : file;
            std::ofstream out(into, std::ios::binary | std::ios::trunc);
            out << text.substr(0, text.size() / 2) << std::flush;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            out << text.substr(text.size() / 2);
            out.close();
            if (!out || (into != file && ::rename(into.c_str(), file.c_str()) != 0)) return 255;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return n;
    });
    ASSERT_TRUE(other.started());
    int saved = 0, refused = 0;
    const auto end = std::chrono::steady_clock::now() + kFor;
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        auto item = rig.items()->Add();
        item->setSubject("Ours " + std::to_string(i));
        try {
            item->Save();
            ++saved;
        } catch (const Error&) {
            ++refused;  // the file read as less than before, or kept changing: written later
        }
    }
    const int theirs = other.wait();
    ASSERT_TRUE(theirs >= 0 && theirs < 255) << theirs;
    const std::string text = rig.text();
    std::string lost;  // the numbers of theirs the file no longer has
    for (int n = 0; n < theirs; ++n)
        if (!contains(text, "UID:theirs-" + std::to_string(n) + "\r\n")) lost += " " + std::to_string(n);
    EXPECT_EQ(lost, "") << "of " << theirs;
    EXPECT_GT(saved, 0);
    const int ours = rig.items()->Restrict("[Subject] <> 'Theirs'")->Count();
    std::cout << "their saves " << theirs << ", lost:" << (lost.empty() ? " none" : lost) << "; ours " << saved << " saved (" << ours - 1
              << " still in the file after their saves over them), " << refused << " refused\n";
}

TEST(OutlookCalendarFile, TwoProcessesSavingIntoOneFileLoseNothing) {
    test::CalendarRig rig;
    constexpr int kEach = 25;
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int failed = 0;
            try {
                auto items = outlook::openCalendar(rig.options())->GetNamespace("MAPI")->GetDefaultFolder(9)->Items();
                for (int i = 0; i < kEach; ++i) {
                    auto item = items->Add();
                    item->setSubject("Process " + std::to_string(child) + " item " + std::to_string(i));
                    item->Save();
                }
            } catch (...) {
                failed = 1;
            }
            ::_exit(failed);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto items = rig.items();
    ASSERT_EQ(items->Count(), 2 * kEach);
    for (int child = 0; child < 2; ++child)
        for (int i = 0; i < kEach; ++i)
            EXPECT_EQ(items->Restrict("[Subject] = 'Process " + std::to_string(child) + " item " + std::to_string(i) + "'")->Count(), 1);
}

TEST(OutlookCalendarFile, TheFileIsMadeAtTheFirstWriteAndKeepsItsId) {
    test::CalendarRig rig;
    auto options = rig.options();
    options.file = rig.folder() / "deep" / "er" / "Outlook.ics";
    EXPECT_EQ(openCalendar(options)->GetNamespace("MAPI")->GetDefaultFolder(9)->Items()->Count(), 0);
    EXPECT_FALSE(fs::exists(options.file));  // reading makes nothing

    const std::string id = openCalendar(options)->GetNamespace("MAPI")->GetDefaultFolder(9)->EntryID();
    EXPECT_FALSE(id.empty());
    ASSERT_TRUE(fs::exists(options.file));
    struct stat st {};
    ASSERT_EQ(::stat(options.file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    auto item = openCalendar(options)->GetNamespace("MAPI")->GetDefaultFolder(9)->Items()->Add();
    item->Save();
    EXPECT_EQ(openCalendar(options)->GetNamespace("MAPI")->GetDefaultFolder(9)->EntryID(), id);

    // A calendar another program made gets an id once, and keeps all it had.
    rig.write(kTheirs);
    const std::string theirs = rig.app()->GetNamespace("MAPI")->GetDefaultFolder(9)->EntryID();
    EXPECT_FALSE(theirs.empty());
    EXPECT_EQ(rig.app()->GetNamespace("MAPI")->GetDefaultFolder(9)->EntryID(), theirs);
    EXPECT_EQ(rig.items()->Count(), 3);
}

TEST(OutlookCalendarFile, EventsWithoutUidKeepOneIdAcrossReadings) {
    test::CalendarRig rig;
    rig.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nDTSTAMP:20240301T120000Z\r\n"
              "DTSTART:20240306T090000\r\nSUMMARY:No id\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const std::string id = rig.items()->Item(1)->EntryID();
    EXPECT_FALSE(id.empty());
    EXPECT_EQ(rig.items()->Item(1)->EntryID(), id);
    rig.add("Other", at(2024, 3, 7));
    EXPECT_TRUE(contains(rig.text(), "UID:" + id + "\r\n"));
    EXPECT_EQ(bySubject(rig, "No id")->EntryID(), id);
}

// Its lock and temporary files lie beside the file the link leads to, where a
// calendar program that opens that file takes its own; a killed write of ours
// left one, which the next connection removes.
TEST(OutlookCalendarFile, ACalendarKeptElsewhereThroughALinkStaysALink) {
    test::CalendarRig rig;
    const fs::path elsewhere = rig.folder() / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path real = elsewhere / "real.ics";
    fs::create_symlink(fs::path("elsewhere") / "real.ics", rig.file());
    std::ofstream(elsewhere / ".real.ics.wendra-Ab12Cd") << "BEGIN:VCALENDAR\r\n";
    std::ofstream(elsewhere / ".real.ics.Ab12Cd") << "another program's";
    rig.add("Through the link", at(2024, 3, 6));
    EXPECT_TRUE(fs::is_symlink(rig.file()));
    EXPECT_TRUE(fs::exists(real));
    EXPECT_EQ(bySubject(rig, "Through the link")->Subject(), "Through the link");
    EXPECT_EQ(folderEntries(elsewhere), (std::vector<std::string>{".real.ics.Ab12Cd", ".real.ics.lock", "real.ics"}));
    EXPECT_EQ(folderEntries(rig.folder()), (std::vector<std::string>{"Outlook.ics", "elsewhere"}));
}

// The superuser saving a user's calendar leaves it the user's, and the lock file it
// made keeps that user out of nothing.
TEST(OutlookCalendarFile, ASaveKeepsTheOwnerAndItsLockFileKeepsNoOneOut) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can save another user's file";
    constexpr uid_t kUser = 4321;
    test::CalendarRig rig;
    rig.add("First", at(2024, 3, 6));
    ASSERT_EQ(::chown(rig.file().c_str(), kUser, kUser), 0);
    fs::permissions(rig.folder(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    rig.add("Second", at(2024, 3, 7));
    struct stat st {};
    ASSERT_EQ(::stat(rig.file().c_str(), &st), 0);
    EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(kUser, static_cast<gid_t>(kUser)));
    test::ChildProcess user([&] {
        if (::setgid(kUser) != 0 || ::setuid(kUser) != 0) return 2;
        try {
            CalendarLock lock(rig.file(), std::chrono::milliseconds(0));
            return 0;
        } catch (const Error&) {
            return 1;
        }
    });
    EXPECT_EQ(user.wait(), 0);
}

TEST(OutlookCalendarFile, TheFileLivesInTheUsersDataFolderUnlessNamed) {
    struct Row {
        const char *named, *data, *home;
        const char* expected;
    };
    const std::vector<Row> rows{
        {"/elsewhere/mine.ics", "/data", "/home/u", "/elsewhere/mine.ics"},
        {nullptr, "/data", "/home/u", "/data/WendraWin/Outlook.ics"},
        {"", "/data", "/home/u", "/data/WendraWin/Outlook.ics"},
        {nullptr, "relative", "/home/u", "/home/u/.local/share/WendraWin/Outlook.ics"},
        {nullptr, nullptr, "/home/u", "/home/u/.local/share/WendraWin/Outlook.ics"},
    };
    for (const Row& row : rows) {
        test::EnvironmentOverride env(kCalendarFileVariable, row.named);
        env.set("XDG_DATA_HOME", row.data);
        env.set("HOME", row.home);
        EXPECT_EQ(defaultCalendarFile(), fs::path(row.expected));
    }
}
