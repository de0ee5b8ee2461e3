#pragma once

// The calendar file's text cut into the pieces a write keeps byte for byte or
// replaces: the calendar's own lines and each of its components as they stand
// in the file, folds, escapes and line ends included. What this program does
// not change (another program's components, properties and parameters it does
// not know) is never written anew, so it stays exactly as that program wrote it.

#include <libical/ical.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wendra::outlook::ics {

// One content line with its folds, or one whole component from BEGIN to END.
struct Piece {
    bool component = false;
    std::string name;  // the property's or the component's, in upper case
    std::string text;
};

struct CalendarText {
    std::string head;  // up to and with the line BEGIN:VCALENDAR
    std::vector<Piece> pieces;
    std::string tail;  // from the line END:VCALENDAR on
    std::string lineEnd = "\r\n";  // as the file ends its first line
};

// True for a text without anything but white space: a file being written in
// place looks so for a moment.
bool isBlank(std::string_view text);

// Raises a calendar error (damaged) for a text that is no calendar: one that
// does not begin with BEGIN:VCALENDAR or does not end with END:VCALENDAR, a
// component without its END, a second calendar, a NUL byte.
CalendarText splitCalendar(std::string_view text, const std::filesystem::path& file);

// A component's own lines and its components, between its BEGIN and END lines;
// nullopt when the text is no one component.
struct ComponentText {
    std::string begin;
    std::vector<Piece> pieces;
    std::string end;
};
std::optional<ComponentText> splitComponent(std::string_view text);

// libical ends its lines with CRLF; a file that ends them with LF gets LF.
std::string withLineEnds(std::string text, const std::string& lineEnd);

// The text of a component as read (`read`), changed to what `now` holds: every
// line and inner component that still reads the same keeps its bytes, a changed
// property takes the place of the line it replaces, new ones follow the last
// line. Lines libical could not read stay unless a property of their name was
// written. When the pieces do not read as libical reads the whole text, the
// component is written whole as libical writes it.
std::string spliceComponent(std::string_view read, icalcomponent* now, const std::string& lineEnd);

// A component as libical writes it, with the file's line ends; libical's notes
// on lines it could not read are taken out of it.
std::string componentText(icalcomponent* c, const std::string& lineEnd);

// The names of a component's own lines that libical cannot read.
std::vector<std::string> unreadableLines(std::string_view text);

// A component's text with one line more right after its BEGIN line.
std::string withLineAfterBegin(std::string_view read, const std::string& line, const std::string& lineEnd);

}  // namespace wendra::outlook::ics
