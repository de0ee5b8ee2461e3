// A stand-in for the gadget library, for the host's tests: it serves the public
// interface with a canned list of rows and writes down every call, one line each,
// to the file named by WENDRA_GADGET_DOUBLE_LOG.
//
// The list: two past occurrences (folded into one summary row unless expanded),
// then the rows "Event 1" to "Event 24" a day apart, the third with quotes, a
// backslash and markup in its description. doEdit marks the row it edits
// "(edited)"; startQVR adds the row "Saved in WendraWin" and raises onDataChanged
// (when WENDRA_GADGET_DOUBLE_NO_PROGRAM is set it raises error 53 instead).
// Built a second time serving only interface version 2, for the host's check.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "gadget/WendraGadget.h"

namespace {

#ifndef WENDRA_DOUBLE_INTERFACE
#define WENDRA_DOUBLE_INTERFACE 1
#endif

void log(const std::string& line) {
    if (const char* file = std::getenv("WENDRA_GADGET_DOUBLE_LOG")) std::ofstream(file, std::ios::app) << line << "\n";
}

std::string html(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

// As the list escapes a description for showCountdown's argument.
std::string argument(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\'') out += '`';
        else if (c == '\\') out += "\\u005C";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

struct Row {
    std::string id;
    std::string description;
    int day;  // of March 2031
    bool past;
};

class Html final : public WendraGadget::clsHTML {
public:
    void setEventSink(WendraGadget::clsHTMLEvents* sink) noexcept override { sink_ = sink; }

    void startQVR() override {
        log("startQVR");
        if (std::getenv("WENDRA_GADGET_DOUBLE_NO_PROGRAM") != nullptr)
            throw WendraGadget::Error(WendraGadget::errors::FileNotFound, "File not found");
        savedInMain_ = true;
        if (sink_ != nullptr) sink_->onDataChanged();
    }

    std::string createHTML(std::int16_t nPriorWarning, std::int16_t nMaxRows, bool bExpandPastEvents,
                           std::int16_t nTopRow) override {
        log("createHTML " + std::to_string(nPriorWarning) + " " + std::to_string(nMaxRows) + " " +
            (bExpandPastEvents ? "expand" : "fold") + " " + std::to_string(nTopRow));
        std::vector<Row> rows;
        if (bExpandPastEvents) {
            rows.push_back({"101", "Past one", 1, true});
            rows.push_back({"102", "Past two", 2, true});
        } else {
            rows.push_back({"", "", 0, true});  // the summary row: no date, no event row
        }
        for (int i = 1; i <= 24; ++i) {
            const std::string id = std::to_string(i);
            std::string text = i == 3 ? "Tom's \"party\" \\ <b>loud</b>" : "Event " + id;
            if (edited_.count(id) != 0) text += " (edited)";
            rows.push_back({id, text, 2 + i, false});
        }
        if (savedInMain_) rows.push_back({"99", "Saved in WendraWin", 28, false});
        const int count = static_cast<int>(rows.size());
        const int top = nTopRow < 0 ? 0 : nTopRow;
        const int last = nMaxRows == -1 ? count - 1 : std::min(top + nMaxRows - 1, count - 1);

        std::string out = "<table id='idTable' border=0><tr><td colspan=2>&nbsp;";
        out += "<a href=\"javascript:startQVR()\"><image height=12 width=12 border=0 src='WendraWin.ico'></a>";
        out += std::string("&nbsp;&nbsp;<a href=\"javascript:expandPastEvents()\"><image height=12 width=12 border=0 src=") +
               (bExpandPastEvents ? "'shrink.ico'" : "'expand.ico'") + "></a>&nbsp;&nbsp;";
        out += top >= 1 ? "<a href=\"javascript:goBack()\"><image height=12 width=12 border=0 src='left.ico'></a>"
                        : "<image height=12 width=12 border=0 src='left.ico'>";
        out += "&nbsp;&nbsp;";
        out += top < count - 1 ? "<a href=\"javascript:goForward()\"><image height=12 width=12 border=0 src='right.ico'></a>"
                               : "<image height=12 width=12 border=0 src='right.ico'>";
        out += "&nbsp;&nbsp;&nbsp;<a href=\"javascript:displayHelp()\"><image height=12 width=12 border=0 "
               "src='help.ico'></a></td></tr>";
        if (!bExpandPastEvents)
            out += "<tr><td colspan=2 NOWRAP bgcolor='red' align='left'><a href=\"javascript:expandPastEvents()\">"
                   "<font color='black'>2 past events</font></a></td></tr>";
        for (int r = top; r <= last; ++r) {
            const Row& row = rows[static_cast<std::size_t>(r)];
            if (row.day == 0) continue;
            const std::string day = std::to_string(row.day);
            const std::string when = (row.day < 10 ? "0" : "") + day + "/03/31";
            out += "<tr><td NOWRAP bgcolor=" + std::string(row.past ? "Red" : "#FFFF80") + " align='center'>";
            out += "<a href=\"javascript:showCountdown(2031,3," + day + ",0,0,0,'N','" + argument(row.description) +
                   "')\"><font color=Black>" + (row.past ? "-" : "") + day + "</a></font></td>";
            out += "<td NOWRAP bgcolor='#FFFF80'><a href=\"javascript:editEvent('" + row.id + "','" + when +
                   "','Y')\"><font color=Blue>" + html(row.description) + "</font></a></td></tr>";
        }
        return out + "</table>";
    }

    void doEdit(std::string_view sID, std::string_view sOccurDate, std::string_view sAllDayOccur) override {
        log("doEdit " + std::string(sID) + "|" + std::string(sOccurDate) + "|" + std::string(sAllDayOccur));
        edited_.insert(std::string(sID));
    }

    std::int16_t isInstalled() const override { return 1; }
    void writeDLLInfo_Gadget() override { log("writeDLLInfo_Gadget"); }

private:
    WendraGadget::clsHTMLEvents* sink_ = nullptr;
    std::set<std::string> edited_;
    bool savedInMain_ = false;
};

class Library final : public WendraGadget::Library {
public:
    WendraGadget::Version version() const noexcept override { return {1, 0, 99}; }
    std::unique_ptr<WendraGadget::Object> create(std::string_view progId) const override {
        if (progId == WendraGadget::kClsHTML) return std::make_unique<Html>();
        return nullptr;
    }
};

}  // namespace

extern "C" const WendraGadget::Library* WendraGadget_Library(std::uint32_t interfaceVersion) {
    static const Library library;
    return interfaceVersion == WENDRA_DOUBLE_INTERFACE ? &library : nullptr;
}
