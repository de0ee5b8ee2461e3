#include <gtest/gtest.h>

#include <random>

#include "store/clsCalEvent.h"
#include "store/iCalData.h"

using namespace wendra;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }

clsCalEvent parsed(std::string_view text) {
    clsCalEvent ev;
    parseICalData(ev, text);
    return ev;
}

void fillEveryField(clsCalRRule& r, int seed) {
    r.setFrequency(seed % 7);
    r.setInterval(2 + seed);
    r.setDurationCount(5 + seed);
    // An all-day until date has no time of day to keep.
    const bool allDay = seed % 2 == 0;
    r.setDurationUntil(allDay ? d(2026, 1, 2 + seed) : d(2026, 1, 2 + seed, 7, 8, 9), allDay);
    r.setByMonth("1,6");
    r.setByWeekNo("-1,20");
    r.setByYearDay("100,-100");
    r.setByMonthDay("1,15,-1");
    r.setByDay("MO,2TU,-1FR");
    r.setByHour("8,17");
    r.setByMinute("0,30");
    r.setBySecond("15");
    r.setBySetPos("1,-1");
    r.setWeekStartDay(1 + seed);
}

}  // namespace

TEST(ICalData, WritesOnlyWhatDiffersFromTheStartValues) {
    clsCalEvent ev;
    EXPECT_EQ(makeiCalData(ev, true), "");
    ev.addRRule().setFrequency(clsCalRRule::kYearly);
    EXPECT_EQ(makeiCalData(ev, true), "<#=R><F=0>");
}

TEST(ICalData, WeeklyRuleTagsInOrder) {
    clsCalEvent ev;
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kWeekly);
    r.setInterval(2);
    r.setByDay("MO,WE");
    r.setDurationUntil(d(2025, 6, 30), true);
    EXPECT_EQ(makeiCalData(ev, false), "<#=R><F=2><I=2><U=20250630><D=MO,WE>");
}

TEST(ICalData, CountOfOneIsCarriedByTheUntilDate) {
    clsCalEvent ev;
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kDaily);
    r.setDurationCount(1);
    r.setDurationUntil(d(2025, 6, 30, 9, 30), false);
    EXPECT_EQ(makeiCalData(ev, false), "<#=R><F=3><U=20250630T093000>");
}

TEST(ICalData, ExcludedDatesOnlyWhenAsked) {
    clsCalEvent ev;
    ev.setRDates("20250301");
    ev.setExDates("20250302");
    ev.setHiddenList("20250303");
    EXPECT_EQ(makeiCalData(ev, true), "<R=20250301><X=20250302>");
    EXPECT_EQ(makeiCalData(ev, false), "<R=20250301>");
    ev.setExDates("  ");
    EXPECT_EQ(makeiCalData(ev, true), "<R=20250301>");
}

TEST(ICalData, EveryFieldSurvivesTheRoundTrip) {
    clsCalEvent ev;
    ev.setRDates("20250301,20250302T090000");
    ev.setExDates("20250303,20250304T090000");
    fillEveryField(ev.addRRule(), 0);
    fillEveryField(ev.addRRule(), 3);
    ev.addRRule();  // start values only

    const std::string text = makeiCalData(ev, true);
    const clsCalEvent back = parsed(text);
    EXPECT_EQ(back.RDates(), ev.RDates());
    EXPECT_EQ(back.RDatesArray(), ev.RDatesArray());
    EXPECT_EQ(back.ExDates(), ev.ExDates());
    ASSERT_EQ(back.RRulesCount(), 3);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(*back.RRule(i), *ev.RRule(i)) << "rule " << i;
    EXPECT_FALSE(back.RRule(1)->DurationUntil_AllDay() == back.RRule(2)->DurationUntil_AllDay());
    EXPECT_EQ(makeiCalData(back, true), text);
}

TEST(ICalData, ValuesAddedToTheItemsOnlyAreNotStored) {
    clsCalEvent ev;
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kMonthly);
    r.setByMonthDay("1");
    r.ByMonthDayAdd(15);
    r.ByDayAdd("MO");
    const clsCalEvent back = parsed(makeiCalData(ev, false));
    EXPECT_EQ(back.RRule(1)->ByMonthDayArray(), std::vector<int>{1});
    EXPECT_EQ(back.RRule(1)->ByDayCount(), 0);
}

TEST(ICalData, ReaderEdgeCases) {
    clsCalEvent ev = parsed("<#=R><F=3><I=x>");
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kDaily);
    EXPECT_EQ(ev.RRule(1)->Interval(), 0);

    ev = parsed("<#=R><F=1><K=>");
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kMonthly);
    EXPECT_EQ(ev.RRule(1)->WeekStartDay(), 2);

    ev = parsed("<X=20250302><#=R><F=2><D=MO><R=20250301><#=R><F=0><M=6><C=4>");
    ASSERT_EQ(ev.RRulesCount(), 2);
    EXPECT_EQ(ev.RRule(1)->ByDay(), "MO");
    EXPECT_EQ(ev.RRule(1)->DurationCount(), 0);
    EXPECT_EQ(ev.RRule(2)->ByMonth(), "6");
    EXPECT_EQ(ev.RRule(2)->DurationCount(), 4);
    EXPECT_EQ(ev.RDates(), "20250301");
    EXPECT_EQ(ev.ExDates(), "20250302");
    EXPECT_FALSE(ev.IsRecurring());

    ev = parsed("<#=R><U=20250630T0930>");
    EXPECT_EQ(ev.RRule(1)->DurationUntil(), d(2025, 6, 30, 9, 30));
    EXPECT_FALSE(ev.RRule(1)->DurationUntil_AllDay());
    ev = parsed("<#=R><U=no date>");
    EXPECT_TRUE(ev.RRule(1)->DurationUntil().isNull());
    EXPECT_TRUE(ev.RRule(1)->DurationUntil_AllDay());
}

TEST(ICalData, NumbersOutOfRangeTakeTheDefault) {
    struct Case {
        const char* text;
        int frequency, interval, count, weekStart;
    };
    const Case cases[] = {
        {"<#=R><F=99999><I=70000><C=40000><K=32768>", 0, 0, 1, 2},
        {"<#=R><F=-1><I=-2><C=-4><K=0>", 0, 0, 1, 2},
        {"<#=R><F=8><K=8>", 0, 1, 0, 2},
        {"<#=R><F=7><I=32767><C=32767><K=7>", 7, 32767, 32767, 7},
        {"<#=R><F=2.5><I=1e3><C= 3 ><K=1>", 2, 1000, 3, 1},
    };
    for (const auto& c : cases) {
        const clsCalEvent ev = parsed(c.text);
        ASSERT_EQ(ev.RRulesCount(), 1) << c.text;
        const clsCalRRule& r = *ev.RRule(1);
        EXPECT_EQ(r.Frequency(), c.frequency) << c.text;
        EXPECT_EQ(r.Interval(), c.interval) << c.text;
        EXPECT_EQ(r.DurationCount(), c.count) << c.text;
        EXPECT_EQ(r.WeekStartDay(), c.weekStart) << c.text;
    }
}

TEST(ICalData, RuleTagsWithoutARecurrenceRuleChangeNoRule) {
    // Before any rule: nothing to go to.
    clsCalEvent ev = parsed("<F=3><D=MO><#=R><I=4>");
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kNone);
    EXPECT_EQ(ev.RRule(1)->ByDay(), "");
    EXPECT_EQ(ev.RRule(1)->Interval(), 4);

    // An exclusion rule's tags do not fall to the rule before it.
    ev = parsed("<#=R><F=3><#=X><F=1><I=5><T=1><R=20250301><#=R><F=2>");
    ASSERT_EQ(ev.RRulesCount(), 2);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kDaily);
    EXPECT_EQ(ev.RRule(1)->Interval(), 1);
    EXPECT_EQ(ev.RRule(1)->ByMonthDay(), "");
    EXPECT_EQ(ev.RRule(2)->Frequency(), clsCalRRule::kWeekly);
    EXPECT_EQ(ev.RDates(), "20250301");

    clsCalEvent withExclusion;
    withExclusion.addRRule().setFrequency(clsCalRRule::kDaily);
    clsCalRRule& ex = withExclusion.addRRule();
    ex.setRRuleType(1);
    ex.setFrequency(clsCalRRule::kWeekly);
    ex.setByDay("SA");
    const std::string text = makeiCalData(withExclusion, false);
    EXPECT_EQ(text, "<#=R><F=3><#=X><F=2><D=SA>");
    ev = parsed(text);
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->ByDay(), "");
}

TEST(ICalData, UnreadableTagsArePassedOver) {
    clsCalEvent ev = parsed("<#=R><F3><I=4><=5><K");
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kNone);
    EXPECT_EQ(ev.RRule(1)->Interval(), 4);
    EXPECT_EQ(ev.RRule(1)->WeekStartDay(), 2);
    ev = parsed("<#=R><F=2><D=MO");
    EXPECT_EQ(ev.RRule(1)->ByDay(), "");
    EXPECT_EQ(parsed("<").RRulesCount(), 0);
    EXPECT_EQ(parsed("<#").RRulesCount(), 0);
    EXPECT_EQ(parsed("<#=").RRulesCount(), 0);
    EXPECT_EQ(parsed("<#=R").RRulesCount(), 0);
}

TEST(ICalData, DamagedTextsNeverBreakTheReader) {
    clsCalEvent full;
    full.setRDates("20250301");
    full.setExDates("20250302T090000");
    fillEveryField(full.addRRule(), 1);
    const std::string text = makeiCalData(full, true);
    // Every cut of a good text.
    for (std::size_t n = 0; n <= text.size(); ++n) {
        (void)parsed(text.substr(0, n));
        (void)parsed(text.substr(n));
    }
    // Random bytes drawn mostly from the format's own characters.
    std::mt19937 gen(20250312);
    const std::string alphabet = "<>=#RXFICUMWYTDHNSPK0123456789-,T x\t";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string junk;
        for (int i = 0; i < 40; ++i)
            junk += round % 4 == 0 ? static_cast<char>(byte(gen)) : alphabet[pick(gen)];
        const clsCalEvent ev = parsed(junk);
        for (int i = 1; i <= ev.RRulesCount(); ++i) {
            const clsCalRRule& r = *ev.RRule(i);
            EXPECT_GE(r.Frequency(), 0);
            EXPECT_LE(r.Frequency(), 7);
            EXPECT_GE(r.Interval(), 0);
            EXPECT_GE(r.WeekStartDay(), 1);
            EXPECT_LE(r.WeekStartDay(), 7);
        }
    }
}

TEST(ICalData, ValuesCannotOpenOrCloseATag) {
    clsCalEvent ev;
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kWeekly);
    r.setByDay("MO<F=0>");
    r.setByMonth("6>7");
    const clsCalEvent back = parsed(makeiCalData(ev, false));
    ASSERT_EQ(back.RRulesCount(), 1);
    EXPECT_EQ(back.RRule(1)->Frequency(), clsCalRRule::kWeekly);
    EXPECT_EQ(back.RRule(1)->ByDay(), "MOF=0");
    EXPECT_EQ(back.RRule(1)->ByMonth(), "67");
}

// ---- damaged columns: values never overlap tags, a save settles at once ---------------

TEST(ICalData, ADamagedValueIsReadOnceAndNeverAsTags) {
    struct Case {
        const char* text;
        int rules;
        int frequency;  // of the first rule
        const char* byDay;
        const char* rdates;
        const char* exdates;
        const char* written;
    };
    const Case cases[] = {
        {"<R=<>", 0, 0, "", "", "", ""},
        {"<R= <  > >", 0, 0, "", "", "", ""},
        {"<#=R><F=2><D=<>", 1, 2, "", "", "", "<#=R><F=2>"},
        {"<#=R><F=2><D=MO<F=3>", 1, 2, "MOF=3", "", "", "<#=R><F=2><D=MOF=3>"},
        {"<#=R><F=2><D=x<#=R><F=3>>", 1, 3, "x#=R", "", "", "<#=R><F=3><D=x#=R>"},
        {"<R=20250301<X=20250302>", 0, 0, "", "20250301X=20250302", "", "<R=20250301X=20250302>"},
        {"<#=R><F=2><<=9><D=MO>", 1, 2, "MO", "", "", "<#=R><F=2><D=MO>"},
        {"<#=R><F=2><D=MO>>><X=20250302>", 1, 2, "MO", "", "20250302", "<X=20250302><#=R><F=2><D=MO>"},
    };
    for (const auto& c : cases) {
        const clsCalEvent ev = parsed(c.text);
        ASSERT_EQ(ev.RRulesCount(), c.rules) << c.text;
        if (c.rules > 0) {
            EXPECT_EQ(ev.RRule(1)->Frequency(), c.frequency) << c.text;
            EXPECT_EQ(ev.RRule(1)->ByDay(), c.byDay) << c.text;
        }
        EXPECT_EQ(ev.RDates(), c.rdates) << c.text;
        EXPECT_EQ(ev.ExDates(), c.exdates) << c.text;
        EXPECT_EQ(makeiCalData(ev, true), c.written) << c.text;
    }
}

TEST(ICalData, AnAllDayUntilWithATimeReadsAsItsDay) {
    const clsCalEvent ev = parsed("<#=R><F=3><U=2025-06-30 10:00>");
    EXPECT_EQ(ev.RRule(1)->DurationUntil(), d(2025, 6, 30));
    EXPECT_TRUE(ev.RRule(1)->DurationUntil_AllDay());
    EXPECT_EQ(makeiCalData(ev, false), "<#=R><F=3><U=20250630>");
}

namespace {

// What a rule means, as far as a save keeps it: an interval below 1 is 1, and a
// count of 1 is carried by the until date the store fills in before it writes.
std::string meaning(const clsCalEvent& ev) {
    std::string out = "R[" + ev.RDates() + "] X[" + ev.ExDates() + "]";
    for (int i = 1; i <= ev.RRulesCount(); ++i) {
        const clsCalRRule& r = *ev.RRule(i);
        out += " #" + std::to_string(r.Frequency()) + "/" + std::to_string(std::max(1, r.Interval())) + "/" +
               std::to_string(r.DurationCount() > 1 ? r.DurationCount() : 0) + "/" +
               formatICalDateTime(r.DurationUntil(), true) + (r.DurationUntil_AllDay() ? "d" : "t") + "/" +
               r.ByMonth() + "/" + r.ByWeekNo() + "/" + r.ByYearDay() + "/" + r.ByMonthDay() + "/" + r.ByDay() +
               "/" + r.ByHour() + "/" + r.ByMinute() + "/" + r.BySecond() + "/" + r.BySetPos() + "/" +
               std::to_string(r.WeekStartDay());
        for (const std::string& list : {r.ByMonth(), r.ByWeekNo(), r.ByYearDay(), r.ByMonthDay(), r.ByDay(),
                                        r.ByHour(), r.ByMinute(), r.BySecond(), r.BySetPos()})
            EXPECT_EQ(list.find_first_of("<>"), std::string::npos) << list;
    }
    return out;
}

}  // namespace

TEST(ICalData, ADamagedColumnSettlesAfterOneSave) {
    clsCalEvent full;
    full.setRDates("20250301,20250305T101500");
    full.setExDates("20250302T090000");
    fillEveryField(full.addRRule(), 1);
    fillEveryField(full.addRRule(), 4);
    const std::string good = makeiCalData(full, true);

    std::mt19937 gen(20251209);
    const std::string alphabet = "<<>>==#RXFICUMWYTDHNSPK0123456789-,T \t";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 3000; ++round) {
        // A good column with a few bytes damaged, cut, doubled or put in; or bytes of the format alone.
        std::string text = good;
        const int edits = 1 + round % 6;
        for (int e = 0; e < edits && round % 5 != 0; ++e) {
            std::uniform_int_distribution<std::size_t> at(0, text.size());
            const std::size_t i = at(gen);
            switch (gen() % 4) {
                case 0: text.insert(i, 1, alphabet[pick(gen)]); break;
                case 1: if (i < text.size()) text.erase(i, 1 + gen() % 4); break;
                case 2: if (i < text.size()) text[i] = alphabet[pick(gen)]; break;
                default: text.insert(i, text.substr(i / 2, gen() % 12)); break;
            }
        }
        if (round % 5 == 0) {
            text.clear();
            for (int i = 0; i < 60; ++i) text += alphabet[pick(gen)];
        }
        const clsCalEvent first = parsed(text);
        const std::string written = makeiCalData(first, true);
        const clsCalEvent second = parsed(written);
        ASSERT_EQ(makeiCalData(second, true), written) << text;
        ASSERT_EQ(meaning(second), meaning(first)) << text;
    }
}
