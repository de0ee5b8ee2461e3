// The Outlook binding, reading: the connection, the calendar's id in the store,
// finding an event's appointment, and an appointment read into an event.

#include <algorithm>
#include <cmath>

#include "exchange/OutlookBindingDetail.h"
#include "exchange/clsDataOutlook.h"
#include "store/modFuncs.h"

namespace wendra {

using namespace outlook;
using namespace outlook_binding;

namespace {

// How many appointments the binding keeps beside the events read from them.
constexpr std::size_t kHeldItems = 64;

bool isNthType(int type) { return type == olRecursMonthNth || type == olRecursYearNth; }

}  // namespace

OutlookContext OutlookContext::of(clsDataQVR& store, const clsSettings& settings, ProgramState& state) {
    return OutlookContext{[&store] { return &store; }, [&settings] { return &settings; }, [&state] { return &state; }};
}

clsDataOutlook::clsDataOutlook(Automation& automation, ui::MessageBoxService& messages, OutlookContext context)
    : automation_(automation), messages_(messages), context_(std::move(context)) {}

// ---- connection and the calendar's id -------------------------------------------

bool clsDataOutlook::OpenData() {
    connectionError_ = "The Outlook calendar could not be reached.";
    try {
        auto application = automation_.CreateObject("Outlook.Application");
        auto ns = application ? application->GetNamespace("MAPI") : nullptr;
        if (!ns) return false;
        // Reached means the calendar answers: a calendar file that cannot be read
        // would otherwise pass the test and fail every call after it.
        auto folder = ns->GetDefaultFolder(olFolderCalendar);
        auto items = folder ? folder->Items() : nullptr;
        if (!items) return false;
        items->Count();
        application_ = std::move(application);
        namespace_ = std::move(ns);
        connectionError_.clear();
        return true;
    } catch (const Error& e) {
        connectionError_ = e.Description();
        return false;
    } catch (const std::exception& e) {
        connectionError_ = e.what();
        return false;
    }
}

bool clsDataOutlook::SelectAllEvents() {
    try {
        if (!namespace_ && !OpenData()) return false;
        auto folder = namespace_->GetDefaultFolder(olFolderCalendar);
        auto items = folder ? folder->Items() : nullptr;
        if (!items) return false;
        items->setIncludeRecurrences(false);
        folder_ = std::move(folder);
        items_ = std::move(items);
        walkIndex_ = 1;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int clsDataOutlook::CalendarId() {
    if (calendarId_ > 0) return calendarId_;
    try {
        clsDataQVR* data = store();
        if (data == nullptr || !SelectAllEvents()) return -1;
        std::string key = application_->Name() + "-" + application_->Version() + "-" + folder_->EntryID();
        // Only a real id is kept: 0 (a failed registration) or the local calendar's
        // -1 would make the program take its own events for Outlook's.
        const int id = data->RegisterXCalendar(key);
        if (id <= 0) return -1;
        calendarId_ = id;
        return id;
    } catch (const std::exception&) {
        return -1;
    }
}

std::shared_ptr<Items> clsDataOutlook::calendarItems() {
    if (!namespace_ && !OpenData()) raise(kErrNotReached, "The Outlook calendar could not be reached.");
    auto folder = namespace_->GetDefaultFolder(olFolderCalendar);
    auto items = folder ? folder->Items() : nullptr;
    if (!items) raise(kErrNotReached, "The Outlook calendar has no items.");
    return items;
}

// ---- the walk -------------------------------------------------------------------------

std::optional<clsCalEvent> clsDataOutlook::GetFirstEvent() {
    walkIndex_ = 0;
    return GetNextEvent();
}

std::optional<clsCalEvent> clsDataOutlook::GetNextEvent() {
    try {
        ++walkIndex_;
        if (!items_ || walkIndex_ > items_->Count()) {
            notAtEnd_ = false;
            return std::nullopt;
        }
        clsCalEvent ev;
        notAtEnd_ = OutlookToCalEvent(ev, items_->Item(walkIndex_));
        return ev;
    } catch (const std::exception&) {
        notAtEnd_ = false;
        return std::nullopt;
    }
}

// ---- the appointments kept beside their events ---------------------------------------

void clsDataOutlook::hold(const std::string& entryId, std::shared_ptr<AppointmentItem> item) {
    std::erase_if(held_, [&](const Held& h) { return h.entryId == entryId; });
    held_.push_back(Held{entryId, std::move(item), nullptr});
    if (held_.size() > kHeldItems) held_.erase(held_.begin());
}

clsDataOutlook::Held* clsDataOutlook::held(const std::string& entryId) {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.entryId == entryId; });
    return it == held_.end() ? nullptr : &*it;
}

const clsDataOutlook::Held* clsDataOutlook::held(const std::string& entryId) const {
    const auto it = std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.entryId == entryId; });
    return it == held_.end() ? nullptr : &*it;
}

std::shared_ptr<AppointmentItem> clsDataOutlook::OutlookItem(const clsCalEvent& ev) const {
    const Held* h = held(ev.XID());
    return h ? h->item : nullptr;
}

std::shared_ptr<AppointmentItem> clsDataOutlook::OutlookOccurItem(const clsCalEvent& ev) const {
    const Held* h = held(ev.XID());
    return h ? h->occurrence : nullptr;
}

// ---- user properties ---------------------------------------------------------------------

PropertyValue clsDataOutlook::getUserProp(AppointmentItem& item, std::string_view name, int type,
                                          const PropertyValue& fallback) {
    try {
        auto props = item.UserProperties();
        auto p = props->Find(std::string(name));
        if (!p) {
            // Every appointment the program reads carries its properties from then on.
            p = props->Add(std::string(name), type);
            p->setValue(fallback);
            item.Save();
            noteOwnWrite(item.EntryID());
        }
        return p->Value();
    } catch (const std::exception&) {
        return fallback;
    }
}

DateTime clsDataOutlook::getUserPropDate(AppointmentItem& item, std::string_view name, DateTime fallback,
                                         bool withTime) {
    return asDate(getUserProp(item, name, olText, formatICalDateTime(fallback, withTime)), fallback);
}

// ---- an appointment read into an event ---------------------------------------------------

bool clsDataOutlook::OutlookToCalEvent(clsCalEvent& ev, const std::shared_ptr<AppointmentItem>& item) {
    try {
        // An appointment read while the calendar has no id would pass for a local event.
        const int calendar = CalendarId();
        if (calendar <= 0 || !item) return false;
        ev = clsCalEvent(calendar);
        const std::string entryId = item->EntryID();
        // The appointment's own time, before the properties a first reading adds move it.
        const DateTime modifiedBefore = item->LastModificationTime();
        hold(entryId, item);
        ev.setXCalendarId(calendar);
        ev.setXID(entryId);
        ev.setDescription(item->Subject());
        ev.setEventStart(item->Start());
        ev.setAllDayEvent(item->AllDayEvent());

        const clsSettings* settings = context_.settings ? context_.settings() : nullptr;
        const double defaultWarning = settings ? settings->PriorWarning() : 0;
        ev.setViewFromDate(asDate(getUserProp(*item, kViewFromDate, olDateTime, today()), today()));
        const double warning = asNumber(getUserProp(*item, kPriorWarn, olNumber, defaultWarning), defaultWarning);
        ev.setPriorWarning(static_cast<int>(std::clamp(std::round(warning), -32768.0, 32767.0)));
        ev.setPriorWarningIsDefault(asFlag(getUserProp(*item, kPriorWarnIsDefault, olYesNo, true), true));
        ev.setHiddenList(asText(getUserProp(*item, kHiddenList, olText, std::string())));

        // Changed in Outlook since the program last wrote or compared it: then
        // Outlook's time counts, and it is never earlier than the program's.
        DateTime lastModified = getUserPropDate(*item, kLastModified, modifiedBefore, true);
        const DateTime written = getUserPropDate(*item, kLastWritten, DateTime::ymd(1800, 1, 1), true);
        const DateTime compared = getUserPropDate(*item, kLastCompared, now(), true);
        const DateTime m = item->LastModificationTime();
        if (m.seconds() - compared.seconds() > 1 && m.seconds() - written.seconds() > 2)
            lastModified = compareDates(m, lastModified) == DateOrder::Earlier ? lastModified.addSeconds(1) : m;
        ev.setLastModified(lastModified);

        ev.setCreated(item->CreationTime());
        ev.setMSOCreated(item->CreationTime());
        ev.setIsRecurring(item->IsRecurring());
        if (ev.IsRecurring()) readRecurrence(ev, *item);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void clsDataOutlook::readRecurrence(clsCalEvent& ev, AppointmentItem& item) {
    auto p = item.GetRecurrencePattern();
    clsCalRRule& rule = ev.addRRule();
    const DateTime startTime = p->StartTime();
    if (startTime == patternMidnight() && p->Duration() == 1440) {
        ev.setEventStart(p->PatternStartDate().date());
        ev.setAllDayEvent(true);
    } else {
        ev.setEventStart(combineDateTime(p->PatternStartDate(), startTime));
        ev.setAllDayEvent(false);
    }

    PatternShape shape;
    shape.type = p->RecurrenceType();
    // A rule that no pattern type shows reads without a frequency, which the
    // writing side keeps its hands off.
    if (shape.type == olRecursOther) tellUnknownRepeat(ev);
    shape.interval = p->Interval();
    if (shape.type == olRecursDaily || shape.type == olRecursWeekly || isNthType(shape.type))
        shape.mask = p->DayOfWeekMask();
    if (isNthType(shape.type)) shape.instance = p->Instance();
    if (shape.type == olRecursMonthly || shape.type == olRecursYearly) shape.dayOfMonth = p->DayOfMonth();
    if (shape.type == olRecursYearly || shape.type == olRecursYearNth) shape.monthOfYear = p->MonthOfYear();
    ruleFromPattern(rule, shape);
    // The last day, whole: a timed series' last occurrence falls on it.
    if (!p->NoEndDate()) rule.setDurationUntil(p->PatternEndDate().date(), true);

    std::string excluded, extra, texts = "\t";
    bool changed = false;
    auto exceptions = p->Exceptions();
    const int count = exceptions->Count();
    for (int i = 1; i <= count; ++i) {
        auto e = exceptions->Item(i);
        const DateTime original = e->OriginalDate();
        if (e->Deleted()) {
            excluded += formatICalDateTime(original, false) + ",";
            continue;
        }
        changed = true;
        auto a = e->AppointmentItem();
        const std::string subject = a->Subject();
        const DateTime start = a->Start();
        const bool allDay = a->AllDayEvent();
        if (subject != ev.Description()) texts += dateKey(start) + subject + "\t";
        if (start != original || allDay != ev.AllDayEvent()) {
            excluded += formatICalDateTime(original, !ev.AllDayEvent()) + ",";
            extra += formatICalDateTime(start, !allDay) + ",";
        }
    }
    if (!excluded.empty()) excluded.pop_back();
    if (!extra.empty()) extra.pop_back();
    ev.setExDates(excluded);
    ev.setRDates(extra);
    ev.setDescExceptions(texts == "\t" ? std::string() : texts);
    ev.setHasExceptions(changed);
}

void clsDataOutlook::tellUnknownRepeat(const clsCalEvent& ev) {
    if (!toldUnknownRepeat_.insert(ev.XID()).second) return;
    messages_.show("The appointment \"" + ev.Description() +
                       "\" repeats in a way Wendra(win) cannot show, set by another calendar program.\r\n"
                       "Wendra(win) leaves that repeat in the calendar as it is and does not change it.",
                   ui::MessageButtons::OK, ui::MessageIcon::Exclamation);
}

// ---- finding an event's appointment -----------------------------------------------------

clsDataOutlook::Found clsDataOutlook::findAppointment(clsCalEvent& ev, int calendarId, const std::string& rowKey,
                                                      std::string entryId) {
    Found out;
    findError_.reset();
    try {
        const int calendar = CalendarId();
        if (calendar <= 0) raise(kErrNoCalendarId, "The Outlook calendar has no id in the store.");
        std::string storeId;
        if (calendarId != calendar) {
            // Any other calendar: the key names a store event, and its link the appointment.
            storeId = gridKeyValue(rowKey, Tag::Id);
            const auto key = clsDataQVR::toEventKey(storeId);
            clsDataQVR* data = store();
            if (!key || data == nullptr)
                raise(kErrNotInCalendar, "The row key names no stored event: \"" + rowKey + "\".");
            entryId = data->getXID(calendar, *key);
            if (entryId.empty() && !data->lastError().empty())
                raise(kErrNotInCalendar, "The store could not be asked for the event's link: " + data->lastError());
        }
        if (trim(entryId).empty()) entryId = gridKeyValue(rowKey, Tag::XId);
        if (entryId.empty()) {
            // Nothing names an appointment: there is none for this event.
            out.result = FindResult::absent;
            return out;
        }

        std::string filter;
        const auto created = parseICalDateTime(gridKeyValue(rowKey, Tag::MSO));
        const std::string subject = gridKeyValue(rowKey, Tag::Desc);
        if (created && !created->isNull()) {
            filter = "[CreationTime] > " + filterText(filterDate(created->addMinutes(-1))) +
                     " AND [CreationTime] < " + filterText(filterDate(created->addMinutes(1)));
        } else if (!subject.empty()) {
            filter = "[Subject] = " + filterText(subject);
        }
        const auto search = [&](Items& c) -> std::shared_ptr<AppointmentItem> {
            for (auto i = c.GetFirst(); i; i = c.GetNext())
                if (i->EntryID() == entryId) return i;
            return nullptr;
        };
        auto all = calendarItems();
        std::shared_ptr<AppointmentItem> item;
        if (!filter.empty()) {
            auto narrowed = all->Restrict(filter);
            if (narrowed->Count() > 0) item = search(*narrowed);
        }
        // The filter only narrows the search: an appointment renamed in Outlook, or
        // one the key's creation time misses, is still found among all of them.
        if (!item) item = search(*all);
        if (!item) {
            out.result = FindResult::absent;
            return out;
        }
        if (!OutlookToCalEvent(ev, item)) raise(kErrNotReached, "The appointment could not be read.");
        if (clsDataQVR::toEventKey(storeId)) ev.setWendraWinId(storeId);
        out.result = FindResult::found;
        out.item = std::move(item);
    } catch (const Error& e) {
        findError_ = e;
        out = Found{};
    } catch (const std::exception& e) {
        findError_ = Error(0, e.what(), kSource);
        out = Found{};
    }
    return out;
}

FindResult clsDataOutlook::findItem(clsCalEvent& ev, int calendarId, const std::string& rowKey,
                                    const std::string& entryId) {
    return findAppointment(ev, calendarId, rowKey, entryId).result;
}

bool clsDataOutlook::Find(clsCalEvent& ev, int calendarId, const std::string& rowKey, const std::string& entryId) {
    return findItem(ev, calendarId, rowKey, entryId) == FindResult::found;
}

bool clsDataOutlook::findOccur(clsCalEvent& ev, DateTime when) {
    try {
        Held* h = held(ev.XID());
        if (h == nullptr || !h->item || !h->item->IsRecurring()) return false;
        auto occurrence = h->item->GetRecurrencePattern()->GetOccurrence(when);
        if (!occurrence) return false;
        h->occurrence = std::move(occurrence);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsDataOutlook::FindMultipleOccurs(std::shared_ptr<Items>& c, const std::string& entryId,
                                        const std::string& subject) {
    try {
        auto found = calendarItems()->Restrict("[Subject] = " + filterText(subject));
        for (auto i = found->GetFirst(); i; i = found->GetNext()) {
            if (i->EntryID() != entryId) continue;
            found->Sort("[Start]");
            found->setIncludeRecurrences(true);
            c = std::move(found);
            return true;
        }
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

std::string clsDataOutlook::getXID(const clsCalEvent& ev) {
    try {
        const int calendar = CalendarId();
        if (calendar <= 0) return {};
        if (ev.XCalendarId() == calendar && !ev.XID().empty()) return ev.XID();
        const auto key = clsDataQVR::toEventKey(ev.WendraWinId());
        clsDataQVR* data = store();
        if (!key || data == nullptr) return {};
        return data->getXID(calendar, *key);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace wendra
