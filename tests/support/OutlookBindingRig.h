#pragma once

// The Outlook binding over a real calendar file and a real store in one
// temporary folder, with a clock the test sets, a recording message box and a
// fault plan that can make any member of the calendar's object model fail.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/clsDataOutlook.h"
#include "platform/db/Schema.h"
#include "platform/outlook/FaultyCalendar.h"
#include "platform/outlook/IcsCalendar.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "store/iCalData.h"
#include "tests/support/CalendarRig.h"

namespace wendra {
// Dates in a failure read as dates.
inline void PrintTo(const DateTime& d, std::ostream* os) { *os << d.isoText(); }
}  // namespace wendra

namespace wendra::test {

class OutlookBindingRig {
public:
    // `window`: what Display opens; the calendar rig's scripted window when none.
    explicit OutlookBindingRig(std::shared_ptr<outlook::AppointmentWindow> window = nullptr)
        : automation(std::make_shared<outlook::CalendarAutomation>(options(window)), faults) {
        EXPECT_TRUE(db::createDatabaseFile(calendar.folder() / db::kDatabaseFileName));
        EXPECT_TRUE(data.OpenData());
    }

    FakeClock& clock() { return calendar.clock(); }
    outlook::ScriptedWindow& window() { return *calendar.window; }

    // A new event as the program makes one, changed now, with the rules and dates
    // of a rule column ("<#=R><F=2><D=MO,WE>").
    clsCalEvent event(std::string description, DateTime start, bool allDay = false, std::string_view column = "") {
        clsCalEvent ev;
        ev.setDescription(std::move(description));
        ev.setEventStart(allDay ? start.date() : start);
        ev.setAllDayEvent(allDay);
        ev.setLastModified(clock().now());
        parseICalData(ev, column);
        ev.setIsRecurring(ev.RRulesCount() > 0);
        return ev;
    }
    static std::string column(const clsCalEvent& ev) { return makeiCalData(ev, true); }
    // Weekly at nine from 6 March, eight times: the 13th deleted, the 20th moved to
    // Thursday at eleven, the 27th "<description>, with cake".
    clsCalEvent seriesWithExceptions(const std::string& description) {
        clsCalEvent ev = event(description, DateTime::ymd(2024, 3, 6, 9, 0), false,
                               "<R=20240321T110000><X=20240313,20240320T090000><#=R><F=2><C=8>");
        ev.setDescExceptions("\t20240327090000=" + description + ", with cake\t");
        return ev;
    }

    // As the main window saves: the store first, then Outlook.
    bool save(clsCalEvent& ev) {
        const std::string xid = binding.getXID(ev);
        EXPECT_TRUE(data.Save(ev, SaveMode::Always)) << ev.Description();
        return binding.Save(ev, xid);
    }
    // The stored event's appointment, found through its row key and link.
    FindResult readBack(const clsCalEvent& stored, clsCalEvent& out) {
        return binding.findItem(out, clsDataQVR::kLocalCalendarId, stored.GridKey(), "");
    }
    std::string entryIdOf(const clsCalEvent& stored) {
        return data.getXID(binding.CalendarId(), *clsDataQVR::toEventKey(stored.WendraWinId()));
    }

    // The occurrences the program's own engine gives an event, from its start on.
    static std::vector<DateTime> occurrences(clsCalEvent ev, DateTime to) {
        std::vector<DateTime> out;
        ev.generateOccurs(ev.EventStart().date(), to);
        for (ev.firstOccur(); !ev.endOfOccurs(); ev.nextOccur()) out.push_back(ev.OccurDate());
        return out;
    }
    // The starts libical expands from the file for the appointment.
    std::vector<DateTime> outlookStarts(const std::string& entryId, DateTime to) const {
        auto items = calendar.items();
        items->Sort("[Start]");
        items->setIncludeRecurrences(true);
        std::vector<DateTime> out;
        for (auto i = items->GetFirst(); i; i = items->GetNext())
            if (i->EntryID() == entryId && i->Start() < to) out.push_back(i->Start());
        return out;
    }
    std::shared_ptr<outlook::AppointmentItem> appointment(const std::string& entryId) const {
        auto items = calendar.items();
        for (auto i = items->GetFirst(); i; i = items->GetNext())
            if (i->EntryID() == entryId) return i;
        return nullptr;
    }
    int appointmentCount() const { return calendar.items()->Count(); }
    // The messages that report a failed save.
    int saveErrors() const {
        int n = 0;
        for (const auto& m : messages.calls()) n += m.text.rfind("Error saving to Outlook\r\n", 0) == 0 ? 1 : 0;
        return n;
    }

    CalendarRig calendar;  // now is 5 March 2024, 10:00
    settings::MemorySettingsStore settingsStore;
    clsSettings settings{settingsStore, calendar.folder().string() + "/"};
    clsDataQVR data{settings, StoreOptions::mainProgram(calendar.folder().string())};
    ProgramState state;
    ui::RecordingMessageBox messages;
    std::shared_ptr<outlook::FaultPlan> faults = std::make_shared<outlook::FaultPlan>();
    outlook::FaultyAutomation automation;
    clsDataOutlook binding{automation, messages, OutlookContext::of(data, settings, state)};

private:
    outlook::CalendarOptions options(std::shared_ptr<outlook::AppointmentWindow> window) const {
        outlook::CalendarOptions o = calendar.options();
        if (window) o.window = std::move(window);
        return o;
    }
};

}  // namespace wendra::test
