#include "gadget/HtmlFragment.h"

#include <algorithm>
#include <cstdio>

#include "gadget/clsGrid.h"
#include "list/ListGrid.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr std::string_view kLightYellow = "#FFFF80";

std::string unicodeEscape(unsigned char c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
    return buf;
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The line and paragraph separators (U+2028, U+2029) at text[i], in UTF-8: the
// escape that stands for them, or nothing.
std::string_view separatorEscape(std::string_view text, std::size_t i) {
    if (text.substr(i, 2) != "\xE2\x80" || i + 2 >= text.size()) return {};
    if (text[i + 2] == '\xA8') return "\\u2028";
    if (text[i + 2] == '\xA9') return "\\u2029";
    return {};
}

std::string link(std::string_view script) { return "<a href=\"" + htmlAttribute(script) + "\">"; }

std::string icon(std::string_view file) {
    return "<image height=12 width=12 border=0 src='" + std::string(file) + "'>";
}

// Hour, minute and second of a time cell ("hh:nn"); nothing for a blank one.
struct CellTime {
    int hour = 0, minute = 0, second = 0;
};
std::optional<CellTime> readTimeCell(std::string_view cell) {
    const std::string t = trim(cell);
    int parts[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        const std::size_t start = i;
        int v = 0;
        while (i < t.size() && i - start < 2 && t[i] >= '0' && t[i] <= '9') v = v * 10 + (t[i++] - '0');
        if (i == start) return std::nullopt;
        parts[count++] = v;
        if (i == t.size()) break;
        if (t[i++] != ':') return std::nullopt;
    }
    if (i != t.size() || count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return CellTime{parts[0], parts[1], parts[2]};
}

void writeToolbar(std::string& out, const FragmentPage& page, int top, int rows) {
    out += link("javascript:startQVR()") + icon("WendraWin.ico") + "</a>";
    if (!page.shrinkPast || page.pastCount >= 1)
        out += "&nbsp;&nbsp;" + link("javascript:expandPastEvents()") + "<image height=12 width=12 border=0 src=" +
               (page.shrinkPast ? "'expand.ico'" : "'shrink.ico'") + "></a>";
    out += "&nbsp;&nbsp;";
    out += top >= 1 ? link("javascript:goBack()") + icon("left.ico") + "</a>" : icon("left.ico");
    out += "&nbsp;&nbsp;";
    out += top < rows - 1 ? link("javascript:goForward()") + icon("right.ico") + "</a>" : icon("right.ico");
    out += "&nbsp;&nbsp;&nbsp;" + link("javascript:displayHelp()") + icon("help.ico") + "</a>";
}

void writePastEventsRow(std::string& out, const FragmentPage& page) {
    if (page.pastCount < 1 || !page.shrinkPast) return;
    out += "<tr><td colspan=2 NOWRAP bgcolor='red' align='left'>" + link("javascript:expandPastEvents()") +
           "<font color='black'>" + std::to_string(page.pastCount) +
           (page.pastCount == 1 ? " past event" : " past events") + "</font></a></td></tr>";
}

void writeNoEventsRow(std::string& out, const FragmentPage& page) {
    out += "<tr><td colspan=2 NOWRAP bgcolor='" + std::string(kLightYellow) + "' align='left'>No events within " +
           std::to_string(page.noEventsDays) + " days</td></tr>";
}

void writeEventRow(std::string& out, const clsGrid& grid, int r, ShownOccurrences* shown) {
    // The date is the occurrence the row was written for: the date cell's
    // two-digit year would put 2031 in 1931.
    const std::optional<RowOccurrence>& occurrence = grid.occurrence(r);
    if (!occurrence) return;  // the folded summary row, for one
    const DateTime d = occurrence->when;
    const std::string timeCell = grid.cellText(r, grdTime);
    const std::string dateCell = grid.cellText(r, grdDate);
    const std::optional<CellTime> time = readTimeCell(timeCell);
    const CellTime t = time.value_or(CellTime{});
    const std::string description = grid.cellText(r, grdSubject);
    const std::string id = gridKeyValue(grid.cellText(r, grdKey), Tag::Id);
    const bool untimed = trim(timeCell).empty();
    std::string when = dateCell;
    if (!untimed) when += " " + timeCell;
    when = trim(when);
    if (shown != nullptr) shown->emplace_back(linkKey(id, when), d);

    out += "<tr><td NOWRAP bgcolor=" + grid.backColourName(r, grdWendra) + " align='center'>";
    out += link("javascript:showCountdown(" + std::to_string(d.year()) + "," + std::to_string(d.month()) + "," +
                std::to_string(d.day()) + "," + std::to_string(t.hour) + "," + std::to_string(t.minute) + "," +
                std::to_string(t.second) + ",'" + (time ? "Y" : "N") + "','" + countdownArgument(description) + "')");
    out += "<font color=" + grid.foreColourName(r, grdWendra) + ">" + htmlText(grid.cellText(r, grdWendra)) +
           "</a></font></td>";
    out += "<td NOWRAP bgcolor='" + std::string(kLightYellow) + "'>";
    out += link("javascript:editEvent('" + scriptArgument(id) + "','" + scriptArgument(when, true) + "','" +
                (untimed ? "Y" : "N") + "')");
    out += "<font color=" + grid.foreColourName(r, grdSubject) + ">" + htmlText(description) + "</font></a></td></tr>";
}

}  // namespace

std::string linkKey(std::string_view id, std::string_view when) {
    std::string key(id);
    key += '\n';
    key += when;
    return key;
}

std::string htmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string htmlAttribute(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '"')
            out += "&quot;";
        else
            out += htmlText(std::string_view(&c, 1));
    }
    return out;
}

std::string countdownArgument(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (const std::string_view separator = separatorEscape(text, i); !separator.empty()) {
            out += separator;
            i += 2;
        } else if (c == '"' || c == '\'')
            out += '`';
        else if (c == '\\' || c == '%' || isControl(u))
            out += unicodeEscape(u);
        else
            out += c;
    }
    return out;
}

std::string scriptArgument(std::string_view text, bool colons) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (const std::string_view separator = separatorEscape(text, i); !separator.empty()) {
            out += separator;
            i += 2;
        } else if (c == '\\' || c == '\'' || c == '"' || c == '%' || isControl(u) || (colons && c == ':'))
            out += unicodeEscape(u);
        else
            out += c;
    }
    return out;
}

std::string createTable(const clsGrid& grid, const FragmentPage& page, ShownOccurrences* shown) {
    const int rows = page.rows >= 0 ? page.rows : grid.rowCount();
    const int top = std::max<int>(0, page.topRow);
    // Worked out wide: a page that reaches past the last row ends there.
    const long long last = page.maxRows == -1 ? rows - 1LL : std::min<long long>(top + page.maxRows - 1LL, rows - 1LL);
    std::string out = "<table id='idTable' border=0><tr><td colspan=2>&nbsp;";
    writeToolbar(out, page, top, rows);
    out += "</td></tr>";
    if (rows > 0)
        writePastEventsRow(out, page);
    else
        writeNoEventsRow(out, page);
    for (long long r = top; r <= std::min<long long>(last, grid.rowCount() - 1LL); ++r)
        writeEventRow(out, grid, static_cast<int>(r), shown);
    out += "</table>";
    return out;
}

}  // namespace wendra
