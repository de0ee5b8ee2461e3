// The object model's classes over a CalendarStore. An appointment object holds
// the values it was read with and the changes made to it since; Save writes
// just those changes into a fresh reading of the file, so what another writer
// changed meanwhile (other properties, other appointments) stays.

#include <strings.h>

#include <algorithm>
#include <optional>

#include "platform/clock/Clock.h"
#include "platform/outlook/CalendarFile.h"
#include "platform/outlook/CalendarStore.h"
#include "platform/outlook/CalendarWrites.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/Expansion.h"
#include "platform/outlook/IcsCalendar.h"
#include "platform/outlook/Pattern.h"
#include "platform/outlook/PropertyValues.h"
#include "platform/outlook/Restriction.h"

namespace wendra::outlook {

using namespace ics;

namespace {

constexpr long kDefaultDuration = 30;
// A pattern whose end is switched on without saying which gets this many occurrences.
constexpr int kDefaultOccurrences = 10;
constexpr const char* kApplicationName = "Outlook";
// Part of the calendar's key in the store: it must not change with releases.
constexpr const char* kApplicationVersion = "1.0";

[[noreturn]] void raise(long number, const std::string& text) { throw Error(number, text, kErrorSource); }

bool sameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

void checkRange(int value, int low, int high, const char* what) {
    if (value < low || value > high)
        raise(err::kBadArgument, std::string(what) + " must lie between " + std::to_string(low) + " and " +
                                     std::to_string(high) + ".");
}

struct Context {
    std::shared_ptr<CalendarStore> store;
    std::shared_ptr<AppointmentWindow> window;
    int horizonDays = 0;

    DateTime horizon() const { return wendra::now().date().addDays(horizonDays + 1); }
};

// An appointment or occurrence and what was changed on it since it was read.
struct ItemState {
    std::shared_ptr<Context> ctx;
    std::shared_ptr<const AppointmentData> base;  // null until the first Save
    bool occurrence = false;
    DateTime original;                // an occurrence's start in its series
    std::weak_ptr<ItemState> series;  // the series an occurrence was got from
    Timing fresh;                     // a new item's values before it is changed
    bool freshReminder = true;
    ItemChanges edits;
    bool deleted = false;

    void check() const {
        if (deleted) raise(err::kItemDeleted, "The item has been moved or deleted.");
    }
    const OverrideData* changed() const { return occurrence && base ? base->overrideAt(original) : nullptr; }

    std::string subject() const {
        if (edits.subject) return *edits.subject;
        if (const OverrideData* o = changed()) return o->subject;
        return base ? base->subject : std::string();
    }
    Timing savedTiming() const {
        if (!base) return fresh;
        if (const OverrideData* o = changed()) return o->timing;
        if (occurrence) return Timing{original, base->timing.duration, base->timing.allDay};
        return base->timing;
    }
    Timing timing() const { return edits.timing ? *edits.timing : savedTiming(); }
    // An all-day item starts at midnight and lasts whole days; anything else is timed.
    void setTiming(Timing t) {
        if (t.allDay && (t.start.secondOfDay() != 0 || t.duration <= 0 || t.duration % 1440 != 0)) t.allDay = false;
        edits.timing = t;
    }
    bool reminder() const {
        if (edits.reminder) return *edits.reminder;
        if (const OverrideData* o = changed()) return o->reminder;
        return base ? base->reminder : freshReminder;
    }

    std::optional<UserPropData> prop(const std::string& name) const {
        for (const auto* list : {&edits.props, changed() ? &changed()->props : nullptr, base ? &base->props : nullptr}) {
            if (!list) continue;
            for (const UserPropData& p : *list)
                if (sameName(p.name, name)) return p;
        }
        return std::nullopt;
    }
    std::vector<UserPropData> props() const {
        std::vector<UserPropData> out;
        for (const auto* list : {base ? &base->props : nullptr, changed() ? &changed()->props : nullptr, &edits.props}) {
            if (!list) continue;
            for (const UserPropData& p : *list) {
                auto same = std::find_if(out.begin(), out.end(), [&](const UserPropData& o) { return sameName(o.name, p.name); });
                if (same != out.end()) *same = p;
                else out.push_back(p);
            }
        }
        return out;
    }
    void setProp(const UserPropData& p) {
        auto same = std::find_if(edits.props.begin(), edits.props.end(),
                                 [&](const UserPropData& o) { return sameName(o.name, p.name); });
        if (same != edits.props.end()) *same = p;
        else edits.props.push_back(p);
    }

    bool savedRecurring() const { return base && base->recurring(); }
    // The series as a pattern reads it: the saved start unless it was changed.
    SeriesStart seriesStart() const {
        if (base && !edits.timing && !occurrence) return base->series;
        const Timing t = occurrence && base ? base->timing : timing();
        SeriesStart s;
        s.allDay = t.allDay;
        if (base && !t.allDay) s.form = base->series.form;
        s.wall = wallTime(fromLocal(t.start, s.form, t.allDay));
        return s;
    }
    PatternData pattern() const {
        if (edits.pattern) return *edits.pattern;
        if (savedRecurring() && !edits.clearPattern) return base->pattern();
        return weeklyPatternFor(timing().start);
    }
    // The rule the pattern's counts are taken from.
    std::string rule() const {
        const PatternData p = pattern();
        if (!p.exact && savedRecurring()) return base->rrules.front();
        return ruleOf(p, seriesStart());
    }

    void rebase(std::shared_ptr<const AppointmentData> fresh) { base = std::move(fresh); }
};

DateTime nextHalfHour() {
    const DateTime now = wendra::now();
    const std::int64_t step = 30 * 60;
    return DateTime::fromSeconds((now.seconds() / step + 1) * step);
}

// ---- user properties --------------------------------------------------------

class IcsUserProperty final : public UserProperty {
public:
    IcsUserProperty(std::shared_ptr<ItemState> s, std::string name) : s_(std::move(s)), name_(std::move(name)) {}

    std::string Name() override { return data().name; }
    int Type() override { return data().type; }
    PropertyValue Value() override {
        const UserPropData d = data();
        return decodeProperty(d.type, d.text);
    }
    void setValue(const PropertyValue& value) override {
        UserPropData d = data();
        d.text = encodeProperty(d.type, value);
        s_->setProp(d);
    }

private:
    UserPropData data() const {
        s_->check();
        if (auto p = s_->prop(name_)) return *p;
        raise(err::kItemDeleted, "The property " + name_ + " is no longer there.");
    }
    std::shared_ptr<ItemState> s_;
    std::string name_;
};

class IcsUserProperties final : public UserProperties {
public:
    explicit IcsUserProperties(std::shared_ptr<ItemState> s) : s_(std::move(s)) {}

    int Count() override {
        s_->check();
        return static_cast<int>(s_->props().size());
    }
    std::shared_ptr<UserProperty> Item(int index) override {
        s_->check();
        const auto all = s_->props();
        if (index < 1 || index > static_cast<int>(all.size())) raise(err::kOutOfRange, "Array index out of bounds.");
        return std::make_shared<IcsUserProperty>(s_, all[static_cast<std::size_t>(index - 1)].name);
    }
    std::shared_ptr<UserProperty> Find(const std::string& name) override {
        s_->check();
        if (!s_->prop(name)) return nullptr;
        return std::make_shared<IcsUserProperty>(s_, name);
    }
    std::shared_ptr<UserProperty> Add(const std::string& name, int type) override {
        s_->check();
        if (!isPropertyType(type)) raise(err::kBadArgument, "The property type " + std::to_string(type) + " is not known.");
        const bool usable = !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
            return c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        });
        if (!usable) raise(err::kBadArgument, "The property name \"" + name + "\" cannot be used.");
        if (s_->prop(name)) raise(err::kPropertyExists, "A property named " + name + " already exists.");
        s_->setProp(UserPropData{name, type, defaultPropertyText(type)});
        return std::make_shared<IcsUserProperty>(s_, name);
    }

private:
    std::shared_ptr<ItemState> s_;
};

// ---- appointments -----------------------------------------------------------

class IcsAppointment;
std::shared_ptr<AppointmentItem> appointment(std::shared_ptr<ItemState> s);

std::shared_ptr<ItemState> occurrenceState(const std::shared_ptr<ItemState>& series, DateTime original) {
    auto o = std::make_shared<ItemState>();
    o->ctx = series->ctx;
    o->base = series->base;
    o->occurrence = true;
    o->original = original;
    o->series = series;
    return o;
}

class IcsException final : public Exception {
public:
    IcsException(std::shared_ptr<ItemState> series, DateTime original, bool deleted)
        : series_(std::move(series)), original_(original), deleted_(deleted) {}
    bool Deleted() override { return deleted_; }
    DateTime OriginalDate() override { return original_; }
    std::shared_ptr<outlook::AppointmentItem> AppointmentItem() override {
        if (deleted_) raise(err::kItemDeleted, "The occurrence was deleted.");
        return appointment(occurrenceState(series_, original_));
    }

private:
    std::shared_ptr<ItemState> series_;
    DateTime original_;
    bool deleted_;
};

class IcsExceptions final : public Exceptions {
public:
    explicit IcsExceptions(std::shared_ptr<ItemState> series) : series_(std::move(series)) {
        if (!series_->base) return;
        for (DateTime d : series_->base->exdates) list_.push_back({d, true});
        for (const OverrideData& o : series_->base->overrides)
            if (!series_->base->deletedAt(o.original)) list_.push_back({o.original, false});
        std::stable_sort(list_.begin(), list_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    int Count() override { return static_cast<int>(list_.size()); }
    std::shared_ptr<Exception> Item(int index) override {
        if (index < 1 || index > Count()) raise(err::kOutOfRange, "Array index out of bounds.");
        const auto& [original, deleted] = list_[static_cast<std::size_t>(index - 1)];
        return std::make_shared<IcsException>(series_, original, deleted);
    }

private:
    std::shared_ptr<ItemState> series_;
    std::vector<std::pair<DateTime, bool>> list_;
};

class IcsPattern final : public RecurrencePattern {
public:
    // An occurrence shows its series' pattern and cannot change it.
    IcsPattern(std::shared_ptr<ItemState> s, bool readOnly) : s_(std::move(s)), readOnly_(readOnly) {}

    int RecurrenceType() override {
        const PatternData p = read();
        return p.exact ? p.type : olRecursOther;
    }
    void setRecurrenceType(int type) override {
        if (type != 0 && type != 1 && type != 2 && type != 3 && type != 5 && type != 6)
            raise(err::kBadArgument, "The recurrence type " + std::to_string(type) + " is not known.");
        if (RecurrenceType() != type) resetForType(edit(), type, s_->timing().start);
    }
    int Interval() override { return read().interval; }
    void setInterval(int n) override {
        checkRange(n, 1, 999, "The interval");
        if (read().interval != n) edit().interval = n;
    }
    int DayOfWeekMask() override { return read().mask; }
    void setDayOfWeekMask(int mask) override {
        checkRange(mask, 0, 127, "The day-of-week mask");
        if (read().mask != mask) edit().mask = mask;
    }
    int Instance() override { return read().instance; }
    void setInstance(int n) override {
        checkRange(n, 1, 5, "The instance");
        if (read().instance != n) edit().instance = n;
    }
    int DayOfMonth() override { return read().dayOfMonth; }
    void setDayOfMonth(int day) override {
        checkRange(day, 1, 31, "The day of the month");
        if (read().dayOfMonth != day) edit().dayOfMonth = day;
    }
    int MonthOfYear() override { return read().monthOfYear; }
    void setMonthOfYear(int month) override {
        checkRange(month, 1, 12, "The month");
        if (read().monthOfYear != month) edit().monthOfYear = month;
    }

    DateTime PatternStartDate() override { return start().start.date(); }
    void setPatternStartDate(DateTime date) override {
        writable();
        Timing t = s_->timing();
        t.start = date.date().addSeconds(t.start.secondOfDay());
        if (t.start != s_->timing().start) s_->setTiming(t);
    }
    DateTime PatternEndDate() override {
        const PatternData p = read();
        switch (p.end) {
        case PatternData::End::until: return p.until;
        case PatternData::End::count: return dayOfOccurrence(s_->rule(), s_->seriesStart(), p.count);
        case PatternData::End::none: break;
        }
        return noDate();
    }
    void setPatternEndDate(DateTime date) override {
        writable();
        if (date.date() < start().start.date()) raise(err::kBadArgument, "The pattern cannot end before it starts.");
        const PatternData p = read();
        if (p.end == PatternData::End::until && p.until == date.date()) return;
        edit().end = PatternData::End::until;
        edit().until = date.date();
    }
    bool NoEndDate() override { return read().end == PatternData::End::none; }
    void setNoEndDate(bool noEnd) override {
        writable();
        if (noEnd == NoEndDate()) return;
        edit().end = noEnd ? PatternData::End::none : PatternData::End::count;
        if (!noEnd) edit().count = kDefaultOccurrences;
    }
    int Occurrences() override {
        const PatternData p = read();
        switch (p.end) {
        case PatternData::End::count: return p.count;
        case PatternData::End::until: return countThrough(s_->rule(), s_->seriesStart(), p.until);
        case PatternData::End::none: break;
        }
        return 0;
    }
    void setOccurrences(int count) override {
        checkRange(count, 1, 999999, "The number of occurrences");
        const PatternData p = read();
        if (p.end == PatternData::End::count && p.count == count) return;
        edit().end = PatternData::End::count;
        edit().count = count;
    }

    DateTime StartTime() override { return patternTimeDay().addSeconds(start().start.secondOfDay()); }
    void setStartTime(DateTime time) override {
        writable();
        Timing t = s_->timing();
        t.start = t.start.date().addSeconds(time.secondOfDay());
        if (t.start != s_->timing().start) s_->setTiming(t);
    }
    DateTime EndTime() override {
        const Timing t = start();
        return patternTimeDay().addSeconds(t.start.addMinutes(t.duration).secondOfDay());
    }
    void setEndTime(DateTime time) override {
        writable();
        Timing t = s_->timing();
        std::int64_t seconds = time.secondOfDay() - t.start.secondOfDay();
        if (seconds < 0) seconds += DateTime::kSecondsPerDay;
        t.duration = static_cast<long>(seconds / 60);
        if (t.duration != s_->timing().duration) s_->setTiming(t);
    }
    long Duration() override { return start().duration; }
    void setDuration(long minutes) override {
        writable();
        if (minutes < 0) raise(err::kBadArgument, "The duration cannot be negative.");
        Timing t = s_->timing();
        t.duration = minutes;
        if (t.duration != s_->timing().duration) s_->setTiming(t);
    }

    std::shared_ptr<outlook::Exceptions> Exceptions() override {
        s_->check();
        return std::make_shared<IcsExceptions>(s_);
    }
    std::shared_ptr<AppointmentItem> GetOccurrence(DateTime when) override {
        s_->check();
        if (!s_->savedRecurring()) raise(err::kNoOccurrence, "The appointment has no occurrence at that time.");
        const auto occ = occurrenceAt(*s_->base, when);
        if (!occ) raise(err::kNoOccurrence, "The appointment has no occurrence at that time.");
        return appointment(occurrenceState(s_, occ->original));
    }

private:
    PatternData read() const {
        s_->check();
        return s_->pattern();
    }
    Timing start() const {
        s_->check();
        return s_->timing();
    }
    void writable() const {
        s_->check();
        if (readOnly_) raise(err::kReadOnly, "The pattern of an occurrence cannot be changed.");
    }
    PatternData& edit() {
        writable();
        if (!s_->edits.pattern) {
            s_->edits.pattern = s_->pattern();
            s_->edits.clearPattern = false;
        }
        return *s_->edits.pattern;
    }

    std::shared_ptr<ItemState> s_;
    bool readOnly_;
};

class IcsAppointment final : public AppointmentItem, public std::enable_shared_from_this<IcsAppointment> {
public:
    explicit IcsAppointment(std::shared_ptr<ItemState> s) : s_(std::move(s)) {}

    std::string EntryID() override {
        s_->check();
        return s_->base ? s_->base->uid : std::string();
    }
    std::string Subject() override {
        s_->check();
        return s_->subject();
    }
    void setSubject(const std::string& subject) override {
        s_->check();
        s_->edits.subject = subject;
    }
    DateTime Start() override {
        s_->check();
        return s_->timing().start;
    }
    void setStart(DateTime start) override {
        s_->check();
        Timing t = s_->timing();
        t.start = start;
        s_->setTiming(t);
    }
    bool AllDayEvent() override {
        s_->check();
        return s_->timing().allDay;
    }
    void setAllDayEvent(bool allDay) override {
        s_->check();
        Timing t = s_->timing();
        if (allDay) {
            t.start = t.start.date();
            t.duration = std::max(1L, (t.duration + 1439) / 1440) * 1440;
        }
        t.allDay = allDay;
        s_->setTiming(t);
    }
    long Duration() override {
        s_->check();
        return s_->timing().duration;
    }
    void setDuration(long minutes) override {
        s_->check();
        if (minutes < 0) raise(err::kBadArgument, "The duration cannot be negative.");
        Timing t = s_->timing();
        t.duration = minutes;
        s_->setTiming(t);
    }
    bool ReminderSet() override {
        s_->check();
        return s_->reminder();
    }
    void setReminderSet(bool set) override {
        s_->check();
        s_->edits.reminder = set;
    }
    DateTime LastModificationTime() override {
        s_->check();
        if (const OverrideData* o = s_->changed()) return o->lastModified;
        return s_->base ? s_->base->lastModified : noDate();
    }
    DateTime CreationTime() override {
        s_->check();
        return s_->base ? s_->base->created : noDate();
    }
    bool IsRecurring() override {
        s_->check();
        return s_->occurrence || s_->savedRecurring();
    }
    int RecurrenceState() override {
        s_->check();
        if (s_->occurrence) return s_->changed() ? olApptException : olApptOccurrence;
        return s_->savedRecurring() ? olApptMaster : olApptNotRecurring;
    }
    std::shared_ptr<RecurrencePattern> GetRecurrencePattern() override {
        s_->check();
        if (s_->occurrence) {
            auto series = std::make_shared<ItemState>();
            series->ctx = s_->ctx;
            series->base = s_->base;
            return std::make_shared<IcsPattern>(series, true);
        }
        if ((!s_->savedRecurring() || s_->edits.clearPattern) && !s_->edits.pattern) {
            s_->edits.pattern = weeklyPatternFor(s_->timing().start);
            s_->edits.clearPattern = false;
        }
        return std::make_shared<IcsPattern>(s_, false);
    }
    void ClearRecurrencePattern() override {
        s_->check();
        if (s_->occurrence) raise(err::kReadOnly, "An occurrence cannot lose its series' pattern.");
        s_->edits.pattern.reset();
        s_->edits.clearPattern = s_->savedRecurring();
    }
    std::shared_ptr<outlook::UserProperties> UserProperties() override {
        s_->check();
        return std::make_shared<IcsUserProperties>(s_);
    }

    void Save() override {
        s_->check();
        const DateTime now = wendra::now();
        const bool isNew = !s_->base;
        const std::string uid = isNew ? newUid() : s_->base->uid;
        ItemChanges changes = s_->edits;
        if (isNew) {
            changes.subject = s_->subject();
            changes.timing = s_->timing();
            changes.reminder = s_->reminder();
        }
        auto& store = *s_->ctx->store;
        std::shared_ptr<const Snapshot> after;
        try {
            after = store.write(uid, [&](icalcomponent* calendar, const ZoneTable& zones) {
                if (s_->occurrence) saveOccurrence(calendar, uid, s_->original, changes, now, zones);
                else saveSeries(calendar, uid, isNew, changes, now, zones);
            });
        } catch (const Error& e) {
            if (e.Number() == err::kItemDeleted) s_->deleted = true;
            throw;
        }
        s_->rebase(after->find(uid));
        s_->edits = {};
        rebaseSeries(after);
    }
    void Delete() override {
        s_->check();
        if (s_->base) {
            const std::string uid = s_->base->uid;
            const DateTime now = wendra::now();
            const auto after = s_->ctx->store->write(uid, [&](icalcomponent* calendar, const ZoneTable& zones) {
                if (s_->occurrence) deleteOccurrence(calendar, uid, s_->original, now, zones);
                else deleteSeries(calendar, uid);
            });
            rebaseSeries(after);
        }
        s_->deleted = true;
    }
    void Display(bool /*modal*/) override {
        // Every window of ours is modal: the caller goes on when the user closes it.
        s_->check();
        if (!s_->ctx->window) raise(err::kNoWindow, "No appointment window is available.");
        s_->ctx->window->show(*this);
    }
    std::function<void()> keepChanges() override {
        return [s = s_, edits = s_->edits] { s->edits = edits; };
    }

private:
    // The series an occurrence came from sees the change at once.
    void rebaseSeries(const std::shared_ptr<const Snapshot>& after) {
        if (auto series = s_->series.lock(); series && series->base) series->rebase(after->find(series->base->uid));
    }

    std::shared_ptr<ItemState> s_;
};

std::shared_ptr<AppointmentItem> appointment(std::shared_ptr<ItemState> s) {
    return std::make_shared<IcsAppointment>(std::move(s));
}

// ---- collections ------------------------------------------------------------

enum class SortKey { none, start, end, subject, created, lastModified, duration };

struct Entry {
    std::shared_ptr<const AppointmentData> item;
    bool occurrence = false;
    DateTime original;
    Timing timing;
    const OverrideData* changed = nullptr;

    const std::string& subject() const { return changed ? changed->subject : item->subject; }
    DateTime lastModified() const { return changed ? changed->lastModified : item->lastModified; }
    ItemFacts facts() const {
        ItemFacts f;
        f.subject = &subject();
        f.start = timing.start;
        f.duration = timing.duration;
        f.allDay = timing.allDay;
        f.recurring = occurrence || item->recurring();
        f.reminder = changed ? changed->reminder : item->reminder;
        f.created = item->created;
        f.lastModified = lastModified();
        return f;
    }
};

class IcsItems final : public Items {
public:
    explicit IcsItems(std::shared_ptr<Context> ctx) : ctx_(std::move(ctx)) {}

    int Count() override { return static_cast<int>(view().size()); }
    std::shared_ptr<AppointmentItem> Item(int index) override {
        const auto& v = view();
        if (index < 1 || index > static_cast<int>(v.size())) raise(err::kOutOfRange, "Array index out of bounds.");
        return make(v[static_cast<std::size_t>(index - 1)]);
    }
    std::shared_ptr<AppointmentItem> GetFirst() override {
        // The walk keeps the list it started with, so deleting what it gave
        // (an occurrence, a series) neither skips nor repeats an entry.
        walk_ = view();
        next_ = 0;
        return GetNext();
    }
    std::shared_ptr<AppointmentItem> GetNext() override {
        if (next_ >= walk_.size()) return nullptr;
        return make(walk_[next_++]);
    }
    std::shared_ptr<AppointmentItem> Add() override {
        auto s = std::make_shared<ItemState>();
        s->ctx = ctx_;
        s->fresh = Timing{nextHalfHour(), kDefaultDuration, false};
        return appointment(std::move(s));
    }
    std::shared_ptr<Items> Restrict(const std::string& filter) override {
        auto r = std::make_shared<IcsItems>(*this);
        r->filters_.push_back(Restriction::parse(filter));
        r->invalidate();
        r->walk_.clear();
        return r;
    }
    void Sort(const std::string& property, bool descending) override {
        std::string name = property;
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
        static const std::pair<const char*, SortKey> kKeys[] = {
            {"Start", SortKey::start},          {"End", SortKey::end},
            {"Subject", SortKey::subject},      {"CreationTime", SortKey::created},
            {"LastModificationTime", SortKey::lastModified}, {"Duration", SortKey::duration}};
        const auto key = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const auto& k) { return sameName(k.first, name); });
        if (key == std::end(kKeys)) raise(err::kBadArgument, "The items cannot be sorted by " + property + ".");
        sort_ = key->second;
        descending_ = descending;
        invalidate();
    }
    bool IncludeRecurrences() override { return recurrences_; }
    void setIncludeRecurrences(bool include) override {
        recurrences_ = include;
        invalidate();
    }

private:
    void invalidate() { viewOf_.reset(); }

    std::shared_ptr<AppointmentItem> make(const Entry& e) const {
        auto s = std::make_shared<ItemState>();
        s->ctx = ctx_;
        s->base = e.item;
        s->occurrence = e.occurrence;
        s->original = e.original;
        return appointment(std::move(s));
    }

    const std::vector<Entry>& view() {
        auto snapshot = ctx_->store->current();
        // Occurrences are listed over the starts the filters leave, up to a
        // horizon a day at a time ahead of today unless the filters end them.
        const bool expand = recurrences_ && sort_ == SortKey::start;
        const DateTime horizon = expand ? ctx_->horizon() : DateTime();
        if (viewOf_ == snapshot && horizon == viewHorizon_) return view_;
        Restriction::StartRange range;
        for (const Restriction& r : filters_) {
            const Restriction::StartRange part = r.startRange();
            if (part.from && (!range.from || *part.from > *range.from)) range.from = part.from;
            if (part.to && (!range.to || *part.to < *range.to)) range.to = part.to;
        }
        const DateTime end = range.to.value_or(horizon);

        std::vector<Entry> list;
        list.reserve(snapshot->items.size());
        for (const auto& item : snapshot->items) {
            if (!expand || !item->recurring()) {
                if (expand && item->timing.start >= end) continue;
                list.push_back(Entry{item, false, item->timing.start, item->timing, nullptr});
                continue;
            }
            for (const Occurrence& o : occurrencesOf(*item, end, range.from))
                list.push_back(Entry{item, true, o.original, o.timing, o.changed});
        }
        if (!filters_.empty()) {
            std::erase_if(list, [&](const Entry& e) {
                const ItemFacts f = e.facts();
                return !std::all_of(filters_.begin(), filters_.end(), [&](const Restriction& r) { return r.matches(f); });
            });
        }
        if (sort_ != SortKey::none) {
            const auto less = [this](const Entry& a, const Entry& b) {
                switch (sort_) {
                case SortKey::start: return a.timing.start < b.timing.start;
                case SortKey::end: return a.timing.start.addMinutes(a.timing.duration) < b.timing.start.addMinutes(b.timing.duration);
                case SortKey::subject: return strcasecmp(a.subject().c_str(), b.subject().c_str()) < 0;
                case SortKey::created: return a.item->created < b.item->created;
                case SortKey::lastModified: return a.lastModified() < b.lastModified();
                case SortKey::duration: return a.timing.duration < b.timing.duration;
                case SortKey::none: break;
                }
                return false;
            };
            if (descending_) std::stable_sort(list.begin(), list.end(), [&](const Entry& a, const Entry& b) { return less(b, a); });
            else std::stable_sort(list.begin(), list.end(), less);
        }
        view_ = std::move(list);
        viewOf_ = std::move(snapshot);
        viewHorizon_ = horizon;
        return view_;
    }

    std::shared_ptr<Context> ctx_;
    std::vector<Restriction> filters_;
    SortKey sort_ = SortKey::none;
    bool descending_ = false;
    bool recurrences_ = false;
    std::shared_ptr<const Snapshot> viewOf_;
    DateTime viewHorizon_;
    std::vector<Entry> view_;
    std::vector<Entry> walk_;
    std::size_t next_ = 0;
};

// ---- application ------------------------------------------------------------

class IcsFolder final : public MAPIFolder {
public:
    explicit IcsFolder(std::shared_ptr<Context> ctx) : ctx_(std::move(ctx)) {}
    std::string EntryID() override {
        auto snapshot = ctx_->store->current();
        // A calendar without an id (new, or made by another program) gets one
        // now, so the id the program registers stays the same.
        if (snapshot->calendarId.empty())
            snapshot = ctx_->store->write("", [](icalcomponent*, const ZoneTable&) {});
        return snapshot->calendarId;
    }
    std::shared_ptr<outlook::Items> Items() override { return std::make_shared<IcsItems>(ctx_); }

private:
    std::shared_ptr<Context> ctx_;
};

class IcsNameSpace final : public NameSpace {
public:
    explicit IcsNameSpace(std::shared_ptr<Context> ctx) : ctx_(std::move(ctx)) {}
    std::shared_ptr<MAPIFolder> GetDefaultFolder(int folderType) override {
        if (folderType != olFolderCalendar)
            raise(err::kBadArgument, "Only the calendar folder (" + std::to_string(olFolderCalendar) + ") is kept.");
        return std::make_shared<IcsFolder>(ctx_);
    }

private:
    std::shared_ptr<Context> ctx_;
};

class IcsApplication final : public Application {
public:
    explicit IcsApplication(std::shared_ptr<Context> ctx) : ctx_(std::move(ctx)) {}
    std::string Name() override { return kApplicationName; }
    std::string Version() override { return kApplicationVersion; }
    std::shared_ptr<NameSpace> GetNamespace(const std::string& type) override {
        if (!sameName(type, "MAPI")) raise(err::kBadArgument, "The namespace " + type + " is not known.");
        return std::make_shared<IcsNameSpace>(ctx_);
    }

private:
    std::shared_ptr<Context> ctx_;
};

}  // namespace

std::shared_ptr<Application> openCalendar(const CalendarOptions& options) {
    const std::filesystem::path file = options.file.empty() ? defaultCalendarFile() : options.file;
    if (file.empty()) raise(err::kCalendarUnreadable, "No calendar file: no home folder is known.");
    auto ctx = std::make_shared<Context>();
    ctx->store = CalendarStore::open(file);
    ctx->window = options.window;
    ctx->horizonDays = std::max(0, options.horizonDays);
    return std::make_shared<IcsApplication>(std::move(ctx));
}

CalendarAutomation::CalendarAutomation(CalendarOptions options) : options_(std::move(options)) {}

std::shared_ptr<Application> CalendarAutomation::CreateObject(const std::string& progId) {
    if (!sameName(progId, "Outlook.Application"))
        throw Error(err::kCannotCreate, "Cannot create the object " + progId + ".", kErrorSource);
    return openCalendar(options_);
}

}  // namespace wendra::outlook
