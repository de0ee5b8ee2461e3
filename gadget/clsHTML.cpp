#include "gadget/clsHTML.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "editor/frmDeleteMult.h"
#include "editor/frmDeleteSingle.h"
#include "editor/frmQVREvent.h"
#include "gadget/GadgetErrors.h"
#include "gadget/GadgetTexts.h"
#include "gadget/HtmlFragment.h"
#include "gadget/PageRows.h"
#include "gadget/clsGrid.h"
#include "list/EventList.h"
#include "platform/shell/InstalledNames.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

namespace fs = std::filesystem;
namespace errors = WendraGadget::errors;

// Whether the date part of a text writes its year with two digits: no run of
// digits longer than two before the time (the first word holding a ":").
bool twoDigitYear(std::string_view text) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++run > 2) return false;
            continue;
        }
        if (c == ':') return true;  // into the time: the date had no longer run
        run = 0;
    }
    return true;
}

int nearestCenturyYear(int twoDigits, int todayYear) {
    const int century = todayYear - ((todayYear % 100) + 100) % 100;
    int best = century + twoDigits;
    for (const int candidate : {century - 100 + twoDigits, century + 100 + twoDigits})
        if (std::abs(candidate - todayYear) < std::abs(best - todayYear)) best = candidate;
    return best;
}

// The library's messages carry its own name where they name no title of their own
// (the editor's and the dialogs' failures): the host's name would be the default.
class TitledMessages final : public ui::MessageBoxService {
public:
    explicit TitledMessages(ui::MessageBoxService& messages) : messages_(messages) {}
    using ui::MessageBoxService::show;
    ui::MessageAnswer show(const ui::MessageRequest& request) override {
        ui::MessageRequest titled = request;
        if (titled.title.empty()) titled.title = gadget::text::kTitle;
        return messages_.show(titled);
    }

private:
    ui::MessageBoxService& messages_;
};

}  // namespace

std::optional<DateTime> pageOccurrenceDate(std::string_view text, DateTime today) {
    const std::optional<DateTime> read = parseICalDateTime(text);
    if (!read || !twoDigitYear(text)) return read;
    const int year = nearestCenturyYear(read->year() % 100, today.year());
    const auto resolved = DateTime::fromParts(year, read->month(), read->day(), read->hour(), read->minute(),
                                              read->second());
    return resolved ? resolved : read;  // 29 February of a century that has none
}

// ---- createHTML -------------------------------------------------------------------

std::string clsHTML::createHTML(std::int16_t nPriorWarning, std::int16_t nMaxRows, bool bExpandPastEvents,
                                std::int16_t nTopRow) {
    return gadget::guarded([&] {
        clsSettings settings(platform_.settings, platform_.libraryFolder);
        clsDataQVR store(settings, StoreOptions::gadgetLibrary());
        // A store that does not open lists nothing: the page shows an empty list.
        store.OpenData();
        clsGrid grid;
        GadgetListGrid listGrid(grid);
        ListHost noWindow;
        ListOptions options;
        options.defaultPriorWarning = nPriorWarning;
        options.windowRows = false;
        // Auto-delete writes the store alone: no Outlook, no update counter.
        options.saveDeletion = [&store](clsCalEvent& ev) { return store.Save(ev, SaveMode::Always); };
        EventList list(listGrid, settings, store, noWindow, std::move(options));
        list.setShrinkPast(!bExpandPastEvents);
        // The page shows a few rows of the list: only the rows up to its last are
        // made and put in the grid, in the order the grid's sort gives them.
        const int top = std::max<int>(0, nTopRow);
        PageRows rows(nMaxRows == -1 ? -1 : std::max(0, top + nMaxRows));
        list.collectRows(rows);
        for (RowCells& cells : rows.take()) list.writeRow(std::move(cells));
        FragmentPage page;
        page.maxRows = nMaxRows;
        page.topRow = nTopRow;
        page.shrinkPast = !bExpandPastEvents;
        page.pastCount = list.pastCount();
        page.noEventsDays = settings.PriorWarning();
        page.rows = rows.rows();
        ShownOccurrences shown;
        std::string fragment = createTable(grid, page, &shown);
        rememberShown(shown);
        return fragment;
    });
}

void clsHTML::rememberShown(const ShownOccurrences& shown) {
    // An event's text always names the same occurrence, so what was shown before
    // stays true; the memory is only kept from growing without end.
    constexpr std::size_t kMostRemembered = 4096;
    if (shown_.size() + shown.size() > kMostRemembered) shown_.clear();
    for (const auto& [text, when] : shown) shown_.insert_or_assign(text, when);
}

std::optional<DateTime> clsHTML::occurrenceOf(std::string_view sID, std::string_view sOccurDate) const {
    if (const auto it = shown_.find(linkKey(sID, sOccurDate)); it != shown_.end()) return it->second;
    // A text of no row of ours, written by another page or a test: the list's own
    // forms, whose year has two digits, and the other forms of dates.
    return pageOccurrenceDate(sOccurDate, today());
}

// ---- doEdit -------------------------------------------------------------------------

void clsHTML::doEdit(std::string_view sID, std::string_view sOccurDate, std::string_view sAllDayOccur) {
    gadget::guarded([&] {
        if (sID.empty() || sOccurDate.empty()) return;
        clsSettings settings(platform_.settings, platform_.libraryFolder);
        clsDataQVR store(settings, StoreOptions::gadgetLibrary());
        // A store that does not open finds nothing, which the lookup reports.
        store.OpenData();
        openEventEditor(store, settings, sID, sOccurDate, sAllDayOccur);
        store.closeEvents();
    });
}

void clsHTML::openEventEditor(clsDataQVR& store, const clsSettings& settings, std::string_view sID,
                              std::string_view sOccurDate, std::string_view sAllDayOccur) {
    const ui::Services& host = platform_.services;
    TitledMessages messages(host.messages);
    const ui::Services services{messages, host.dialogs, host.fonts, host.placement, host.timers, host.metrics};
    auto notice = [&](const char* text) {
        services.messages.show(text, ui::MessageButtons::OK, ui::MessageIcon::Exclamation);
    };
    clsCalEvent ev;
    // Only a whole number names an event; the store looks nothing else up.
    if (!store.Find(ev, store.CalendarId(), sID)) {
        notice(gadget::text::kNotFound);
        return;
    }
    if (!ev.isEditableQVR()) {
        notice(gadget::text::kNotEditable);
        return;
    }
    QVREventOptions options;
    // The editor writes the store itself: no Outlook, no update counter.
    options.save = [&store](clsCalEvent& event) { return store.Save(event, SaveMode::Always); };
    options.showDeleteDialog = [&](frmQVREvent& editor, clsCalEvent& event) {
        if (event.IsRecurring()) {
            frmDeleteMult dialog(services, settings);
            dialog.setCaller(editor);
            dialog.setCalEvent(event);
            dialog.setChosenDate(editor.chosenOccurDate());
            dialog.setAllDayOccur(editor.allDayOccur());
            services.dialogs.showModal(dialog, &editor);
        } else {
            frmDeleteSingle dialog(services, settings);
            dialog.setCaller(editor);
            dialog.setCalEvent(event);
            services.dialogs.showModal(dialog, &editor);
        }
    };
    frmQVREvent editor(services, settings, std::move(options));
    editor.CalEvent(ev);
    if (const auto chosen = occurrenceOf(sID, sOccurDate))
        editor.setChosenOccurDate(formatICalDateTime(*chosen, true));
    else
        editor.setChosenOccurDate(sOccurDate);
    editor.setAllDayOccur(sAllDayOccur);
    services.dialogs.showModal(editor);
}

// ---- startQVR ---------------------------------------------------------------------------

void clsHTML::startQVR() {
    gadget::guarded([&] {
        const clsSettings settings(platform_.settings, platform_.libraryFolder);
        std::int16_t last = settings.getUpdateVersion();
        const fs::path program = fs::path(settings.InstallDir()) / shell::installed::kGadgetMainProgram;
        std::error_code ec;
        if (!fs::exists(program, ec)) gadget::raise(errors::FileNotFound, program.string());
        process::Started started = platform_.launcher.start(process::Command{program, {}});
        if (!started.process) gadget::raise(errors::PathFileAccess, program.string() + ": " + started.error);
        bool checking = false;
        platform_.wait.waitFor(*started.process, kUpdateCheckInterval, [&] {
            // The page's handler may open the editor, whose own loop runs this
            // timer again: one check at a time.
            if (checking) return;
            checking = true;
            if (settings.getUpdateVersion() != last) {
                last = settings.getUpdateVersion();
                raiseDataChanged();
            }
            checking = false;
        });
        started.process->wait();  // ended: reaps it
        raiseDataChanged();
    });
}

void clsHTML::raiseDataChanged() {
    if (sink_ == nullptr) return;
    try {
        sink_->onDataChanged();
    } catch (...) {
        // The page's handler failed; the program goes on being watched.
    }
}

// ---- writeDLLInfo_Gadget -------------------------------------------------------------------

std::string clsHTML::dllInfoText() const {
    std::string folder = platform_.libraryFolder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const WendraGadget::Version& v = platform_.version;
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.revision) + " - " + folder;
}

void clsHTML::writeDLLInfo_Gadget() {
    gadget::guarded([&] {
        clsSettings settings(platform_.settings, platform_.libraryFolder);
        settings.setDLLInfo_Gadget(dllInfoText());
    });
}

}  // namespace wendra
