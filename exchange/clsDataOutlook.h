#pragma once

// The Outlook binding: the program's one contact with the Outlook calendar,
// through the calendar's object model only (platform/outlook/ObjectModel.h).
// It reads appointments into events, writes events into appointments with the
// program's own user properties, carries out hides and deletes, links each
// appointment to its event in the store, and opens the calendar's own window.
//
// Every member traps the calendar's errors: reading members answer false, no
// event, -1 or the empty text and show nothing; a failed write is shown once,
// as "Error saving to Outlook" with the event and the error, through the
// message service.
//
// The appointment an event was read from is kept here beside the event (by its
// entry id), so that an event stays a plain value.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/OutlookBinding.h"
#include "exchange/OutlookRecurrence.h"
#include "platform/outlook/ObjectModel.h"
#include "platform/ui/Services.h"
#include "store/ProgramState.h"
#include "store/clsCalEvent.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"

namespace wendra {

// What the binding reaches of the program, once it exists: the main window makes
// the store and the settings at its start-up, after the binding was made. A
// function that answers nullptr means "not there yet".
struct OutlookContext {
    std::function<clsDataQVR*()> store;
    std::function<const clsSettings*()> settings;
    std::function<ProgramState*()> state;

    static OutlookContext of(clsDataQVR& store, const clsSettings& settings, ProgramState& state);
};

class clsDataOutlook final : public OutlookBinding {
public:
    // The user properties the program keeps on every appointment.
    static constexpr std::string_view kViewFromDate = "qvrViewFromDate";
    static constexpr std::string_view kPriorWarn = "qvrPriorWarn";
    static constexpr std::string_view kPriorWarnIsDefault = "qvrPriorWarnIsDefault";
    static constexpr std::string_view kHiddenList = "qvrHiddenList";
    static constexpr std::string_view kLastModified = "qvrLastModified";
    static constexpr std::string_view kLastWritten = "qvrLastWritten";
    static constexpr std::string_view kLastCompared = "qvrLastCompared";
    // A hide deletes this many upcoming occurrences one by one, then the series.
    static constexpr int kHideLimit = 50;

    clsDataOutlook(outlook::Automation& automation, ui::MessageBoxService& messages, OutlookContext context);

    // ---- reading --------------------------------------------------------------
    bool OpenData() override;
    std::string connectionError() const override { return connectionError_; }
    // Registered once an id above 0 is had; -1 until then, so a failure is tried again.
    int CalendarId() override;
    bool SelectAllEvents();
    // The walk over the calendar's appointments; no event past the end.
    std::optional<clsCalEvent> GetFirstEvent();
    std::optional<clsCalEvent> GetNextEvent();
    bool EndOfEvents() const { return !notAtEnd_; }
    void closeEvents() {}
    bool OutlookToCalEvent(clsCalEvent& ev, const std::shared_ptr<outlook::AppointmentItem>& item);
    bool Find(clsCalEvent& ev, int calendarId, const std::string& rowKey, const std::string& entryId) override;
    FindResult findItem(clsCalEvent& ev, int calendarId, const std::string& rowKey,
                        const std::string& entryId) override;
    bool findOccur(clsCalEvent& ev, DateTime when) override;
    // The calendar's items with this subject, every occurrence in order of start,
    // when one of them is the appointment with this entry id.
    bool FindMultipleOccurs(std::shared_ptr<outlook::Items>& c, const std::string& entryId, const std::string& subject);
    std::string getXID(const clsCalEvent& ev) override;

    // The appointment and the occurrence that ev was last read or found with.
    std::shared_ptr<outlook::AppointmentItem> OutlookItem(const clsCalEvent& ev) const;
    std::shared_ptr<outlook::AppointmentItem> OutlookOccurItem(const clsCalEvent& ev) const;

    // ---- writing --------------------------------------------------------------
    bool Save(clsCalEvent& ev, const std::string& entryId) override;
    bool AddEvent(clsCalEvent& ev) override;
    bool displayAddForm(clsCalEvent& ev) override;
    bool displayEditForm(clsCalEvent& ev, bool occurrence) override;
    bool displayEditForm(clsCalEvent& ev, const std::shared_ptr<outlook::AppointmentItem>& item);
    void updateCompareDates(const clsCalEvent& ev, DateTime lastModified) override;
    // True when the series itself went (past the hide limit); raises the calendar's errors.
    bool hideNormalItems(const std::shared_ptr<outlook::AppointmentItem>& item);
    void hideExceptionItems(const std::shared_ptr<outlook::AppointmentItem>& item,
                            const std::shared_ptr<outlook::RecurrencePattern>& pattern);
    // Has no caller and does nothing.
    bool DeleteEvent(clsCalEvent&) { return false; }

private:
    static constexpr int kUnregistered = -99;

    struct Held {
        std::string entryId;
        std::shared_ptr<outlook::AppointmentItem> item;
        std::shared_ptr<outlook::AppointmentItem> occurrence;
    };
    // One reading: the event's appointment and the outcome.
    struct Found {
        FindResult result = FindResult::failed;
        std::shared_ptr<outlook::AppointmentItem> item;
    };
    // What a write leaves to link: the appointment as it was saved, before a
    // delete or hide may have removed it.
    struct Written {
        std::string entryId;
        DateTime created;
    };

    // ---- reading (clsDataOutlookRead.cpp)
    Found findAppointment(clsCalEvent& ev, int calendarId, const std::string& rowKey, std::string entryId);
    std::shared_ptr<outlook::Items> calendarItems();
    void readRecurrence(clsCalEvent& ev, outlook::AppointmentItem& item);
    // Tells the user, once for each appointment, that its repeat is one the
    // program leaves alone.
    void tellUnknownRepeat(const clsCalEvent& ev);
    outlook::PropertyValue getUserProp(outlook::AppointmentItem& item, std::string_view name, int type,
                                       const outlook::PropertyValue& fallback);
    DateTime getUserPropDate(outlook::AppointmentItem& item, std::string_view name, DateTime fallback, bool withTime);
    void hold(const std::string& entryId, std::shared_ptr<outlook::AppointmentItem> item);
    Held* held(const std::string& entryId);
    const Held* held(const std::string& entryId) const;

    // ---- writing (clsDataOutlookWrite.cpp)
    bool updateOutlookItem(clsCalEvent& ev, const std::string& entryId);
    bool linkOutlookId(clsCalEvent& ev, const std::string& entryId);
    bool calEventToOutlook(clsCalEvent& ev, const std::shared_ptr<outlook::AppointmentItem>& item, Written& written);
    void writeOneOff(const clsCalEvent& ev, outlook::AppointmentItem& item);
    void writeUserProperties(const clsCalEvent& ev, outlook::AppointmentItem& item);
    void writePattern(const clsCalEvent& ev, outlook::AppointmentItem& item, outlook::RecurrencePattern& p,
                      const PatternPlan& plan);
    void writeExceptions(const clsCalEvent& ev, outlook::AppointmentItem& item, outlook::RecurrencePattern& p);
    void writeOccurrenceSubjects(const clsCalEvent& ev, outlook::RecurrencePattern& p);
    // What a hide's walk over the calendar's list of occurrences did.
    struct HideWalk {
        bool seriesGone = false;      // past the hide limit
        int deleted = 0;              // upcoming occurrences deleted one by one
        bool pastSeen = false;        // an occurrence of the series stays
        std::optional<DateTime> last; // the last occurrence of the series the list held
    };
    void hideInOutlook(const clsCalEvent& ev, const std::shared_ptr<outlook::AppointmentItem>& item);
    HideWalk hideListed(const std::shared_ptr<outlook::AppointmentItem>& item);
    void hideBeyondList(const clsCalEvent& ev, outlook::AppointmentItem& item, outlook::RecurrencePattern& p,
                        const HideWalk& walk);
    bool deleteIfUpcoming(outlook::AppointmentItem& x);
    bool removeOccurrence(const clsCalEvent& ev, outlook::AppointmentItem& occurrence);
    void noteOwnWrite(const std::string& entryId);
    void forgetOwnWrite();
    void setUserProp(outlook::AppointmentItem& item, std::string_view name, int type, const outlook::PropertyValue& value);
    void setUserPropDate(outlook::AppointmentItem& item, std::string_view name, DateTime d, bool withTime);
    void reportSaveError(const clsCalEvent& ev, const std::string& description, long number, const std::string& source);
    void reportSaveError(const clsCalEvent& ev, const std::exception& e);
    int deleteSetting() const;
    clsDataQVR* store() const { return context_.store ? context_.store() : nullptr; }

    outlook::Automation& automation_;
    ui::MessageBoxService& messages_;
    OutlookContext context_;

    std::shared_ptr<outlook::Application> application_;
    std::shared_ptr<outlook::NameSpace> namespace_;
    std::shared_ptr<outlook::MAPIFolder> folder_;
    std::shared_ptr<outlook::Items> items_;
    int walkIndex_ = 0;
    bool notAtEnd_ = false;
    int calendarId_ = kUnregistered;
    std::vector<Held> held_;  // the most recent last
    // Why the last search failed, for the save that reports it.
    std::optional<outlook::Error> findError_;
    std::string connectionError_;
    std::set<std::string> toldUnknownRepeat_;  // entry ids
};

}  // namespace wendra
