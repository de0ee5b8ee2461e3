// The Outlook binding, writing: an event into its appointment (the pattern, its
// deleted and moved occurrences and their own subjects, the program's user
// properties), deletes and hides, the link in the store, the calendar's own
// window, and the marks that tell the program's writes from Outlook's.

#include <algorithm>
#include <cstdlib>

#include "exchange/OutlookBindingDetail.h"
#include "exchange/clsDataOutlook.h"
#include "store/modFuncs.h"

namespace wendra {

using namespace outlook;
using namespace outlook_binding;

namespace {

constexpr const char* kErrorSaving = "Error saving to Outlook";
constexpr const char* kCrLf = "\r\n";
// The view-from date that hides an appointment from the program's list.
DateTime hiddenViewDate() { return DateTime::ymd(9999, 12, 31); }

std::string trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return std::string(s.substr(b, e - b));
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// An upcoming appointment or occurrence: an all-day one from tomorrow on, a timed
// one from the next second.
bool isUpcoming(AppointmentItem& x) {
    const DateTime start = x.Start();
    if (x.AllDayEvent()) return compareDates(start.date(), today()) == DateOrder::Later;
    return compareDates(start, now()) == DateOrder::Later;
}

// One changed or deleted occurrence as Outlook lists it.
struct Listed {
    DateTime original;
    bool deleted = false;
    std::shared_ptr<AppointmentItem> item;  // a changed one
    DateTime start;
    bool allDay = false;
};

std::vector<Listed> listedExceptions(RecurrencePattern& p) {
    std::vector<Listed> out;
    auto exceptions = p.Exceptions();
    const int count = exceptions->Count();
    for (int i = 1; i <= count; ++i) {
        auto e = exceptions->Item(i);
        Listed l;
        l.original = e->OriginalDate();
        l.deleted = e->Deleted();
        if (!l.deleted) {
            l.item = e->AppointmentItem();
            l.start = l.item->Start();
            l.allDay = l.item->AllDayEvent();
        }
        out.push_back(std::move(l));
    }
    return out;
}

// An excluded date of the event as the occurrence start it names: a day alone
// names the event's time on that day.
struct Excluded {
    std::string text;
    DateTime when;
    bool dayOnly = false;
    bool paired = false;
    bool names(DateTime original) const { return dayOnly ? when.date() == original.date() : when == original; }
};

struct Extra {
    DateTime when;
    bool allDay = false;
    bool placed = false;
    bool isAt(const Listed& l) const {
        return !l.deleted && (allDay ? l.allDay && l.start.date() == when : l.start == when);
    }
};

std::shared_ptr<AppointmentItem> occurrenceOrNull(RecurrencePattern& p, DateTime when) {
    try {
        return p.GetOccurrence(when);
    } catch (const Error&) {
        // No occurrence starts then: nothing to change.
        return nullptr;
    }
}

}  // namespace

// ---- own writes and reports -------------------------------------------------------------

void clsDataOutlook::noteOwnWrite(const std::string& entryId) {
    ProgramState* state = context_.state ? context_.state() : nullptr;
    if (state == nullptr) return;
    state->gLastOutlookWriteId = entryId;
    state->gLastOutlookWriteTime = now();
}

void clsDataOutlook::forgetOwnWrite() {
    if (ProgramState* state = context_.state ? context_.state() : nullptr) state->gLastOutlookWriteId.clear();
}

void clsDataOutlook::reportSaveError(const clsCalEvent& ev, const std::string& description, long number,
                                     const std::string& source) {
    messages_.show(std::string(kErrorSaving) + kCrLf + "Event=" + ev.Description() + kCrLf + description + " (" +
                       std::to_string(number) + ")" + kCrLf + "Source=" + source,
                   ui::MessageButtons::OK, ui::MessageIcon::Critical);
}

void clsDataOutlook::reportSaveError(const clsCalEvent& ev, const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e))
        reportSaveError(ev, error->Description(), error->Number(), error->Source());
    else
        reportSaveError(ev, e.what(), 0, kSource);
}

int clsDataOutlook::deleteSetting() const {
    const clsSettings* settings = context_.settings ? context_.settings() : nullptr;
    return settings ? settings->DeleteSetting() : 0;
}

void clsDataOutlook::setUserProp(AppointmentItem& item, std::string_view name, int type, const PropertyValue& value) {
    auto props = item.UserProperties();
    auto p = props->Find(std::string(name));
    if (p && p->Value() == value) return;
    if (!p) p = props->Add(std::string(name), type);
    p->setValue(value);
    item.Save();
    noteOwnWrite(item.EntryID());
}

void clsDataOutlook::setUserPropDate(AppointmentItem& item, std::string_view name, DateTime d, bool withTime) {
    setUserProp(item, name, olText, formatICalDateTime(d, withTime));
}

// ---- saving -------------------------------------------------------------------------------

bool clsDataOutlook::Save(clsCalEvent& ev, const std::string& entryId) {
    try {
        std::string id = trimBlanks(entryId);
        if (id.empty()) id = getXID(ev);
        // Without the calendar's id a linked event would be taken for a new one and
        // written a second time.
        if (CalendarId() <= 0) raise(kErrNoCalendarId, "The Outlook calendar has no id in the store.");
        if (id.empty()) return AddEvent(ev);
        return updateOutlookItem(ev, id);
    } catch (const std::exception& e) {
        reportSaveError(ev, e);
        return false;
    }
}

bool clsDataOutlook::AddEvent(clsCalEvent& ev) {
    bool ok = false;
    try {
        if (CalendarId() <= 0) raise(kErrNoCalendarId, "The Outlook calendar has no id in the store.");
        if (!items_ && !SelectAllEvents()) raise(kErrNotReached, "The Outlook calendar could not be reached.");
        auto item = items_->Add();
        item->setReminderSet(false);
        Written written;
        ok = calEventToOutlook(ev, item, written);
        if (ok && ev.UpdateRequest() != clsCalEvent::kRequestDeleteEvent) {
            // Unlinked, the next save would add the appointment a second time.
            if (!linkOutlookId(ev, written.entryId))
                raise(kErrLinkNotStored, "The link between the event and its appointment could not be stored.");
            if (clsDataQVR* data = store()) data->storeMSOCreatedTime(ev, written.created);
        }
    } catch (const std::exception& e) {
        reportSaveError(ev, e);
        ok = false;
    }
    forgetOwnWrite();
    return ok;
}

bool clsDataOutlook::updateOutlookItem(clsCalEvent& ev, const std::string& entryId) {
    bool ok = false;
    try {
        clsCalEvent copy;
        const Found found = findAppointment(copy, CalendarId(), ev.GridKey(), entryId);
        if (found.result == FindResult::failed) throw findError_.value_or(Error(kErrNotReached, "The appointment could not be read.", kSource));
        if (found.result == FindResult::absent) {
            // A delete or hide of an appointment that is already gone has nothing
            // left to do. Any other update answers false without a word: the store
            // keeps the change, and the reconciliation is what deals with an
            // appointment deleted in the calendar.
            forgetOwnWrite();
            const int request = ev.UpdateRequest();
            return request == clsCalEvent::kRequestDeleteEvent || request == clsCalEvent::kRequestHideEvent;
        }
        Written written;
        ok = calEventToOutlook(ev, found.item, written);
        if (ok && ev.UpdateRequest() != clsCalEvent::kRequestDeleteEvent && !linkOutlookId(ev, entryId))
            raise(kErrLinkNotStored, "The link between the event and its appointment could not be stored.");
    } catch (const std::exception& e) {
        reportSaveError(ev, e);
        ok = false;
    }
    forgetOwnWrite();
    return ok;
}

bool clsDataOutlook::linkOutlookId(clsCalEvent& ev, const std::string& entryId) {
    clsDataQVR* data = store();
    const int calendar = CalendarId();
    if (data == nullptr || calendar <= 0) return false;
    // Only the link row is written: the event itself keeps its own calendar.
    const int calendarBefore = ev.XCalendarId();
    const std::string idBefore = ev.XID();
    ev.setXCalendarId(calendar);
    ev.setXID(entryId);
    const bool ok = data->UpdateAddXData(ev, std::nullopt);
    ev.setXCalendarId(calendarBefore);
    ev.setXID(idBefore);
    return ok;
}

bool clsDataOutlook::calEventToOutlook(clsCalEvent& ev, const std::shared_ptr<AppointmentItem>& item,
                                       Written& written) {
    try {
        const int request = ev.UpdateRequest();
        const bool removing = request == clsCalEvent::kRequestDeleteEvent || request == clsCalEvent::kRequestHideEvent;
        const bool itemRecurring = item->IsRecurring();
        // A repeat the program does not know, in the file (a rule another program
        // made, which no pattern type shows) or in the event (read from such a
        // file), is never written over nor taken for a one-off: the appointment
        // keeps its series as it is. A new appointment cannot be given one.
        const bool unknownHere = repeatsUnknown(ev);
        const bool keepSeries =
            itemRecurring && (unknownHere || item->GetRecurrencePattern()->RecurrenceType() == olRecursOther);
        if (unknownHere && !itemRecurring && !removing)
            raise(kErrRuleNotWritable, "The event repeats in a way no Outlook recurrence pattern can hold. Its repeat "
                                       "was made by another calendar program.");
        // Nor is a change this program made to such an event passed over as written:
        // its start cannot move, nor can it stop repeating, without the series.
        if (keepSeries && !removing) {
            if (!unknownHere && !repeatsInOutlook(ev))
                raise(kErrRuleNotWritable, "The event no longer repeats, but its appointment repeats in a way no "
                                           "Outlook recurrence pattern can hold, made by another calendar program.");
            if (item->Start() != ev.EventStart() || item->AllDayEvent() != ev.AllDayEvent())
                raise(kErrRuleNotWritable, "The event's start moved, but its appointment repeats in a way no Outlook "
                                           "recurrence pattern can hold, made by another calendar program.");
        }
        const bool recurs = !keepSeries && repeatsInOutlook(ev);
        std::optional<PatternPlan> plan;
        if (recurs) {
            std::string why;
            plan = patternForEvent(ev, why);
            // Another series would overwrite the event the next time it is read back.
            // An appointment that is deleted or hidden now needs no pattern.
            if (!plan && !removing)
                raise(kErrRuleNotWritable, "The event repeats in a way no Outlook recurrence pattern can hold. " + why);
        }
        if (!keepSeries) {
            // An event that no longer repeats takes its appointment's series with it.
            if (!recurs && itemRecurring) item->ClearRecurrencePattern();
            if (!itemRecurring || !recurs) writeOneOff(ev, *item);
        }
        if (item->Subject() != ev.Description()) item->setSubject(ev.Description());
        writeUserProperties(ev, *item);

        if (plan) {
            auto p = item->GetRecurrencePattern();
            writePattern(ev, *item, *p, *plan);
            item->Save();
            noteOwnWrite(item->EntryID());
            writeExceptions(ev, *item, *p);
            writeOccurrenceSubjects(ev, *p);
        }

        setUserPropDate(*item, kLastWritten, now(), true);
        setUserPropDate(*item, kLastCompared, now(), true);
        item->Save();
        noteOwnWrite(item->EntryID());
        written.entryId = item->EntryID();
        written.created = item->CreationTime();

        if (request == clsCalEvent::kRequestDeleteEvent) item->Delete();
        else if (request == clsCalEvent::kRequestHideEvent) hideInOutlook(ev, item);
        hold(written.entryId, item);
        return true;
    } catch (const std::exception& e) {
        reportSaveError(ev, e);
        return false;
    }
}

void clsDataOutlook::writeOneOff(const clsCalEvent& ev, AppointmentItem& item) {
    if (!ev.AllDayEvent() && item.AllDayEvent()) item.setDuration(30);
    if (item.Start() != ev.EventStart()) item.setStart(ev.EventStart());
    if (item.AllDayEvent() != ev.AllDayEvent()) item.setAllDayEvent(ev.AllDayEvent());
}

void clsDataOutlook::writeUserProperties(const clsCalEvent& ev, AppointmentItem& item) {
    const bool hiding = ev.UpdateRequest() == clsCalEvent::kRequestHideEvent;
    setUserProp(item, kViewFromDate, olDateTime, hiding ? hiddenViewDate() : ev.ViewFromDate());
    setUserProp(item, kPriorWarn, olNumber, static_cast<double>(ev.PriorWarning()));
    setUserProp(item, kPriorWarnIsDefault, olYesNo, ev.PriorWarningIsDefault());
    setUserProp(item, kHiddenList, olText, ev.HiddenList());
    setUserPropDate(item, kLastModified, ev.LastModified(), true);
}

void clsDataOutlook::writePattern(const clsCalEvent& ev, AppointmentItem& item, RecurrencePattern& p,
                                  const PatternPlan& plan) {
    const PatternShape& s = plan.shape;
    if (p.RecurrenceType() != s.type) p.setRecurrenceType(s.type);

    const bool allDayPattern = p.StartTime() == patternMidnight() && p.Duration() == 1440;
    if (!ev.AllDayEvent() && allDayPattern) p.setDuration(30);
    if (ev.AllDayEvent() && !allDayPattern) {
        p.setStartTime(patternMidnight());
        p.setEndTime(patternMidnight());
        p.setDuration(1440);
    }
    // The series itself then lasts whole days, as other calendar programs read it.
    if (ev.AllDayEvent() && !item.AllDayEvent()) item.setAllDayEvent(true);
    const DateTime day = ev.EventStart().date();
    if (p.PatternStartDate() != day) p.setPatternStartDate(day);
    if (!ev.AllDayEvent() && p.StartTime().secondOfDay() != ev.EventStart().secondOfDay())
        p.setStartTime(ev.EventStart());

    // The days the pattern repeats on, each where its type reads it: a pattern
    // keeps those of the start it was made from unless they are written.
    const bool nth = s.type == olRecursMonthNth || s.type == olRecursYearNth;
    if ((nth || s.type == olRecursDaily || s.type == olRecursWeekly) && p.DayOfWeekMask() != s.mask)
        p.setDayOfWeekMask(s.mask);
    if (nth && p.Instance() != s.instance) p.setInstance(s.instance);
    if ((s.type == olRecursMonthly || s.type == olRecursYearly) && p.DayOfMonth() != s.dayOfMonth)
        p.setDayOfMonth(s.dayOfMonth);
    if ((s.type == olRecursYearly || s.type == olRecursYearNth) && p.MonthOfYear() != s.monthOfYear)
        p.setMonthOfYear(s.monthOfYear);

    const int interval = p.Interval();
    if (interval != 0 && interval != s.interval) p.setInterval(s.interval);

    switch (plan.end.kind) {
    case PatternEnd::Kind::count:
        if (p.NoEndDate() || p.Occurrences() != plan.end.count) p.setOccurrences(plan.end.count);
        break;
    case PatternEnd::Kind::until:
        if (p.NoEndDate() || p.PatternEndDate().date() != plan.end.until) p.setPatternEndDate(plan.end.until);
        break;
    case PatternEnd::Kind::none:
        if (!p.NoEndDate()) p.setNoEndDate(true);
        break;
    }
}

// The event's excluded and extra dates as Outlook's deleted and moved
// occurrences. Each extra date is an occurrence moved from one of the excluded
// dates: first those Outlook already shows there, then the nearest free one.
// The excluded dates left over are deleted occurrences.
void clsDataOutlook::writeExceptions(const clsCalEvent& ev, AppointmentItem& item, RecurrencePattern& p) {
    const std::vector<Listed> listed = listedExceptions(p);
    const std::int64_t timeOfDay = ev.EventStart().secondOfDay() / 60 * 60;
    std::vector<Excluded> excluded;
    for (const std::string& t : ev.ExAndHiddenDatesArray(true, false)) {
        const auto d = parseICalDateTime(t);
        if (!d) continue;
        Excluded e;
        e.text = t;
        e.dayOnly = !contains(t, "T") || ev.AllDayEvent();
        e.when = ev.AllDayEvent() ? d->date() : (contains(t, "T") ? *d : d->date().addSeconds(timeOfDay));
        excluded.push_back(e);
    }
    std::vector<Extra> extras;
    for (const std::string& r : ev.RDatesArray()) {
        const auto d = parseICalDateTime(r);
        if (!d) continue;
        const bool allDay = !contains(r, "T");
        extras.push_back(Extra{allDay ? d->date() : *d, allDay});
    }
    const auto listedAt = [&](const Excluded& e) -> const Listed* {
        for (const Listed& l : listed)
            if (e.names(l.original)) return &l;
        return nullptr;
    };

    for (Extra& r : extras) {
        for (const Listed& l : listed) {
            if (!r.isAt(l)) continue;
            const auto e = std::find_if(excluded.begin(), excluded.end(),
                                        [&](const Excluded& x) { return !x.paired && x.names(l.original); });
            if (e == excluded.end()) continue;
            e->paired = r.placed = true;
            break;
        }
    }
    for (Extra& r : extras) {
        if (r.placed) continue;
        Excluded* from = nullptr;
        for (Excluded& e : excluded) {
            const Listed* l = listedAt(e);
            if (e.paired || (l && l->deleted)) continue;
            if (!from || std::llabs(e.when.seconds() - r.when.seconds()) < std::llabs(from->when.seconds() - r.when.seconds()))
                from = &e;
        }
        if (!from) continue;
        const Listed* l = listedAt(*from);
        auto occurrence = l ? l->item : occurrenceOrNull(p, from->when);
        if (!occurrence) continue;
        from->paired = r.placed = true;
        if (r.allDay) {
            if (occurrence->Start() != r.when) occurrence->setStart(r.when);
            if (!occurrence->AllDayEvent()) occurrence->setAllDayEvent(true);
        } else {
            if (occurrence->AllDayEvent()) {
                occurrence->setAllDayEvent(false);
                occurrence->setDuration(30);
            }
            if (occurrence->Start() != r.when) occurrence->setStart(r.when);
        }
        occurrence->Save();
        noteOwnWrite(item.EntryID());
    }

    for (const Excluded& e : excluded) {
        if (e.paired) continue;
        // The day is also an extra date: an occurrence moved within it.
        const std::string day = e.text.substr(0, 8);
        if (contains(ev.RDates() + ",", day + ",") || contains(ev.RDates(), day + "T")) continue;
        const Listed* l = listedAt(e);
        if (l && l->deleted) continue;  // Outlook lists it already
        // A moved occurrence whose new place the event no longer has goes as well.
        auto occurrence = l ? l->item : occurrenceOrNull(p, e.when);
        if (occurrence && removeOccurrence(ev, *occurrence)) {
            item.Save();
            noteOwnWrite(item.EntryID());
        }
    }
}

// Each occurrence's own subject: the event's text for it, or the event's description.
void clsDataOutlook::writeOccurrenceSubjects(const clsCalEvent& ev, RecurrencePattern& p) {
    const auto texts = occurrenceTexts(ev.DescExceptions());
    const auto wanted = [&](DateTime start) {
        for (const auto& [when, text] : texts)
            if (when == start) return trim(text).empty() ? ev.Description() : text;
        return ev.Description();
    };
    const auto give = [&](AppointmentItem& occurrence, const std::string& subject) {
        if (occurrence.Subject() == subject) return;
        occurrence.setSubject(subject);
        occurrence.Save();
        noteOwnWrite(occurrence.EntryID());
    };
    for (const Listed& l : listedExceptions(p))
        if (!l.deleted) give(*l.item, wanted(l.start));
    for (const auto& entry : texts)
        if (auto occurrence = occurrenceOrNull(p, entry.first)) give(*occurrence, wanted(entry.first));
}

bool clsDataOutlook::removeOccurrence(const clsCalEvent& ev, AppointmentItem& occurrence) {
    if (deleteSetting() == 1 || ev.UpdateRequest() == clsCalEvent::kRequestDeleteOccurrence) {
        occurrence.Delete();
        return true;
    }
    return deleteIfUpcoming(occurrence);
}

// ---- hiding --------------------------------------------------------------------------------

bool clsDataOutlook::deleteIfUpcoming(AppointmentItem& x) {
    if (!isUpcoming(x)) return false;
    x.Delete();
    return true;
}

void clsDataOutlook::hideInOutlook(const clsCalEvent& ev, const std::shared_ptr<AppointmentItem>& item) {
    if (deleteSetting() == 1) {
        item->Delete();
        return;
    }
    if (!item->IsRecurring()) {
        deleteIfUpcoming(*item);
        return;
    }
    auto p = item->GetRecurrencePattern();
    if (p->NoEndDate()) {
        item->Delete();
        return;
    }
    // Past the hide limit the series is gone, and nothing of it is left to hide.
    const HideWalk walk = hideListed(item);
    if (walk.seriesGone) return;
    hideExceptionItems(item, p);
    hideBeyondList(ev, *item, *p, walk);
}

bool clsDataOutlook::hideNormalItems(const std::shared_ptr<AppointmentItem>& item) {
    return hideListed(item).seriesGone;
}

clsDataOutlook::HideWalk clsDataOutlook::hideListed(const std::shared_ptr<AppointmentItem>& item) {
    HideWalk walk;
    const std::string entryId = item->EntryID();
    const DateTime lastDay = item->GetRecurrencePattern()->PatternEndDate().date();
    std::shared_ptr<Items> c;
    if (!FindMultipleOccurs(c, entryId, item->Subject())) {
        // Without the subject's list the series' own occurrences are walked among
        // all of the calendar's, so that its past ones stay.
        c = calendarItems();
        c->Sort("[Start]");
        c->setIncludeRecurrences(true);
    }
    for (auto o = c->GetFirst(); o; o = c->GetNext()) {
        // In order of start: after the series' last day nothing of it follows,
        // however long another series of the same subject runs.
        if (compareDates(o->Start().date(), lastDay) == DateOrder::Later) break;
        if (o->EntryID() != entryId) continue;
        walk.last = o->Start();
        if (!isUpcoming(*o)) {
            walk.pastSeen = true;
            continue;
        }
        if (walk.deleted == kHideLimit) {
            item->Delete();
            walk.seriesGone = true;
            return walk;
        }
        o->Delete();
        ++walk.deleted;
    }
    return walk;
}

// The calendar lists occurrences only so far ahead: a series that runs on past
// that keeps its later ones, which a hide must reach too. They are counted with
// the event's own rule, which was written to the pattern just before; with them
// the hide limit decides, as for those deleted one by one: more than fifty, and
// the series goes; else the series ends before the first of them, which keeps
// the past ones (a series with none goes). A pattern of another program's rule
// cannot be counted so, and keeps what the list did not reach.
void clsDataOutlook::hideBeyondList(const clsCalEvent& ev, AppointmentItem& item, RecurrencePattern& p,
                                    const HideWalk& walk) {
    if (!repeatsInOutlook(ev) || p.RecurrenceType() == olRecursOther) return;
    const DateTime lastDay = p.PatternEndDate().date();
    const DateTime present = ev.AllDayEvent() ? today() : now();
    const DateTime after = walk.last && compareDates(*walk.last, present) == DateOrder::Later ? *walk.last : present;
    clsCalEvent rule = ev;
    std::vector<DateTime> beyond;
    // Ten years first: most series have more than enough in them to decide.
    const DateTime tenYears = after.date().addDays(3653);
    for (const auto& [from, to] : {std::pair{after.date(), std::min(tenYears, lastDay)},
                                  std::pair{tenYears.addDays(1), lastDay}}) {
        if (compareDates(from, to) == DateOrder::Later) break;
        rule.generateOccurs(from, to.addSeconds(86399));
        for (rule.firstOccur(); !rule.endOfOccurs(); rule.nextOccur())
            if (compareDates(rule.OccurDate(), after) == DateOrder::Later) beyond.push_back(rule.OccurDate());
        if (walk.deleted + static_cast<int>(beyond.size()) > kHideLimit) break;
    }
    if (beyond.empty()) return;
    if (walk.deleted + static_cast<int>(beyond.size()) > kHideLimit || !walk.pastSeen) {
        item.Delete();
        return;
    }
    p.setPatternEndDate(std::min_element(beyond.begin(), beyond.end())->date().addDays(-1));
    item.Save();
    noteOwnWrite(item.EntryID());
}

void clsDataOutlook::hideExceptionItems(const std::shared_ptr<AppointmentItem>& item,
                                        const std::shared_ptr<RecurrencePattern>& pattern) {
    const std::string subject = item->Subject();
    auto exceptions = pattern->Exceptions();
    const int count = exceptions->Count();
    for (int i = 1; i <= count; ++i) {
        auto e = exceptions->Item(i);
        if (e->Deleted()) continue;
        // Changed occurrences with a subject of their own, which the subject's list misses.
        auto a = e->AppointmentItem();
        if (a->Subject() != subject) deleteIfUpcoming(*a);
    }
}

// ---- comparison marks -----------------------------------------------------------------------

void clsDataOutlook::updateCompareDates(const clsCalEvent& ev, DateTime lastModified) {
    try {
        clsCalEvent copy;
        const Found found = findAppointment(copy, CalendarId(), std::string(), ev.XID());
        if (found.result != FindResult::found) return;
        setUserPropDate(*found.item, kLastModified, lastModified, true);
        setUserPropDate(*found.item, kLastCompared, now(), true);
        found.item->Save();
        noteOwnWrite(found.item->EntryID());
    } catch (const std::exception&) {
        // The marks are a hint for the next comparison; a failure changes nothing else.
    }
}

// ---- the calendar's own window -------------------------------------------------------------

bool clsDataOutlook::displayAddForm(clsCalEvent& ev) {
    try {
        // A window of its own, independent of the connection the binding holds.
        auto application = automation_.CreateObject("Outlook.Application");
        auto item = application->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar)->Items()->Add();
        item->setAllDayEvent(true);
        const DateTime before = item->LastModificationTime();
        item->Display(true);
        DateTime after;
        try {
            after = item->LastModificationTime();
        } catch (const Error&) {
            // Deleted in the window before it was ever saved: nothing was made.
            return false;
        }
        if (after == before) return false;
        return OutlookToCalEvent(ev, item);
    } catch (const Error& e) {
        messages_.show(e.Description(), ui::MessageButtons::OK, ui::MessageIcon::Critical);
        return false;
    } catch (const std::exception& e) {
        messages_.show(e.what(), ui::MessageButtons::OK, ui::MessageIcon::Critical);
        return false;
    }
}

bool clsDataOutlook::displayEditForm(clsCalEvent& ev, const std::shared_ptr<AppointmentItem>& item) {
    try {
        if (!item) return false;
        clsCalEvent scratch;
        // The properties a first reading adds are there before the window opens,
        // so that only the user's save changes the modification time.
        OutlookToCalEvent(scratch, item);
        const DateTime before = item->LastModificationTime();
        item->Display(true);
        DateTime after;
        try {
            after = item->LastModificationTime();
        } catch (const Error&) {
            ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
            return true;
        }
        if (after == before) return false;
        // The event stays the store's: its key survives the new reading.
        const std::string storeId = ev.WendraWinId();
        OutlookToCalEvent(ev, item);
        ev.setWendraWinId(storeId);
        return true;
    } catch (const Error& e) {
        messages_.show(e.Description(), ui::MessageButtons::OK, ui::MessageIcon::Critical);
        return false;
    } catch (const std::exception& e) {
        messages_.show(e.what(), ui::MessageButtons::OK, ui::MessageIcon::Critical);
        return false;
    }
}

bool clsDataOutlook::displayEditForm(clsCalEvent& ev, bool occurrence) {
    const Held* h = held(ev.XID());
    if (h == nullptr) return false;
    if (!occurrence) return displayEditForm(ev, std::shared_ptr<AppointmentItem>(h->item));
    // One occurrence's window: ev stays the series it belongs to, read again with
    // the occurrence's change (or its deletion) in it.
    const auto series = h->item;
    const auto one = h->occurrence;
    if (!series || !one) return false;
    try {
        clsCalEvent scratch;
        OutlookToCalEvent(scratch, series);
        const DateTime before = one->LastModificationTime();
        one->Display(true);
        bool deleted = false;
        DateTime after;
        try {
            after = one->LastModificationTime();
        } catch (const Error&) {
            deleted = true;
        }
        if (!deleted && after == before) return false;
        const std::string storeId = ev.WendraWinId();
        OutlookToCalEvent(ev, series);
        ev.setWendraWinId(storeId);
        if (deleted) ev.setUpdateRequest(clsCalEvent::kRequestDeleteOccurrence);
        return true;
    } catch (const Error& e) {
        messages_.show(e.Description(), ui::MessageButtons::OK, ui::MessageIcon::Critical);
        return false;
    } catch (const std::exception& e) {
        messages_.show(e.what(), ui::MessageButtons::OK, ui::MessageIcon::Critical);
        return false;
    }
}

}  // namespace wendra
