#pragma once

// The gadget's front class (WendraGadget::clsHTML): the event list as an HTML
// fragment, starting the main program and following its saves, and the event
// editor on one occurrence.
//
// Every call works with a store and settings of its own, opened for that call and
// closed at its end: a call that comes in while another waits (startQVR's wait, the
// editor's modal loop) never frees what the waiting one still uses. Nothing here
// yields to the window system but those two waits.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "gadget/GadgetPlatform.h"
#include "gadget/HtmlFragment.h"
#include "gadget/WendraGadget.h"
#include "platform/clock/DateTime.h"

namespace wendra {

class clsHTML final : public WendraGadget::clsHTML {
public:
    // How often startQVR reads the update counter while it waits.
    static constexpr std::chrono::milliseconds kUpdateCheckInterval{200};

    explicit clsHTML(gadget::GadgetPlatform& platform) : platform_(platform) {}

    void setEventSink(WendraGadget::clsHTMLEvents* sink) noexcept override { sink_ = sink; }
    void startQVR() override;
    std::string createHTML(std::int16_t nPriorWarning, std::int16_t nMaxRows, bool bExpandPastEvents,
                           std::int16_t nTopRow) override;
    void doEdit(std::string_view sID, std::string_view sOccurDate, std::string_view sAllDayOccur) override;
    std::int16_t isInstalled() const override { return 1; }
    void writeDLLInfo_Gadget() override;

    // The text writeDLLInfo_Gadget records: "1.0.7 - /folder".
    std::string dllInfoText() const;

private:
    void openEventEditor(class clsDataQVR& store, const class clsSettings& settings, std::string_view sID,
                         std::string_view sOccurDate, std::string_view sAllDayOccur);
    void raiseDataChanged();
    void rememberShown(const ShownOccurrences& shown);
    // The occurrence of an event a page's date text names: the one of the row that
    // showed the text, else the date the text reads as.
    std::optional<DateTime> occurrenceOf(std::string_view sID, std::string_view sOccurDate) const;

    gadget::GadgetPlatform& platform_;
    WendraGadget::clsHTMLEvents* sink_ = nullptr;
    // The occurrences of the rows the fragments showed, by the id and the date text
    // of their links: the page hands that text back, in the user's language, which
    // no reading of dates need understand ("17- 3月-26 09:00").
    std::unordered_map<std::string, DateTime> shown_;
};

// The occurrence a page names in its "dd-mmm-yy hh:mm" text (or any date text): a
// year written with two digits is the one of its century nearest today's year, so
// that 31 is 2031 from 1981 to 2080. nullopt when the text reads as no date.
std::optional<DateTime> pageOccurrenceDate(std::string_view text, DateTime today);

}  // namespace wendra
