#pragma once

// The calendar text reader: one message from the device, held in memory, read
// line by line into a clsCalendar and clsCalEvent objects. It reads the three
// private blocks of the exchange (SYNC-TIME, SYNC-DATA, CONFIRM) and vCalendar
// 1.0 or iCalendar 2.0 calendars with their events and both rule grammars, and
// raises an end event for each block and event, synchronously.
//
// Matching: a line's key is the line without blanks, in upper case; a property
// matches when the key begins with its name. Its value is the text after the
// first colon that no backslash precedes, trimmed.
//
// Nothing the device sends can stop a read: a value that cannot be read is
// skipped (or held within its range) and logged, and the block still ends with
// its end event. No exception leaves the reader.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/clsCalendar.h"
#include "exchange/clsImportLog.h"
#include "exchange/iCalImportEvents.h"
#include "exchange/iCalImportZones.h"
#include "exchange/iCalLineReader.h"
#include "store/clsCalEvent.h"

namespace wendra {

class iCalImport {
public:
    iCalImport(iCalImportListener& listener, iCalImportHost& host) : listener_(listener), host_(host) {}

    // Each read takes one whole message and answers whether its BEGIN line was
    // seen. Lines before it are ignored; after the END line the block is over
    // until another BEGIN line opens it again.
    bool readSyncTime(std::string_view message, clsImportLog& log);
    // The list of the device's events. Its header (program uid, id prefix)
    // may stand anywhere in the block: the entries are collected and handed
    // on at the END line, in their order, after the header has been acted on.
    bool readSyncData(std::string_view message, clsImportLog& log);
    bool Confirmation(std::string_view message, clsImportLog& log);
    bool readVCal(std::string_view message, clsImportLog& log);

    // The event being read (during its end event too), else nullptr.
    const clsCalEvent* CalEvent() const { return event_; }
    // The calendar of the last read.
    const clsCalendar& Calendar() const { return calendar_; }

    // No character outside "0" to "9" (so the empty text counts as digits).
    static bool isDigits(std::string_view text);
    // The text as a whole number; the default for what is no number or does
    // not fit in 16 bits.
    static int safeCInt(std::string_view text, int defaultValue);

    // A rule value read into a new rule of the event, in the vCalendar 1.0
    // grammar ("MD1 LD #12") or the iCalendar 2.0 one ("FREQ=WEEKLY;..."). A
    // rule that cannot be read is taken off the event again.
    static void parseVCalRRule(clsCalEvent& ev, std::string_view value, clsImportLog& log);
    static void parseICalRRule(clsCalEvent& ev, std::string_view value, clsImportLog& log);

    // The value of a line: after the first unescaped colon, trimmed; empty
    // when the line has no such colon.
    static std::string propertyValue(std::string_view line);

private:
    struct Line {
        std::string text;
        std::string key;
    };

    // What is known of the event being read, until its END line decides.
    struct EventReading {
        bool hasUid = false;
        bool hasStart = false;
        int nestedDepth = 0;  // inside a VALARM or another component of the event
        std::optional<std::string> hexSummary, summary, description;
        // Kept here and given to the event at its end: a list copied into the
        // event at every line made thousands of one-date lines take quadratic time.
        std::string rDates, exDates;
        // Days the start moved when its zone's time became local time.
        std::int64_t startDayShift = 0;
        // A timed start written in a zone ("" for UTC): that zone, the time
        // as written there and the seconds the turn into local time moved it.
        std::optional<std::string> startZone;
        DateTime startWall;
        std::int64_t startMove = 0;
    };

    // The shared loop: the lines before `begin` passed over, then every line
    // through `inside`, each one apart, so that whatever goes wrong with one
    // is logged as `errorText` and the next is read. `inside` clears `open`
    // at the block's END and answers false to stop the read. Answers whether
    // the BEGIN line was seen.
    template <typename Handler>
    bool readBlock(std::string_view message, clsImportLog& log, const char* begin, const char* errorText,
                   Handler&& inside);

    void syncDataLine(const Line& line, clsImportLog& log, bool& open);
    void handOnSyncList(clsImportLog& log);
    // False when the read must stop (an unsupported version).
    bool vcalLine(const Line& line, clsImportLog& log, bool& open);
    void eventLine(const Line& line, clsImportLog& log);
    void endEvent(clsImportLog& log, bool closed);
    void registerCalendar(const std::string& uid, clsImportLog& log, const std::string& line);
    void appendDates(std::string& list, const Line& line, clsImportLog& log);
    // A date value of the line, a time in a named zone (TZID) turned into local time.
    std::optional<DateTime> lineDate(const std::string& value, const std::optional<std::string>& tzid,
                                     clsImportLog& log, const Line& line) const;
    // The local time of a wall-clock time in the start's zone.
    std::optional<DateTime> startZoneToLocal(DateTime wall) const;
    // A local time of the dates that go with a zoned start, moved onto the
    // slots the store repeats the start at.
    DateTime onStartSlots(DateTime local) const;
    void datesOnStartSlots(clsCalEvent& ev);
    // A timed UNTIL earlier in its day than the rule's first time there ends
    // the rule the day before: the store's UNTIL holds its whole day.
    static void untilsBeforeTheirDay(clsCalEvent& ev);
    // Plain weekdays of the rules moved with a start that moved to another day.
    static void shiftWeekdays(clsCalEvent& ev, std::int64_t days);

    iCalImportListener& listener_;
    iCalImportHost& host_;
    clsCalendar calendar_;
    clsCalEvent* event_ = nullptr;
    EventReading reading_;
    iCalZones zones_;
    bool inZone_ = false;
    // The list's header and how far its entries were handed on.
    std::string listUid_;
    bool listUidPending_ = false;
    bool listStarted_ = false;
    int listHandedOn_ = 0;
};

}  // namespace wendra
