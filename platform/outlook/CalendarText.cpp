#include "platform/outlook/CalendarText.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/outlook/Errors.h"
#include "platform/outlook/IcalHandles.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

namespace {

// One content line: its bytes (folds and line end included) and its text
// unfolded, which is a view of the bytes unless the line is folded.
struct Line {
    std::string_view raw;
    std::string_view body;  // the text of an unfolded line
    bool folded = false;
    std::string joined;  // the text of a folded one
    std::string_view unfolded() const { return folded ? std::string_view(joined) : body; }
};

std::string_view bodyOf(std::string_view physical) {
    if (!physical.empty() && physical.back() == '\n') physical.remove_suffix(1);
    if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
    return physical;
}

Line nextLine(std::string_view text, std::size_t& pos) {
    const auto physicalEnd = [&](std::size_t from) {
        const std::size_t newline = text.find('\n', from);
        return newline == std::string_view::npos ? text.size() : newline + 1;
    };
    const std::size_t start = pos;
    pos = physicalEnd(pos);
    Line line;
    line.body = bodyOf(text.substr(start, pos - start));
    if (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        line.folded = true;
        line.joined = std::string(line.body);
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
            const std::size_t next = physicalEnd(pos);
            line.joined += bodyOf(text.substr(pos + 1, next - pos - 1));  // less the blank that folds it
            pos = next;
        }
    }
    line.raw = text.substr(start, pos - start);
    return line;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string nameOf(const Line& line) {
    const std::string_view text = line.unfolded();
    return upper(trimmed(text.substr(0, text.find_first_of(";:"))));
}

// The component a BEGIN or END line names; nullopt for any other line.
std::optional<std::string> marker(const Line& line, std::string_view which) {
    const std::string_view text = trimmed(line.unfolded());
    if (text.size() <= which.size() || strncasecmp(text.data(), which.data(), which.size()) != 0) return std::nullopt;
    const std::string_view rest = trimmed(text.substr(which.size()));
    if (rest.empty() || rest.front() != ':') return std::nullopt;
    return upper(trimmed(rest.substr(1)));
}

// From just after a BEGIN line through its END line; false when the text ends
// first. An END of a component further out also ends the ones it holds.
bool skipComponent(std::string_view text, std::size_t& pos, const std::string& name) {
    std::vector<std::string> open{name};
    while (!open.empty()) {
        if (pos >= text.size()) return false;
        const Line line = nextLine(text, pos);
        if (auto begin = marker(line, "BEGIN")) {
            open.push_back(*begin);
        } else if (auto end = marker(line, "END")) {
            const auto it = std::find(open.rbegin(), open.rend(), *end);
            if (it != open.rend()) open.erase(std::next(it).base(), open.end());
        }
    }
    return true;
}

// The pieces from `pos` up to the first line that `stop` accepts (left unread).
template <class Stop>
bool readPieces(std::string_view text, std::size_t& pos, std::vector<Piece>& out, Stop&& stop) {
    while (pos < text.size()) {
        const std::size_t start = pos;
        const Line line = nextLine(text, pos);
        if (stop(line)) {
            pos = start;
            return true;
        }
        if (auto begin = marker(line, "BEGIN")) {
            if (!skipComponent(text, pos, *begin)) return false;
            out.push_back(Piece{true, *begin, std::string(text.substr(start, pos - start))});
        } else {
            out.push_back(Piece{false, nameOf(line), std::string(line.raw)});
        }
    }
    return false;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && strncasecmp(s.data(), prefix.data(), prefix.size()) == 0;
}

std::string serialized(icalproperty* p) { return takeString(icalproperty_as_ical_string_r(p)); }
std::string serialized(icalcomponent* c) { return takeString(icalcomponent_as_ical_string_r(c)); }
bool isError(icalproperty* p) { return icalproperty_isa(p) == ICAL_XLICERROR_PROPERTY; }

std::string propertyName(icalproperty* p) {
    const char* name = icalproperty_get_property_name(p);
    return upper(name ? name : "");
}

// What libical reads from one text: its properties and inner components, written back.
struct Reading {
    std::vector<std::string> properties;
    std::vector<std::string> components;
    bool errors = false;
};

Reading readingOf(icalcomponent* c) {
    Reading r;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
        r.properties.push_back(serialized(p));
        r.errors = r.errors || isError(p);
    }
    for (icalcomponent* i = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); i;
         i = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        r.components.push_back(serialized(i));
    return r;
}

Reading readingOf(const std::string& text) {
    ComponentPtr c(icalparser_parse_string(text.c_str()));
    return c ? readingOf(c.get()) : Reading{};
}

// One line read as the only line of a component.
Reading readingOfLine(const std::string& line) {
    std::string text = "BEGIN:VEVENT\r\n" + line;
    if (text.back() != '\n') text += "\r\n";
    return readingOf(text + "END:VEVENT\r\n");
}

// The properties or inner components of the changed component, by their text,
// each to be placed once.
class Offer {
public:
    void add(std::string text, std::string name, bool error) {
        at_[text].push_back(items_.size());
        items_.push_back({std::move(text), std::move(name), error, false});
    }
    // One unplaced item of each text, or nullopt when one is missing.
    std::optional<std::vector<std::size_t>> find(const std::vector<std::string>& texts) const {
        std::vector<std::size_t> found;
        for (const std::string& t : texts) {
            const auto it = at_.find(t);
            if (it == at_.end()) return std::nullopt;
            const auto free = std::find_if(it->second.begin(), it->second.end(), [&](std::size_t i) {
                return !items_[i].used && std::find(found.begin(), found.end(), i) == found.end();
            });
            if (free == it->second.end()) return std::nullopt;
            found.push_back(*free);
        }
        return found;
    }
    void use(const std::vector<std::size_t>& found) {
        for (std::size_t i : found) items_[i].used = true;
    }
    // An unplaced property of that name, not one of `besides`.
    bool offersName(const std::string& name, const std::vector<std::size_t>& besides) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].used && !items_[i].error && items_[i].name == name &&
                std::find(besides.begin(), besides.end(), i) == besides.end())
                return true;
        return false;
    }
    // What is left of a name (every name when empty), never libical's error notes.
    std::string takeRest(const std::string& name, const std::string& lineEnd) {
        std::string out;
        for (Item& i : items_) {
            if (i.used || i.error || (!name.empty() && i.name != name)) continue;
            i.used = true;
            out += withLineEnds(i.text, lineEnd);
        }
        return out;
    }

private:
    struct Item {
        std::string text, name;
        bool error, used;
    };
    std::vector<Item> items_;
    std::map<std::string, std::vector<std::size_t>> at_;
};

}  // namespace

bool isBlank(std::string_view text) {
    if (startsWithNoCase(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

CalendarText splitCalendar(std::string_view text, const std::filesystem::path& file) {
    const auto damaged = [&](const std::string& why) {
        return Error(err::kCalendarDamaged, "The calendar file is damaged (" + why + "): " + file.string(), kErrorSource);
    };
    if (text.find('\0') != std::string_view::npos) throw damaged("a NUL byte");
    std::size_t pos = startsWithNoCase(text, "\xEF\xBB\xBF") ? 3 : 0;  // a byte-order mark some programs write
    CalendarText out;
    for (;;) {
        if (pos >= text.size()) throw damaged("no calendar in it");
        const Line line = nextLine(text, pos);
        if (isBlank(line.unfolded())) continue;
        if (marker(line, "BEGIN") != "VCALENDAR") throw damaged("text before the calendar");
        if (line.raw.size() >= 2 && line.raw.substr(line.raw.size() - 2) == "\r\n") out.lineEnd = "\r\n";
        else if (!line.raw.empty() && line.raw.back() == '\n') out.lineEnd = "\n";
        break;
    }
    out.head = std::string(text.substr(0, pos));
    bool ended = false;
    const bool whole = readPieces(text, pos, out.pieces, [&](const Line& line) {
        ended = marker(line, "END") == "VCALENDAR";
        return ended;
    });
    if (!whole || !ended) throw damaged("it ends before the calendar does");
    out.tail = std::string(text.substr(pos));
    std::size_t after = pos;
    nextLine(text, after);
    const std::string_view rest = text.substr(after);
    if (!isBlank(rest)) {
        const std::string restUpper = upper(rest);
        throw damaged(restUpper.find("BEGIN:VCALENDAR") != std::string::npos ? "more than one calendar"
                                                                             : "text after the calendar");
    }
    return out;
}

std::optional<ComponentText> splitComponent(std::string_view text) {
    std::size_t pos = 0;
    const Line first = nextLine(text, pos);
    const auto name = marker(first, "BEGIN");
    if (!name) return std::nullopt;
    ComponentText out;
    out.begin = std::string(first.raw);
    const bool ended = readPieces(text, pos, out.pieces, [&](const Line& line) { return marker(line, "END") == *name; });
    if (!ended) return std::nullopt;
    const std::size_t endAt = pos;
    nextLine(text, pos);
    if (pos != text.size()) return std::nullopt;
    out.end = std::string(text.substr(endAt));
    return out;
}

std::string withLineEnds(std::string text, const std::string& lineEnd) {
    if (lineEnd == "\r\n") return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

std::string componentText(icalcomponent* c, const std::string& lineEnd) {
    // Stripped in place: libical's clone would escape the commas of X- values.
    icalcomponent_strip_errors(c);
    return withLineEnds(serialized(c), lineEnd);
}

std::vector<std::string> unreadableLines(std::string_view text) {
    std::vector<std::string> out;
    if (const auto parts = splitComponent(text))
        for (const Piece& p : parts->pieces)
            if (!p.component && readingOfLine(p.text).errors) out.push_back(p.name);
    return out;
}

std::string spliceComponent(std::string_view read, icalcomponent* now, const std::string& lineEnd) {
    const auto whole = [&] { return componentText(now, lineEnd); };
    const auto parts = splitComponent(read);
    if (!parts) return whole();
    const std::vector<Piece>& pieces = parts->pieces;

    // What each piece reads as alone must be what the whole text reads as, else
    // no piece can be told to be unchanged.
    std::vector<Reading> alone(pieces.size());
    Reading joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].component) {
            ComponentPtr c(icalparser_parse_string(pieces[i].text.c_str()));
            alone[i].components.push_back(c ? serialized(c.get()) : std::string());
        } else {
            alone[i] = readingOfLine(pieces[i].text);
        }
        joined.properties.insert(joined.properties.end(), alone[i].properties.begin(), alone[i].properties.end());
        joined.components.insert(joined.components.end(), alone[i].components.begin(), alone[i].components.end());
    }
    const Reading before = readingOf(std::string(read));
    if (joined.properties != before.properties || joined.components != before.components) return whole();

    Offer properties, components;
    for (icalproperty* p = icalcomponent_get_first_property(now, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(now, ICAL_ANY_PROPERTY))
        properties.add(serialized(p), propertyName(p), isError(p));
    for (icalcomponent* c = icalcomponent_get_first_component(now, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(now, ICAL_ANY_COMPONENT))
        components.add(serialized(c), "", false);

    // Lines that read cleanly first; then those libical noted an error in, which
    // a property of their name written anew replaces.
    std::vector<bool> kept(pieces.size(), false);
    for (const bool withErrors : {false, true}) {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            Offer& offer = pieces[i].component ? components : properties;
            if ((pieces[i].component ? false : alone[i].errors) != withErrors) continue;
            const auto found = offer.find(pieces[i].component ? alone[i].components : alone[i].properties);
            if (!found || (withErrors && properties.offersName(pieces[i].name, *found))) continue;
            offer.use(*found);
            kept[i] = true;
        }
    }

    std::size_t lastLine = pieces.size();
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (!pieces[i].component) lastLine = i;
    std::string out = parts->begin;
    if (lastLine == pieces.size()) out += properties.takeRest("", lineEnd);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (kept[i]) out += pieces[i].text;
        else if (!pieces[i].component) out += properties.takeRest(pieces[i].name, lineEnd);
        if (i == lastLine) out += properties.takeRest("", lineEnd);
    }
    return out + components.takeRest("", lineEnd) + parts->end;
}

std::string withLineAfterBegin(std::string_view read, const std::string& line, const std::string& lineEnd) {
    std::size_t pos = 0;
    nextLine(read, pos);
    return std::string(read.substr(0, pos)) + line + lineEnd + std::string(read.substr(pos));
}

}  // namespace wendra::outlook::ics
