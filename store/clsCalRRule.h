#pragma once

// One recurrence rule of an event, with the parts of an iCalendar RRULE:
// frequency, interval, count, until, the BY lists and the week start.
//
// Each BY list keeps two forms: the text as it was written (which the rule
// column stores) and the parsed items (which the expansion reads). Writing the
// text rebuilds the items; the Add members grow the items only, so values the
// expansion fills in from the event's start never reach the stored text.
//
// Element members count from 1 as the callers do; an index outside 1..Count
// throws std::out_of_range.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock/DateTime.h"

namespace wendra {

class clsCalRRule {
public:
    // Frequency codes.
    static constexpr int kYearly = 0;
    static constexpr int kMonthly = 1;
    static constexpr int kWeekly = 2;
    static constexpr int kDaily = 3;
    static constexpr int kHourly = 4;
    static constexpr int kMinutely = 5;
    static constexpr int kSecondly = 6;
    static constexpr int kNone = 7;

    clsCalRRule() = default;

    // ---- plain properties ---------------------------------------------------
    bool isValid() const { return isValid_; }
    void setIsValid(bool v) { isValid_ = v; }
    // 0 a recurrence rule (RRULE); any other value an exclusion rule (EXRULE).
    int RRuleType() const { return rruleType_; }
    void setRRuleType(int v) { rruleType_ = v; }
    int Frequency() const { return frequency_; }
    void setFrequency(int v) { frequency_ = v; }
    // A 16-bit value: a larger one is clamped.
    int Interval() const { return interval_; }
    void setInterval(int v);
    // 0 = no count.
    int DurationCount() const { return durationCount_; }
    void setDurationCount(int v) { durationCount_ = v; }
    // Weekday counted from Sunday = 1; a 16-bit value, clamped.
    int WeekStartDay() const { return weekStartDay_; }
    void setWeekStartDay(int v);

    // The null date means no end.
    DateTime DurationUntil() const { return durationUntil_; }
    bool DurationUntil_AllDay() const { return durationUntilAllDay_; }
    void setDurationUntil(DateTime until, bool allDay) {
        durationUntil_ = until;
        durationUntilAllDay_ = allDay;
    }

    // ---- BY lists -----------------------------------------------------------
    // Number lists: an item that is no number within 16 bits is left out of the
    // items (the text keeps it).
    const std::string& ByMonth() const { return byMonth_.text; }
    void setByMonth(std::string_view text) { byMonth_.assign(text); }
    int ByMonthCount() const { return byMonth_.count(); }
    int ByMonthElement(int i) const { return byMonth_.element(i); }
    std::vector<int> ByMonthArray() const { return byMonth_.items; }
    void ByMonthAdd(int value) { byMonth_.items.push_back(value); }

    const std::string& ByWeekNo() const { return byWeekNo_.text; }
    void setByWeekNo(std::string_view text) { byWeekNo_.assign(text); }
    int ByWeekNoCount() const { return byWeekNo_.count(); }
    int ByWeekNoElement(int i) const { return byWeekNo_.element(i); }
    std::vector<int> ByWeekNoArray() const { return byWeekNo_.items; }
    void ByWeekNoAdd(int value) { byWeekNo_.items.push_back(value); }

    const std::string& ByYearDay() const { return byYearDay_.text; }
    void setByYearDay(std::string_view text) { byYearDay_.assign(text); }
    int ByYearDayCount() const { return byYearDay_.count(); }
    int ByYearDayElement(int i) const { return byYearDay_.element(i); }
    std::vector<int> ByYearDayArray() const { return byYearDay_.items; }
    void ByYearDayAdd(int value) { byYearDay_.items.push_back(value); }

    const std::string& ByMonthDay() const { return byMonthDay_.text; }
    void setByMonthDay(std::string_view text) { byMonthDay_.assign(text); }
    int ByMonthDayCount() const { return byMonthDay_.count(); }
    int ByMonthDayElement(int i) const { return byMonthDay_.element(i); }
    std::vector<int> ByMonthDayArray() const { return byMonthDay_.items; }
    void ByMonthDayAdd(int value) { byMonthDay_.items.push_back(value); }

    // Weekday codes with an optional signed ordinal (MO, 2TU, -1FR), kept as
    // texts exactly as written between the commas.
    const std::string& ByDay() const { return byDay_.text; }
    void setByDay(std::string_view text) { byDay_.assign(text); }
    int ByDayCount() const { return byDay_.count(); }
    const std::string& ByDayElement(int i) const { return byDay_.element(i); }
    std::vector<std::string> ByDayArray() const { return byDay_.items; }
    void ByDayAdd(std::string value) { byDay_.items.push_back(std::move(value)); }

    const std::string& ByHour() const { return byHour_.text; }
    void setByHour(std::string_view text) { byHour_.assign(text); }
    int ByHourCount() const { return byHour_.count(); }
    int ByHourElement(int i) const { return byHour_.element(i); }
    std::vector<int> ByHourArray() const { return byHour_.items; }
    void ByHourAdd(int value) { byHour_.items.push_back(value); }

    const std::string& ByMinute() const { return byMinute_.text; }
    void setByMinute(std::string_view text) { byMinute_.assign(text); }
    int ByMinuteCount() const { return byMinute_.count(); }
    int ByMinuteElement(int i) const { return byMinute_.element(i); }
    std::vector<int> ByMinuteArray() const { return byMinute_.items; }
    void ByMinuteAdd(int value) { byMinute_.items.push_back(value); }

    const std::string& BySecond() const { return bySecond_.text; }
    void setBySecond(std::string_view text) { bySecond_.assign(text); }
    int BySecondCount() const { return bySecond_.count(); }
    int BySecondElement(int i) const { return bySecond_.element(i); }
    std::vector<int> BySecondArray() const { return bySecond_.items; }
    void BySecondAdd(int value) { bySecond_.items.push_back(value); }

    const std::string& BySetPos() const { return bySetPos_.text; }
    void setBySetPos(std::string_view text) { bySetPos_.assign(text); }
    std::vector<int> BySetPosArray() const { return bySetPos_.items; }
    void BySetPosAdd(int value) { bySetPos_.items.push_back(value); }

    // ---- month-end questions ------------------------------------------------
    // The last day of every month: MONTHLY, BySetPos "-1", and either the
    // month days 28, 29, 30 and 31 or all seven plain weekday codes.
    bool isMonthEnd() const;
    // MONTHLY, BySetPos "-1", month days 28-29, 28-30 or 28-31 and none below 28.
    bool isMonth29Plus() const;

    bool operator==(const clsCalRRule&) const = default;

private:
    // The text as written and its parsed items.
    struct NumberList {
        std::string text;
        std::vector<int> items;
        void assign(std::string_view t);
        int count() const { return static_cast<int>(items.size()); }
        int element(int i) const;
        bool operator==(const NumberList&) const = default;
    };
    struct TextList {
        std::string text;
        std::vector<std::string> items;
        void assign(std::string_view t);
        int count() const { return static_cast<int>(items.size()); }
        const std::string& element(int i) const;
        bool operator==(const TextList&) const = default;
    };

    bool isValid_ = false;
    int rruleType_ = 0;
    int frequency_ = kNone;
    int interval_ = 1;
    int durationCount_ = 0;
    DateTime durationUntil_;
    bool durationUntilAllDay_ = true;
    NumberList byMonth_, byWeekNo_, byYearDay_, byMonthDay_;
    TextList byDay_;
    NumberList byHour_, byMinute_, bySecond_, bySetPos_;
    int weekStartDay_ = 2;
};

}  // namespace wendra
