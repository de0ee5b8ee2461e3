#pragma once

// The calendar object model that Outlook mode drives: application, namespace,
// calendar folder, item collections, appointments, recurrence patterns, their
// exceptions and user properties. Members keep the automation names and
// numbering (1-based collections, the folder and type constants), properties
// read as Name() and write as setName(). Every failure is an Error carrying a
// number, a description and a source, as automation errors do.
//
// Objects are shared handles: a collection, an appointment or a pattern stays
// valid while anyone holds it. Every class is abstract so that tests can wrap
// the real implementation and make any member fail.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "platform/clock/DateTime.h"

namespace wendra::outlook {

// GetDefaultFolder: the calendar.
inline constexpr int olFolderCalendar = 9;

// RecurrencePattern::RecurrenceType. A rule that no pattern type can show
// exactly (a rule made by another calendar program) reads olRecursOther.
inline constexpr int olRecursOther = -1;
inline constexpr int olRecursDaily = 0;
inline constexpr int olRecursWeekly = 1;
inline constexpr int olRecursMonthly = 2;
inline constexpr int olRecursMonthNth = 3;
inline constexpr int olRecursYearly = 5;
inline constexpr int olRecursYearNth = 6;

// DayOfWeekMask bits.
inline constexpr int olSunday = 1;
inline constexpr int olMonday = 2;
inline constexpr int olTuesday = 4;
inline constexpr int olWednesday = 8;
inline constexpr int olThursday = 16;
inline constexpr int olFriday = 32;
inline constexpr int olSaturday = 64;

// AppointmentItem::RecurrenceState.
inline constexpr int olApptNotRecurring = 0;
inline constexpr int olApptMaster = 1;
inline constexpr int olApptOccurrence = 2;
inline constexpr int olApptException = 3;

// UserProperties::Add types.
inline constexpr int olText = 1;
inline constexpr int olNumber = 3;
inline constexpr int olDateTime = 5;
inline constexpr int olYesNo = 6;

// The date a time that was never set reads as: an unsaved item's creation and
// modification times, the end of a pattern without end.
DateTime noDate();
// The day pattern times of day are read on.
DateTime patternTimeDay();

// An automation error.
class Error : public std::runtime_error {
public:
    Error(long number, std::string description, std::string source);
    long Number() const { return number_; }
    const std::string& Description() const { return description_; }
    const std::string& Source() const { return source_; }

private:
    long number_;
    std::string description_;
    std::string source_;
};

// The value of a user property: text, number, date-time or yes/no.
using PropertyValue = std::variant<std::string, double, DateTime, bool>;

class AppointmentItem;

class UserProperty {
public:
    virtual ~UserProperty() = default;
    virtual std::string Name() = 0;
    virtual int Type() = 0;
    // Read as the property's type; a value written is converted to that type
    // and raises when it cannot be.
    virtual PropertyValue Value() = 0;
    virtual void setValue(const PropertyValue& value) = 0;
};

class UserProperties {
public:
    virtual ~UserProperties() = default;
    virtual int Count() = 0;
    virtual std::shared_ptr<UserProperty> Item(int index) = 0;
    // No object (nullptr) when the item has no property of that name; names
    // compare without regard to case.
    virtual std::shared_ptr<UserProperty> Find(const std::string& name) = 0;
    // Raises when the name is taken or the type is not one of the four.
    virtual std::shared_ptr<UserProperty> Add(const std::string& name, int type) = 0;
};

// One changed or deleted occurrence of a series.
class Exception {
public:
    virtual ~Exception() = default;
    virtual bool Deleted() = 0;
    // The start the occurrence has in the series.
    virtual DateTime OriginalDate() = 0;
    // The changed occurrence; raises for a deleted one.
    virtual std::shared_ptr<outlook::AppointmentItem> AppointmentItem() = 0;
};

class Exceptions {
public:
    virtual ~Exceptions() = default;
    virtual int Count() = 0;
    virtual std::shared_ptr<Exception> Item(int index) = 0;
};

class RecurrencePattern {
public:
    virtual ~RecurrencePattern() = default;

    virtual int RecurrenceType() = 0;
    virtual void setRecurrenceType(int type) = 0;
    // Yearly types count in months: 12 is every year.
    virtual int Interval() = 0;
    virtual void setInterval(int interval) = 0;
    virtual int DayOfWeekMask() = 0;
    virtual void setDayOfWeekMask(int mask) = 0;
    // 1 to 4 the first to fourth, 5 the last.
    virtual int Instance() = 0;
    virtual void setInstance(int instance) = 0;
    // A day beyond a month's length falls on its last day.
    virtual int DayOfMonth() = 0;
    virtual void setDayOfMonth(int day) = 0;
    virtual int MonthOfYear() = 0;
    virtual void setMonthOfYear(int month) = 0;

    virtual DateTime PatternStartDate() = 0;
    virtual void setPatternStartDate(DateTime date) = 0;
    // One end setting read three ways: a count, a last day, or none.
    virtual DateTime PatternEndDate() = 0;
    virtual void setPatternEndDate(DateTime date) = 0;
    virtual bool NoEndDate() = 0;
    virtual void setNoEndDate(bool noEnd) = 0;
    virtual int Occurrences() = 0;
    virtual void setOccurrences(int count) = 0;

    // Times of day, read on patternTimeDay(); a date given with them is ignored.
    virtual DateTime StartTime() = 0;
    virtual void setStartTime(DateTime time) = 0;
    virtual DateTime EndTime() = 0;
    virtual void setEndTime(DateTime time) = 0;
    // Minutes.
    virtual long Duration() = 0;
    virtual void setDuration(long minutes) = 0;

    virtual std::shared_ptr<outlook::Exceptions> Exceptions() = 0;
    // The occurrence that starts exactly then (a moved one at its new start);
    // raises for a deleted occurrence or none.
    virtual std::shared_ptr<AppointmentItem> GetOccurrence(DateTime start) = 0;
};

class AppointmentItem {
public:
    virtual ~AppointmentItem() = default;

    // Empty until the first Save; an occurrence has its series' id.
    virtual std::string EntryID() = 0;
    virtual std::string Subject() = 0;
    virtual void setSubject(const std::string& subject) = 0;
    virtual DateTime Start() = 0;
    virtual void setStart(DateTime start) = 0;
    // An all-day item starts at midnight and lasts whole days; a start or a
    // duration that breaks that makes it a timed item.
    virtual bool AllDayEvent() = 0;
    virtual void setAllDayEvent(bool allDay) = 0;
    virtual long Duration() = 0;
    virtual void setDuration(long minutes) = 0;
    virtual bool ReminderSet() = 0;
    virtual void setReminderSet(bool set) = 0;
    // The time of the last Save, to the second; noDate() before the first.
    virtual DateTime LastModificationTime() = 0;
    virtual DateTime CreationTime() = 0;
    virtual bool IsRecurring() = 0;
    // A one-off, a series, one of its occurrences, or a changed occurrence.
    virtual int RecurrenceState() = 0;
    // On a one-off this creates a weekly pattern from the item, which makes it
    // recurring at its next Save.
    virtual std::shared_ptr<RecurrencePattern> GetRecurrencePattern() = 0;
    virtual void ClearRecurrencePattern() = 0;
    virtual std::shared_ptr<outlook::UserProperties> UserProperties() = 0;
    virtual void Save() = 0;
    // A series goes with all its occurrences; an occurrence alone leaves the series.
    virtual void Delete() = 0;
    // Opens the appointment window; returns when the user closes it.
    virtual void Display(bool modal) = 0;

    // Not an automation member: puts back, when called, the changes the item
    // holds now, so that a Save the calendar refused leaves none of what was
    // tried in it (a pattern included, which no setter gives back as it was).
    // Empty for an item that cannot.
    virtual std::function<void()> keepChanges() { return {}; }
};

class Items {
public:
    virtual ~Items() = default;
    virtual int Count() = 0;
    virtual std::shared_ptr<AppointmentItem> Item(int index) = 0;
    // The walk; no object past the end.
    virtual std::shared_ptr<AppointmentItem> GetFirst() = 0;
    virtual std::shared_ptr<AppointmentItem> GetNext() = 0;
    // A new, unsaved appointment of the folder.
    virtual std::shared_ptr<AppointmentItem> Add() = 0;
    // The items that meet the filter ("[Subject] = 'x'", "[CreationTime] > '...'
    // AND ...").
    virtual std::shared_ptr<Items> Restrict(const std::string& filter) = 0;
    virtual void Sort(const std::string& property, bool descending = false) = 0;
    // Sorted by [Start], the collection lists every occurrence of a series.
    virtual bool IncludeRecurrences() = 0;
    virtual void setIncludeRecurrences(bool include) = 0;
};

class MAPIFolder {
public:
    virtual ~MAPIFolder() = default;
    virtual std::string EntryID() = 0;
    virtual std::shared_ptr<outlook::Items> Items() = 0;
};

class NameSpace {
public:
    virtual ~NameSpace() = default;
    virtual std::shared_ptr<MAPIFolder> GetDefaultFolder(int folderType) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual std::string Name() = 0;
    virtual std::string Version() = 0;
    virtual std::shared_ptr<NameSpace> GetNamespace(const std::string& type) = 0;
};

// What the program creates its application objects through ("Outlook.Application").
class Automation {
public:
    virtual ~Automation() = default;
    virtual std::shared_ptr<Application> CreateObject(const std::string& progId) = 0;
};

// The appointment window that Display opens.
class AppointmentWindow {
public:
    virtual ~AppointmentWindow() = default;
    virtual void show(AppointmentItem& item) = 0;
};

}  // namespace wendra::outlook
