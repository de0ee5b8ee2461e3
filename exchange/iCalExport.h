#pragma once

// The calendar text writer: every text the program sends to the device. One
// vCalendar 1.0 block per event or request, the reply to the device's clock,
// and the block that ends an export. Lines are joined by CR LF and no block
// ends with one; the caller adds the zero byte that ends a message.
//
// What comes out is the wire's 8-bit text (Windows-1252): a character the code
// page lacks is written as "?", and the exact description goes in UTF-8 hex
// beside it.

#include <optional>
#include <string>

#include "exchange/clsCalendar.h"
#include "platform/clock/DateTime.h"
#include "store/clsCalEvent.h"

namespace wendra {

class iCalExport {
public:
    // Answers to the device's clock and version (syncTime).
    static constexpr int kSyncOK = 0;
    static constexpr int kSyncIncompatibleVersion = 1;
    static constexpr int kSyncIncompatibleTime = 2;

    // `webAddress`: the maker's address for the product id line.
    explicit iCalExport(std::string webAddress) : webAddress_(std::move(webAddress)) {}

    // The whole VCALENDAR block of the event into sExportText; always true.
    bool Export(const clsCalEvent& oEv, std::string& sExportText) const;
    std::string ExportEnd() const;
    std::string syncTime(const clsCalendar& oCal, int nStatus) const;
    // A compact date that nothing reads: the year as two characters (its
    // code divided by 255, then the remainder), month and day one character
    // each, then hour and minute the same way or ".". The characters are bytes.
    static std::string KSP_encodeDate(DateTime dtDate, bool bIncludeTime);

    // ---- the parts of an event block ------------------------------------------
    static std::string methodText(int updateRequest);
    std::string productId() const;
    // The RRULE value for a rule the device can edit ("MD1 LD #12"), when the
    // device, reading it as the reader here does, gets the same occurrences;
    // nullopt when the event takes the day map instead: a rule the device
    // cannot edit, one the 1.0 grammar reads as another (monthly from the
    // 29th to 31st), more than 999 occurrences, or none left.
    static std::optional<std::string> vcalRRule(const clsCalEvent& ev);
    // The run-length coded day map of the event's occurrences from the day
    // after its view date; empty when no day is in it.
    static std::string eventMap2(const clsCalEvent& ev);
    // "400x" runs: each run of one character as its length (when above 1) and
    // a letter, "x" for "1", "o" for "0", "r" for "r", 400 days at most a run.
    static std::string runLengthMap(const std::string& days);

private:
    std::string webAddress_;
    std::string separator_ = "\r\n";
};

}  // namespace wendra
