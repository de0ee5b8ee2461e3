// The incremental update and a full rebuild agree: over a seeded random store
// and a sequence of random edits (new events, times, dates, texts, rules,
// warnings, hidden and removed occurrences, occurrence texts, deletions), the
// rows the update leaves live are the rows, texts, colours and order a rebuild
// of the same store gives. Events lie near today, long past and decades ahead
// (up to 2106), with warnings of their own from none to beyond the default
// and far beyond it, and some delete their past occurrences by themselves.
//
// One kind of row differs on purpose: an event saved while not due yet shows
// its next occurrence, marked "+", so that the user sees the save took. That
// row must be there after the update, and the next rebuild leaves it out.
//
// The store keeps one occurrence exactly at the fold boundary (two hours before
// now), never edited; every other time lies on a quarter hour.
#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include <stdlib.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "list/EventList.h"
#include "mainwindow/UiListGrid.h"
#include "tests/support/ListRig.h"

using namespace wendra;

namespace {

// Tuesday 5 March 2024, 14:07: the fold boundary is 12:07.
const DateTime kNow = DateTime::ymd(2024, 3, 5, 14, 7);
const DateTime kToday = kNow.date();

std::string colourText(std::optional<ui::Colour> c) { return c ? std::to_string(*c) : std::string("-"); }

// A row as compared: texts but the marker, and the colours of the days-to and description cells.
std::string rowText(const ui::Grid& g, int r) {
    std::string row;
    for (int c = 0; c < g.cols(); ++c)
        if (c != grdModified) row += g.textMatrix(r, c) + "|";
    for (int c : {grdWendra, grdSubject})
        row += colourText(g.cellForeColourAt(r, c)) + "/" + colourText(g.cellBackColourAt(r, c)) + "|";
    return row;
}

// The live rows, those not marked "X", in their order.
std::vector<std::string> liveRows(const ui::Grid& g) {
    std::vector<std::string> out;
    for (int r = g.fixedRows(); r < g.rows(); ++r)
        if (g.textMatrix(r, grdModified) != "X") out.push_back(rowText(g, r));
    return out;
}

// The next occurrence an event not due yet was saved with.
struct NotDueYet {
    DateTime next;
    bool allDay;
};

struct Scenario {
    unsigned seed;
    bool shrinkPast;
    bool headings;
    bool longDesc;
    bool viewAll;
    bool byDescription;
    int defaultWarning = 60;
};

class ListPropertyTest : public ::testing::TestWithParam<Scenario>, protected test::ListStore {
protected:
    ListPropertyTest() : ListStore(kNow) {}

    void SetUp() override {
        const Scenario& s = GetParam();
        settings.setPriorWarning(static_cast<std::int16_t>(s.defaultWarning));
        settings.setPastEventHours(2);
        settings.setViewHeadings(s.headings);
        settings.setViewLongDesc(s.longDesc);
        rng.seed(s.seed);
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    std::string description() {
        static const std::vector<std::string> kTexts = {"Lunch", "lunch", "LUNCH", "Gym", "Call mum", "call Mum",
                                                        "Dentist", "Bins out", "Review", "Piano"};
        return kTexts[std::size_t(pick(0, int(kTexts.size()) - 1))];
    }
    DateTime when(int day, bool allDay) {
        DateTime d = kToday.addDays(day);
        return allDay ? d : d.addMinutes(15 * pick(0, 95));
    }
    // Mostly around today, else long past or far ahead.
    int someDay() {
        switch (pick(0, 9)) {
            case 0: return pick(-800, -7);
            case 1: return pick(26, 400);
            case 2: return pick(400, 30000);
            default: return pick(-6, 25);
        }
    }
    // A warning of the event's own: about the default, short, long, or reaching decades.
    void someWarning(clsCalEvent& ev) {
        ev.setPriorWarningIsDefault(false);
        switch (pick(0, 3)) {
            case 0: ev.setPriorWarning(pick(58, 60)); break;
            case 1: ev.setPriorWarning(pick(0, 10)); break;
            case 2: ev.setPriorWarning(pick(100, 500)); break;
            default: ev.setPriorWarning(pick(20000, 30000)); break;
        }
    }

    clsCalEvent randomEvent() {
        clsCalEvent ev;
        ev.setDescription(description());
        const bool allDay = chance(0.3);
        const DateTime start = when(someDay(), allDay);
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setViewFromDate(start);
        if (chance(0.5)) someWarning(ev);
        if (chance(0.2)) ev.setAutoDelete(std::to_string(pick(0, 3)));
        switch (pick(0, 4)) {
            case 0: break;
            case 1: {
                clsCalRRule& r = ev.addRRule();
                r.setFrequency(clsCalRRule::kDaily);
                r.setInterval(pick(1, 3));
                r.setDurationCount(pick(2, 12));
                ev.setIsRecurring(true);
                break;
            }
            case 2: {
                clsCalRRule& r = ev.addRRule();
                r.setFrequency(clsCalRRule::kWeekly);
                r.setDurationUntil(start.date().addDays(pick(10, 50)), true);
                ev.setIsRecurring(true);
                break;
            }
            case 3: {
                clsCalRRule& r = ev.addRRule();
                r.setFrequency(clsCalRRule::kMonthly);
                r.setDurationCount(pick(2, 4));
                ev.setIsRecurring(true);
                break;
            }
            default: {
                clsCalRRule& r = ev.addRRule();
                r.setFrequency(clsCalRRule::kYearly);
                r.setDurationCount(pick(2, 5));
                ev.setIsRecurring(true);
                break;
            }
        }
        return ev;
    }

    // Some occurrence of the event in view, if it has one.
    std::optional<std::pair<DateTime, bool>> someOccurrence(clsCalEvent ev) {
        std::vector<std::pair<DateTime, bool>> found;
        ev.generateOccurs(ev.ViewFromDate().isNull() ? kToday : ev.ViewFromDate(), kToday.addDays(400));
        for (ev.firstOccur(); !ev.endOfOccurs(); ev.nextOccur()) found.emplace_back(ev.OccurDate(), ev.AllDayOccur());
        if (found.empty()) return std::nullopt;
        return found[std::size_t(pick(0, int(found.size()) - 1))];
    }

    // One random edit, shown through the list; false when it did nothing.
    bool edit(EventList& list, std::string& what) {
        if (ids.empty() || chance(0.15)) {
            clsCalEvent ev = randomEvent();
            ids.push_back(save(ev));
            what = "add " + ids.back();
            list.updateList(ids.back());
            noteShown(ids.back());
            return true;
        }
        const std::size_t index = std::size_t(pick(0, int(ids.size()) - 1));
        const std::string id = ids[index];
        clsCalEvent ev;
        if (!store.Find(ev, *clsDataQVR::toEventKey(id))) {
            ids.erase(ids.begin() + std::ptrdiff_t(index));
            return false;
        }
        const int kind = pick(0, 8);
        what = "edit " + id + " kind " + std::to_string(kind);
        switch (kind) {
            case 0: {  // another time of day
                const DateTime start = ev.AllDayEvent() ? ev.EventStart() : when(0, false);
                const DateTime moved = ev.EventStart().date().addSeconds(start.secondOfDay());
                ev.setEventStart(moved);
                ev.setViewFromDate(moved);
                break;
            }
            case 1: {  // another day, near the old one or anywhere
                const int near = int(ev.EventStart().dayNumber() - kToday.dayNumber()) + pick(-3, 3);
                const int day = chance(0.7) ? std::clamp(near, -800, 30000) : someDay();
                const DateTime moved = kToday.addDays(day).addSeconds(ev.EventStart().secondOfDay());
                ev.setEventStart(moved);
                ev.setViewFromDate(moved);
                break;
            }
            case 2: ev.setDescription(description()); break;
            case 3:
            case 4: {  // an occurrence hidden, or removed
                const auto o = someOccurrence(ev);
                if (!o) return false;
                if (kind == 3)
                    ev.AddHidden(o->first, o->second);
                else
                    ev.MarkDelete(false, o->first, o->second);
                break;
            }
            case 5: {  // an occurrence's own text
                const auto o = someOccurrence(ev);
                if (!o) return false;
                std::string stamp = formatICalDateTime(o->first, true);
                stamp.erase(8, 1);
                ev.setDescExceptions("\t" + stamp + "=" + description() + " (moved)\t");
                ev.setHasExceptions(true);
                break;
            }
            case 6: {  // the rule's count or the warning
                if (clsCalRRule* r = ev.RRule(1); r && r->DurationCount() > 0) {
                    r->setDurationUntil(DateTime(), true);
                    r->setDurationCount(pick(1, 12));
                } else if (chance(0.4)) {
                    ev.setPriorWarningIsDefault(true);
                } else if (chance(0.2)) {
                    ev.setAutoDelete(chance(0.5) ? "M" : std::to_string(pick(0, 3)));
                } else {
                    someWarning(ev);
                }
                break;
            }
            case 7: {  // all day or timed
                const bool allDay = !ev.AllDayEvent();
                const DateTime start = allDay ? ev.EventStart().date() : when(int(ev.EventStart().dayNumber() - kToday.dayNumber()), false);
                ev.setAllDayEvent(allDay);
                ev.setEventStart(start);
                ev.setViewFromDate(start);
                break;
            }
            default: {  // deleted, shown either way
                EXPECT_TRUE(store.DeleteEvent(ev));
                ids.erase(ids.begin() + std::ptrdiff_t(index));
                what = "delete " + id;
                notDue.erase(id);
                if (chance(0.5))
                    list.ListShowDeleted(id);
                else
                    list.updateList(id);
                return true;
            }
        }
        save(ev);
        list.updateList(id);
        noteShown(id);
        return true;
    }

    // After an update of the event: whether its view date lies beyond its own
    // window, so that the list shows that occurrence anyway.
    void noteShown(const std::string& id) {
        notDue.erase(id);
        clsCalEvent ev;
        if (GetParam().viewAll || !store.Find(ev, *clsDataQVR::toEventKey(id)) || ev.ViewFromDate().isNull()) return;
        const int warning =
            ev.PriorWarningIsDefault() || ev.PriorWarning() < 0 ? settings.PriorWarning() : ev.PriorWarning();
        if (ev.ViewFromDate().date() > kToday.addDays(warning)) notDue[id] = {ev.ViewFromDate(), ev.AllDayEvent()};
    }

    // The live rows after the updates are the rebuild's, with the rows of the
    // events not due yet besides (and no placeholder when those are all there is);
    // each of those shows the event's next occurrence alone, marked "+".
    void expectAgreement(const ui::Grid& grid, const EventList& list, const std::string& context) {
        const std::vector<std::string> expected = rebuilt(list);
        std::vector<std::string> others;
        std::map<std::string, std::vector<int>> extra;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
            if (grid.textMatrix(r, grdModified) == "X") continue;
            const std::string id = gridKeyValue(grid.textMatrix(r, grdKey), Tag::Id);
            if (notDue.contains(id))
                extra[id].push_back(r);
            else
                others.push_back(rowText(grid, r));
        }
        for (const auto& [id, next] : notDue) {
            SCOPED_TRACE(context + ", not due yet: " + id);
            ASSERT_EQ(extra[id].size(), 1u);
            const int r = extra[id][0];
            const std::string key = grid.textMatrix(r, grdKey);
            EXPECT_EQ(gridKeyValue(key, Tag::Occr), formatICalDateTime(next.next, !next.allDay));
            EXPECT_EQ(gridKeyValue(key, Tag::Recur), "False");
            EXPECT_EQ(grid.textMatrix(r, grdWendra), std::to_string(next.next.dayNumber() - kToday.dayNumber()));
            EXPECT_EQ(grid.textMatrix(r, grdModified), "+");
            EXPECT_EQ(grid.cellForeColourAt(r, grdModified), 0xFFFFFF);
            EXPECT_EQ(grid.cellBackColourAt(r, grdModified), 0xFF0000);
            ++notDueShown;
        }
        // The rebuild shows none of them.
        for (const std::string& row : expected)
            EXPECT_FALSE(notDue.contains(gridKeyValue(row.substr(0, row.find('|')), Tag::Id))) << context << ": " << row;
        const bool placeholderOnly = expected.size() == 1 && expected[0].starts_with("||");
        if (!notDue.empty() && placeholderOnly)
            EXPECT_TRUE(others.empty()) << context;
        else
            EXPECT_EQ(others, expected) << context;
        EXPECT_EQ(list.pastCount(), pastOfRebuild) << context;
    }

    // What a rebuild of the same store with the list's view shows.
    std::vector<std::string> rebuilt(const EventList& like) {
        ui::Grid fresh{"fresh"};
        pastOfRebuild = rebuildInto(fresh, like);
        return liveRows(fresh);
    }

    std::mt19937 rng;
    std::vector<std::string> ids;
    std::map<std::string, NotDueYet> notDue;  // by event id
    int notDueShown = 0;
    int pastOfRebuild = 0;
};

TEST_P(ListPropertyTest, UpdatesEndWhereARebuildEnds) {
    const Scenario& s = GetParam();
    clsCalEvent boundary;
    boundary.setDescription("At the fold boundary");
    boundary.setEventStart(kNow.addMinutes(-120));
    boundary.setAllDayEvent(false);
    boundary.setViewFromDate(boundary.EventStart());
    save(boundary);
    for (int i = 0; i < 12; ++i) {
        clsCalEvent ev = randomEvent();
        ids.push_back(save(ev));
    }

    ui::Grid grid{"msGrid"};
    UiListGrid listGrid{grid, metrics};
    ListHost host;
    EventList list{listGrid, settings, store, host};
    list.setShrinkPast(s.shrinkPast);
    list.setViewAll(s.viewAll);
    list.setViewAllByDescription(s.byDescription);
    list.refreshList();
    ASSERT_EQ(liveRows(grid), rebuilt(list));

    int edits = 0;
    for (int step = 0; step < 60 && edits < 30; ++step) {
        std::string what;
        if (!edit(list, what)) continue;
        ++edits;
        expectAgreement(grid, list, "seed " + std::to_string(s.seed) + ", step " + std::to_string(step) + ": " + what);
        if (HasFailure()) return;
    }
    EXPECT_EQ(edits, 30);
    // Without the list of every event, some saves were of events not due yet.
    if (!s.viewAll) {
        EXPECT_GT(notDueShown, 0);
    }

    // The next rebuild: what a rebuild of the store shows, and no "+" left.
    list.refreshList();
    EXPECT_EQ(liveRows(grid), rebuilt(list));
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) EXPECT_NE(grid.textMatrix(r, grdModified), "+") << r;
}

INSTANTIATE_TEST_SUITE_P(Seeds, ListPropertyTest,
                         ::testing::Values(Scenario{1, true, true, false, false, false},
                                           Scenario{2, true, false, true, false, false},
                                           Scenario{3, false, true, false, false, false},
                                           Scenario{4, true, true, true, false, false},
                                           Scenario{5, false, false, true, false, false},
                                           Scenario{6, true, true, false, true, false},
                                           Scenario{7, true, false, false, true, true},
                                           Scenario{8, true, true, true, false, false},
                                           Scenario{9, true, true, false, false, false, 3},
                                           Scenario{10, false, true, true, true, true},
                                           Scenario{11, true, true, true, false, false, 30},
                                           Scenario{12, false, false, false, false, false, 3}));

}  // namespace
