#include "platform/outlook/Expansion.h"

#include <algorithm>

namespace wendra::outlook::ics {

namespace {

// Where a walk of the rule may begin rather than at DTSTART to reach `from`:
// the start of the period, a whole number of the rule's intervals after that of
// DTSTART, that holds `from` (in the series' clock). libical expands the rule
// from the period a walk begins in, so it must be one of the rule's own.
std::optional<DateTime> periodStartBefore(const struct icalrecurrencetype& rule, DateTime dtstart, DateTime from) {
    if (from <= dtstart) return std::nullopt;
    const int n = std::max<int>(rule.interval, 1);
    const std::int64_t days = (from.date().seconds() - dtstart.date().seconds()) / DateTime::kSecondsPerDay;
    const int months = (from.year() - dtstart.year()) * 12 + from.month() - dtstart.month();
    const DateTime timeOfDay = DateTime::fromSeconds(dtstart.secondOfDay());
    std::optional<DateTime> at;
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE: at = dtstart.addDays(days / n * n); break;
    case ICAL_WEEKLY_RECURRENCE: at = dtstart.addDays(days / (7 * n) * (7 * n)); break;
    case ICAL_MONTHLY_RECURRENCE: {
        const int month = dtstart.month() - 1 + months / n * n;
        at = DateTime::ymd(dtstart.year() + month / 12, month % 12 + 1, 1).addSeconds(timeOfDay.seconds());
        break;
    }
    case ICAL_YEARLY_RECURRENCE:
        at = DateTime::ymd(dtstart.year() + (from.year() - dtstart.year()) / n * n, 1, 1).addSeconds(timeOfDay.seconds());
        break;
    default: break;
    }
    if (!at || *at <= dtstart) return std::nullopt;
    return at;
}

// The starts the rules and extra dates give before `end`, sorted, not yet
// less the deleted ones; with `from`, only those from then on.
std::vector<DateTime> seriesStarts(const AppointmentData& a, DateTime end, std::optional<DateTime> from = std::nullopt) {
    std::vector<DateTime> starts;
    const auto wanted = [&](DateTime d) { return d < end && (!from || d >= *from); };
    if (!a.recurring() && wanted(a.timing.start)) starts.push_back(a.timing.start);
    const icaltimetype dtstart = a.series.dtstart();
    // Two days early: the series' clock and the local one differ by a day at most.
    const std::optional<DateTime> fromInSeries =
        from ? std::optional(wallTime(fromLocal(from->addDays(-2), a.series.form, a.series.allDay))) : std::nullopt;
    for (const std::string& text : a.rrules) {
        struct icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
        std::optional<icaltimetype> skip;
        if (fromInSeries)
            if (const auto at = periodStartBefore(rule, a.series.wall, *fromInSeries))
                skip = fromWall(*at, a.series.form, a.series.allDay);
        walkRule(
            rule, dtstart,
            [&](const icaltimetype& t) {
                if (t.year > kLastYear) return false;  // no date the store can hold
                const DateTime local = toLocal(t, a.series.form);
                if (local >= end) return false;
                if (wanted(local)) starts.push_back(local);
                return true;
            },
            200000, skip ? &*skip : nullptr);
        if (rule.rscale) icalmemory_free_buffer(rule.rscale);
    }
    for (DateTime d : a.rdates)
        if (wanted(d)) starts.push_back(d);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

}  // namespace

std::vector<Occurrence> occurrencesOf(const AppointmentData& a, DateTime end, std::optional<DateTime> from) {
    // A changed occurrence can move from beyond the end, or from before the
    // start, into the range.
    DateTime walkEnd = end;
    for (const OverrideData& o : a.overrides) walkEnd = std::max(walkEnd, o.original.addSeconds(1));
    std::vector<DateTime> originals = seriesStarts(a, walkEnd, from);
    if (from) {
        for (const OverrideData& o : a.overrides)
            if (o.original < *from && o.timing.start >= *from && isSeriesStart(a, o.original))
                originals.push_back(o.original);
        std::sort(originals.begin(), originals.end());
    }

    std::vector<Occurrence> out;
    for (DateTime original : originals) {
        if (a.deletedAt(original)) continue;
        Occurrence occ;
        occ.original = original;
        occ.changed = a.overrideAt(original);
        occ.timing = occ.changed ? occ.changed->timing : Timing{original, a.timing.duration, a.timing.allDay};
        if (occ.timing.start < end && (!from || occ.timing.start >= *from)) out.push_back(occ);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Occurrence& x, const Occurrence& y) { return x.timing.start < y.timing.start; });
    return out;
}

std::optional<Occurrence> occurrenceAt(const AppointmentData& a, DateTime start) {
    for (const Occurrence& o : occurrencesOf(a, start.addSeconds(1), start))
        if (o.timing.start == start) return o;
    return std::nullopt;
}

bool isSeriesStart(const AppointmentData& a, DateTime original) {
    return !seriesStarts(a, original.addSeconds(1), original).empty();
}

}  // namespace wendra::outlook::ics
