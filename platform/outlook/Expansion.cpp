#include "platform/outlook/Expansion.h"

#include <algorithm>

namespace wendra::outlook::ics {

namespace {

// The starts the rules and extra dates give before `end`, unsorted and unfiltered.
std::vector<DateTime> seriesStarts(const AppointmentData& a, DateTime end) {
    std::vector<DateTime> starts;
    if (!a.recurring()) {
        if (a.timing.start < end) starts.push_back(a.timing.start);
    }
    const icaltimetype dtstart = a.series.dtstart();
    for (const std::string& text : a.rrules) {
        struct icalrecurrencetype rule = icalrecurrencetype_from_string(text.c_str());
        walkRule(rule, dtstart, [&](const icaltimetype& t) {
            if (t.year > kLastYear) return false;  // no date the store can hold
            const DateTime local = toLocal(t, a.series.form);
            if (local >= end) return false;
            starts.push_back(local);
            return true;
        });
        if (rule.rscale) icalmemory_free_buffer(rule.rscale);
    }
    for (DateTime d : a.rdates)
        if (d < end) starts.push_back(d);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

}  // namespace

std::vector<Occurrence> occurrencesOf(const AppointmentData& a, DateTime end) {
    // A changed occurrence can move from beyond the end to before it.
    DateTime walkEnd = end;
    for (const OverrideData& o : a.overrides) walkEnd = std::max(walkEnd, o.original.addSeconds(1));

    std::vector<Occurrence> out;
    for (DateTime original : seriesStarts(a, walkEnd)) {
        if (a.deletedAt(original)) continue;
        Occurrence occ;
        occ.original = original;
        occ.changed = a.overrideAt(original);
        occ.timing = occ.changed ? occ.changed->timing : Timing{original, a.timing.duration, a.timing.allDay};
        if (occ.timing.start < end) out.push_back(occ);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Occurrence& x, const Occurrence& y) { return x.timing.start < y.timing.start; });
    return out;
}

std::optional<Occurrence> occurrenceAt(const AppointmentData& a, DateTime start) {
    for (const Occurrence& o : occurrencesOf(a, start.addSeconds(1)))
        if (o.timing.start == start) return o;
    return std::nullopt;
}

bool isSeriesStart(const AppointmentData& a, DateTime original) {
    const auto starts = seriesStarts(a, original.addSeconds(1));
    return std::binary_search(starts.begin(), starts.end(), original);
}

}  // namespace wendra::outlook::ics
