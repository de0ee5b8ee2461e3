#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exchange/OutlookBinding.h"
#include "platform/clock/DateTime.h"
#include "store/clsCalEvent.h"

namespace wendra::test {

// The Outlook calendar as the main window and its dialogs meet it: answers as
// the test sets it, notes each call that reads or writes an appointment.
class ScriptedOutlook final : public OutlookBinding {
public:
    bool OpenData() override;
    int CalendarId() override { return calendarId; }
    bool Find(clsCalEvent& ev, int calendarId, const std::string& rowKey, const std::string& entryId) override;
    bool findOccur(clsCalEvent& ev, DateTime when) override;
    std::string getXID(const clsCalEvent& ev) override;
    bool Save(clsCalEvent& ev, const std::string& entryId) override;
    bool displayAddForm(clsCalEvent& ev) override;
    bool displayEditForm(clsCalEvent& ev, bool occurrence) override;

    // The calls in order: "Find <description> in <calendar> as <entry id>",
    // "findOccur", "getXID <description>", "Save <description> <entry id> stored as
    // <store key>", "displayAddForm", "displayEditForm series|occurrence".
    std::vector<std::string> calls;
    int opens = 0;  // OpenData's calls

    bool connects = true;       // what OpenData answers
    int calendarId = 7;
    bool found = true;          // Find finds `item`
    bool occurrenceFound = true;
    bool saveAnswer = true;
    bool formSaves = true;      // the appointment window ends with a save (displayAddForm hands `item` over)
    std::string xid = "AAAA0001";
    clsCalEvent item;
    DateTime askedOccurrence;
    // Runs while the connection is made, and while the appointment window stands.
    std::function<void()> whileConnecting;
    std::function<void()> whileOpen;
};

}  // namespace wendra::test
