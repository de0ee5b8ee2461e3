#include "platform/outlook/tool/CalendarTool.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>

#include "platform/clock/Clock.h"
#include "platform/outlook/AppointmentForm.h"
#include "platform/outlook/IcsCalendar.h"
#include "platform/outlook/Restriction.h"

namespace wendra::outlook {

namespace {

constexpr const char* kName = "wendra-calendar";
constexpr int kDefaultDays = 365;

// A command line it cannot read.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Command {
    std::string verb;
    std::string id;
    std::map<std::string, std::string> options;  // "--subject" -> value; flags -> ""
    std::optional<std::string> option(const std::string& name) const {
        const auto it = options.find(name);
        return it == options.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

bool isFlag(const std::string& name) { return name == "--occurrences" || name == "--all-day"; }

Command parse(const std::vector<std::string>& args, std::filesystem::path& file) {
    Command c;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0) {
            // "--all-day" takes a yes or no after change, and stands alone after add.
            const bool takesValue = !isFlag(a) || (a == "--all-day" && c.verb == "change");
            if (!takesValue) {
                c.options[a] = "";
                continue;
            }
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            if (a == "--file") file = args[++i];
            else c.options[a] = args[++i];
        } else if (c.verb.empty()) {
            c.verb = a;
        } else if (c.id.empty()) {
            c.id = a;
        } else {
            throw UsageError("unexpected " + a);
        }
    }
    if (c.verb.empty()) throw UsageError("no command (list, add, change or delete)");
    return c;
}

DateTime when(const std::string& text) {
    const auto d = ics::parseFilterDate(text);
    if (!d) throw UsageError("not a date and time: " + text);
    return *d;
}

long number(const std::string& text, long low) {
    long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v < low) throw UsageError("not a number: " + text);
    return v;
}

std::string text(DateTime d) {
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d", d.year(), d.month(), d.day(), d.hour(), d.minute());
    return b;
}

std::string line(AppointmentItem& item) {
    const std::string length = item.AllDayEvent() ? std::to_string(item.Duration() / 1440) + " day(s)"
                                                  : std::to_string(item.Duration()) + " min";
    const AppointmentFields f = readFields(item);
    return item.EntryID() + "\t" + text(item.Start()) + "\t" + length + "\t" + std::string(repeatName(f.repeat)) +
           "\t" + item.Subject();
}

// Writes the options of an add or a change into the item and saves it.
void apply(AppointmentItem& item, const Command& c, bool occurrence) {
    const AppointmentFields before = readFields(item);
    AppointmentFields after = before;
    if (auto s = c.option("--subject")) after.subject = *s;
    if (auto s = c.option("--start")) after.start = when(*s);
    if (auto s = c.option("--duration")) after.duration = number(*s, 0);
    if (auto s = c.option("--all-day")) {
        if (c.verb == "add") after.allDay = true;
        else if (*s == "yes" || *s == "no") after.allDay = *s == "yes";
        else throw UsageError("--all-day takes yes or no");
    }
    if (auto s = c.option("--repeat")) {
        const auto r = repeatFromName(*s);
        if (!r || *r == Repeat::other) throw UsageError("--repeat takes none, daily, weekly, monthly or yearly");
        after.repeat = *r;
    }
    const auto count = c.option("--count");
    const auto until = c.option("--until");
    if (occurrence && (c.option("--repeat") || count || until))
        throw UsageError("an occurrence keeps its series' repeat and end");
    if (count && until) throw UsageError("--count and --until are one end; give one");
    if ((count || until) && after.repeat == Repeat::none) throw UsageError("an end needs a repeat");
    applyFields(item, before, after);
    if (count) item.GetRecurrencePattern()->setOccurrences(static_cast<int>(number(*count, 1)));
    if (until) item.GetRecurrencePattern()->setPatternEndDate(when(*until));
    item.Save();
}

std::string filterDate(DateTime d) { return "'" + text(d) + "'"; }

int list(Items& items, const Command& c, std::ostream& out) {
    const long days = c.option("--days") ? number(*c.option("--days"), 0) : kDefaultDays;
    std::shared_ptr<Items> occurrences;
    if (c.option("--occurrences")) {
        // From today on: a series of long ago is walked from here, not from its start.
        const DateTime today = wendra::now().date();
        const DateTime horizon = wendra::now().addDays(days);
        occurrences = items.Restrict("[Start] >= " + filterDate(today) + " AND [Start] < " + filterDate(horizon));
        occurrences->Sort("[Start]");
        occurrences->setIncludeRecurrences(true);
    }
    Items& walk = occurrences ? *occurrences : items;
    for (auto i = walk.GetFirst(); i; i = walk.GetNext()) out << line(*i) << "\n";
    return 0;
}

std::shared_ptr<AppointmentItem> find(Items& items, const Command& c) {
    if (c.id.empty()) throw UsageError(c.verb + " needs the id of an appointment");
    for (auto i = items.GetFirst(); i; i = items.GetNext()) {
        if (i->EntryID() != c.id) continue;
        if (auto o = c.option("--occurrence")) return i->GetRecurrencePattern()->GetOccurrence(when(*o));
        return i;
    }
    throw Error(0, "no appointment has the id " + c.id, kName);
}

}  // namespace

int runCalendarTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        CalendarOptions options;
        const Command c = parse(args, options.file);
        auto items = openCalendar(options)->GetNamespace("MAPI")->GetDefaultFolder(olFolderCalendar)->Items();
        if (c.verb == "list") return list(*items, c, out);
        if (c.verb == "add") {
            if (!c.option("--subject") || !c.option("--start")) throw UsageError("add needs --subject and --start");
            auto item = items->Add();
            apply(*item, c, false);
            out << item->EntryID() << "\n";
            return 0;
        }
        if (c.verb == "change") {
            auto item = find(*items, c);
            apply(*item, c, c.option("--occurrence").has_value());
            return 0;
        }
        if (c.verb == "delete") {
            find(*items, c)->Delete();
            return 0;
        }
        throw UsageError("unknown command " + c.verb);
    } catch (const UsageError& e) {
        err << kName << ": " << e.what() << "\n";
        return 2;
    } catch (const Error& e) {
        err << kName << ": " << e.Description() << "\n";
        return 1;
    }
}

}  // namespace wendra::outlook
