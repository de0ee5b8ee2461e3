#pragma once

// The one in-memory form of an event that every part of the program passes
// around: the store fills it from a row and writes it back, the list builds
// rows from its occurrences, the dialogs edit it, the synchronisation and the
// Outlook code read and build it.
//
// A copyable value. Nothing here checks one field against another: callers
// keep IsRecurring in step with the rule count, hasExceptions with
// DescExceptions and AllDayEvent with the form of the date texts.
//
// The Outlook appointment and occurrence that an event came from are not held
// here: the Outlook binding keeps them beside the event, so that an event stays
// a plain value that can be copied, compared and stored.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock/DateTime.h"
#include "store/clsCalRRule.h"
#include "store/iCalMapWalk.h"
#include "store/modFuncs.h"

namespace wendra {

class clsCalEvent {
public:
    // Pending actions (UpdateRequest).
    static constexpr int kRequestNone = 0;
    static constexpr int kRequestDeleteEvent = 1;
    static constexpr int kRequestDeleteOccurrence = 2;
    static constexpr int kRequestHideEvent = 3;
    static constexpr int kRequestHideOccurrence = 4;
    static constexpr int kRequestToDevice = 6;
    static constexpr int kRequestFromDevice = 7;

    // A new event starts today at 00:00, all day, with the default prior
    // warning and manual deletion, created now. `xCalendarId` is the calendar
    // of the store that makes it; -1 is the local calendar.
    explicit clsCalEvent(int xCalendarId = -1);

    // ---- plain properties ---------------------------------------------------
    bool Modified() const { return modified_; }
    void setModified(bool v) { modified_ = v; }
    const std::string& Description() const { return description_; }
    void setDescription(std::string v) { description_ = std::move(v); }
    // Entries of TAB, fourteen digits of the occurrence's date-time, "=" and
    // its description; the last entry is followed by a closing TAB.
    const std::string& DescExceptions() const { return descExceptions_; }
    void setDescExceptions(std::string v) { descExceptions_ = std::move(v); }
    bool hasExceptions() const { return hasExceptions_; }
    void setHasExceptions(bool v) { hasExceptions_ = v; }
    bool AllDayEvent() const { return allDayEvent_; }
    void setAllDayEvent(bool v) { allDayEvent_ = v; }
    DateTime EventStart() const { return eventStart_; }
    void setEventStart(DateTime v) { eventStart_ = v; }
    // The null date when nothing of the event is left to show.
    DateTime ViewFromDate() const { return viewFromDate_; }
    void setViewFromDate(DateTime v) { viewFromDate_ = v; }
    // Whole days; kept in 32 bits, read within 16.
    int PriorWarning() const;
    void setPriorWarning(int days) { priorWarning_ = days; }
    bool PriorWarningIsDefault() const { return priorWarningIsDefault_; }
    void setPriorWarningIsDefault(bool v) { priorWarningIsDefault_ = v; }
    // "M" manual, or a digit: delete that many days after an occurrence passed.
    const std::string& AutoDelete() const { return autoDelete_; }
    void setAutoDelete(std::string v) { autoDelete_ = std::move(v); }
    const std::string& ExDates() const { return exDates_; }
    void setExDates(std::string v) { exDates_ = std::move(v); }
    const std::string& HiddenList() const { return hiddenList_; }
    void setHiddenList(std::string v) { hiddenList_ = std::move(v); }
    // The key in the store; empty for an event not yet stored.
    const std::string& WendraWinId() const { return wendraWinId_; }
    void setWendraWinId(std::string v) { wendraWinId_ = std::move(v); }
    int XCalendarId() const { return xCalendarId_; }
    void setXCalendarId(int v) { xCalendarId_ = v; }
    // The id in a foreign calendar.
    const std::string& XID() const { return xid_; }
    void setXID(std::string v) { xid_ = std::move(v); }
    // 16-bit values: a larger one is clamped.
    int CreatorId() const { return creatorId_; }
    void setCreatorId(int v);
    int EventFormat() const { return eventFormat_; }
    void setEventFormat(int v);
    DateTime LastModified() const { return lastModified_; }
    void setLastModified(DateTime v) { lastModified_ = v; }
    DateTime Created() const { return created_; }
    void setCreated(DateTime v) { created_ = v; }
    DateTime MSOCreated() const { return msoCreated_; }
    void setMSOCreated(DateTime v) { msoCreated_ = v; }
    int UpdateRequest() const { return updateRequest_; }
    void setUpdateRequest(int v) { updateRequest_ = v; }
    bool IsRecurring() const { return isRecurring_; }
    void setIsRecurring(bool v) { isRecurring_ = v; }

    // ---- date lists ---------------------------------------------------------
    // Comma lists of date texts: eight digits for an all-day occurrence, the
    // long form with "T" for a timed one.
    const std::string& RDates() const { return rDates_; }
    void setRDates(std::string v) { rDates_ = std::move(v); }
    // The RDates items, each once, in order. Derived from RDates on every call,
    // so it can never disagree with the text.
    std::vector<std::string> RDatesArray() const;
    // ExDates and HiddenList (each when asked) as one list of items, each once.
    std::vector<std::string> ExAndHiddenDatesArray(bool includeExDates, bool includeHidden) const;
    // Append the date's text; duplicates are not removed.
    void AddExDate(DateTime date, bool allDay);
    void AddHidden(DateTime date, bool allDay);
    // Removes every item that is the date's text.
    void removeRDate(DateTime date, bool allDay);
    // Removes the date from HiddenList in both its all-day and its timed form.
    void removeHiddenDate(DateTime date);
    // Drops hidden dates earlier than both ViewFromDate and today, and items
    // that are no date.
    void CleanHiddenList();
    // Drops removed dates earlier than both a year before today and a year
    // before ViewFromDate, and items that are no date.
    void CleanDeletedList();

    // ---- row key ------------------------------------------------------------
    // The tagged text that keys the event's list row and its queued requests:
    // Desc, XId, Id, Recur, Strt, Occr, OcDesc, MSO. Texts that come from the
    // user or another calendar are written with tagSafe, so none of them can
    // put a tag of its own in the key; read them with gridKeyValue.
    std::string GridKey() const;

    // ---- rules --------------------------------------------------------------
    // A new rule with start values, appended; the reference lives until the
    // next addRRule or deleteRRule.
    clsCalRRule& addRRule();
    // Index from 1; an index outside 1..RRulesCount does nothing.
    void deleteRRule(int index);
    int RRulesCount() const { return static_cast<int>(rules_.size()); }
    // Index from 1; nullptr outside 1..RRulesCount.
    clsCalRRule* RRule(int index);
    const clsCalRRule* RRule(int index) const;
    const std::vector<clsCalRRule>& RRules() const { return rules_; }

    // ---- editing and deletion -----------------------------------------------
    // Whether the program's own editor, which shows at most one simple yearly,
    // monthly, month-end, weekly or daily rule, can show the event.
    bool isEditableQVR() const;
    // The whole event (request 1), or one occurrence (request 2): an extra date
    // leaves RDates, any other occurrence joins ExDates. LastModified = now.
    void MarkDelete(bool wholeEvent, DateTime occurrenceDate, bool allDayOccurrence);

    // ---- current occurrence -------------------------------------------------
    // The occurrence the walk stands on.
    DateTime OccurDate() const { return occurDate_; }
    // The occurrence's own text, or Description when that is blank.
    std::string OccurDesc() const;
    bool endOfOccurs() const { return endOfOccurs_; }
    bool AllDayOccur() const { return allDayOccur_; }
    // Stands the event on a known occurrence without a walk, for callers that
    // key one occurrence they already have (and for tests of the key).
    void setOccurrence(DateTime occurDate, bool allDayOccur, std::string occurDesc) {
        occurDate_ = occurDate;
        allDayOccur_ = allDayOccur;
        occurDesc_ = std::move(occurDesc);
    }

    // ---- occurrence walk, durations and next view date (clsCalEventWalk.cpp)
    // Prepares the walk over the occurrences from fromDate's day, at the
    // event's time of day, to toDate: the maps of every rule merged in
    // date-time order, an occurrence several rules share given once.
    void generateOccurs(DateTime fromDate, DateTime toDate);
    // Days that hold an occurrence in the prepared walk.
    int getOccurCount() const;
    // Both step the walk: OccurDate, OccurDesc, endOfOccurs and AllDayOccur
    // move to the next occurrence. Callers call firstOccur once after
    // generateOccurs, then nextOccur until endOfOccurs.
    void firstOccur();
    void nextOccur();
    // Writes the UNTIL that its count gives into every rule with a count and
    // no UNTIL; the store calls it before every save.
    void CalcRRuleDurations();
    // The rule's UNTIL once its count is expanded from the start to the
    // horizon (the null date when the count runs past it).
    DateTime calcDurationUntil(clsCalRRule& rule) const;
    // Occurrence days of the rule from the start to its UNTIL, removed and
    // hidden ones included. The event is not touched.
    int calcDurationCount(const clsCalRRule& rule) const;
    // The date from which the event is listed: its earliest occurrence still
    // to show, searched from the earlier of ViewFromDate and now; the null
    // date when nothing is left. Counted rules without UNTIL get theirs.
    DateTime calcNextViewDate();

private:
    std::string description_;
    DateTime eventStart_;
    bool allDayEvent_ = true;
    DateTime viewFromDate_;
    bool priorWarningIsDefault_ = true;
    int priorWarning_ = 0;
    std::string autoDelete_ = "M";
    DateTime created_;
    DateTime msoCreated_;
    DateTime lastModified_;
    bool isRecurring_ = false;
    std::vector<clsCalRRule> rules_;
    std::string hiddenList_;
    std::string rDates_;
    std::string exDates_;
    bool hasExceptions_ = false;
    std::string descExceptions_;
    bool modified_ = false;
    int eventFormat_ = 0;
    int updateRequest_ = kRequestNone;
    // Occurrence state.
    DateTime occurDate_;
    std::string occurDesc_;
    bool endOfOccurs_ = false;
    bool allDayOccur_ = false;
    iCalMapWalk walk_;  // the maps of the last generateOccurs
    int xCalendarId_ = -1;
    std::string wendraWinId_;
    std::string xid_;
    int creatorId_ = 0;
};

// The value of one tag of a row key (GridKey) as it was before the key was
// written: the tag's value read with taggedValue and untagValue.
std::string gridKeyValue(std::string_view key, Tag tag);

}  // namespace wendra
