#include "platform/outlook/CalendarStore.h"

#include <strings.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/outlook/Errors.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProductId = "-//WendraWin//Outlook calendar//EN";
// How often a write starts again when another program replaced the file under it.
constexpr int kWriteAttempts = 3;

void initLibical() {
    static std::once_flag once;
    // A malformed value must come back as an error, never end the program.
    std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

std::vector<icalcomponent*> eventsOf(icalcomponent* root) {
    std::vector<icalcomponent*> out;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
        out.push_back(c);
    return out;
}

std::string calendarIdOf(icalcomponent* root) {
    for (icalproperty* p = icalcomponent_get_first_property(root, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(root, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(p);
        if (name && strcasecmp(name, kCalendarIdName) == 0 && icalproperty_get_x(p)) return icalproperty_get_x(p);
    }
    return {};
}

std::uint64_t fnv1a(std::string_view text) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

// A VEVENT without UID gets one made from its text, so it has the same id at
// every reading; the next write keeps it in the file.
void giveUids(icalcomponent* root) {
    std::map<std::uint64_t, int> seen;
    for (icalcomponent* c : eventsOf(root)) {
        if (icalcomponent_get_uid(c)) continue;
        const std::uint64_t h = fnv1a(takeString(icalcomponent_as_ical_string_r(c)));
        char uid[64];
        std::snprintf(uid, sizeof uid, "wendrawin-%016llx-%d", static_cast<unsigned long long>(h), seen[h]++);
        icalcomponent_add_property(c, icalproperty_new_uid(uid));
    }
}

std::shared_ptr<const AppointmentData> readOne(icalcomponent* root, const std::string& uid,
                                               const std::shared_ptr<const ZoneTable>& zones) {
    icalcomponent* master = nullptr;
    std::vector<icalcomponent*> overrides;
    for (icalcomponent* c : eventsOf(root)) {
        if (uidOf(c) != uid) continue;
        if (isOverride(c)) overrides.push_back(c);
        else if (!master) master = c;
    }
    if (!master) return nullptr;
    return std::make_shared<const AppointmentData>(readAppointment(master, overrides, zones));
}

void index(Snapshot& s) {
    s.index.clear();
    for (std::size_t i = 0; i < s.items.size(); ++i) s.index.emplace(s.items[i]->uid, i);
}

}  // namespace

std::shared_ptr<const AppointmentData> Snapshot::find(const std::string& uid) const {
    const auto it = index.find(uid);
    return it == index.end() ? nullptr : items[it->second];
}

ComponentPtr parseCalendar(const std::string& text, const fs::path& file) {
    initLibical();
    std::string_view body(text);
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);  // a byte-order mark some programs write
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) return newCalendar();
    const auto damaged = [&](const std::string& why) {
        return Error(err::kCalendarDamaged, "The calendar file is damaged (" + why + "): " + file.string(),
                     kErrorSource);
    };
    // libical passes over lines outside the calendar and stops at a NUL
    // without a word; a write would then lose them.
    if (body.find('\0') != std::string_view::npos) throw damaged("a NUL byte");
    const auto first = body.find_first_not_of(" \t\r\n");
    const auto last = body.find_last_not_of(" \t\r\n");
    const auto startsWith = [](std::string_view s, std::string_view p) {
        return s.size() >= p.size() && strncasecmp(s.data(), p.data(), p.size()) == 0;
    };
    if (!startsWith(body.substr(first), "BEGIN:VCALENDAR")) throw damaged("text before the calendar");
    if (last + 1 < 13 || !startsWith(body.substr(last + 1 - 13), "END:VCALENDAR")) throw damaged("text after the calendar");
    // The body runs to the end of the text, so the text's own terminator ends it.
    ComponentPtr root(icalparser_parse_string(text.c_str() + (text.size() - body.size())));
    if (!root) throw damaged("no calendar in it");
    if (icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT) throw damaged("not one calendar");
    if (icalcomponent_count_errors(root.get()) > 0) throw damaged("lines that cannot be read");
    return root;
}

std::string serializeCalendar(icalcomponent* calendar) { return takeString(icalcomponent_as_ical_string_r(calendar)); }

ComponentPtr newCalendar() {
    initLibical();
    ComponentPtr root(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(root.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(root.get(), icalproperty_new_prodid(kProductId));
    return root;
}

void ensureCalendarId(icalcomponent* calendar) {
    if (!calendarIdOf(calendar).empty()) return;
    icalproperty* id = icalproperty_new_x(newUid().c_str());
    icalproperty_set_x_name(id, kCalendarIdName);
    icalcomponent_add_property(calendar, id);
}

std::shared_ptr<CalendarStore> CalendarStore::open(const fs::path& file) {
    // Keyed by the file itself, so two spellings of one path share a store.
    static std::map<std::string, std::weak_ptr<CalendarStore>> stores;
    std::error_code ec;
    const std::string key = fs::weakly_canonical(fs::absolute(file, ec), ec).string();
    if (auto existing = stores[key].lock()) return existing;
    auto store = std::make_shared<CalendarStore>(file);
    stores[key] = store;
    return store;
}

CalendarStore::CalendarStore(fs::path file) : file_(std::move(file)) {}

void CalendarStore::reload() {
    FileStamp stamp;
    FileHold hold;
    auto text = readCalendarFile(file_, stamp, &hold);
    load(std::move(text), stamp, std::move(hold));
}

void CalendarStore::load(std::optional<std::string> text, const FileStamp& stamp, FileHold hold) {
    fresh_ = false;
    ComponentPtr root = text ? parseCalendar(*text, file_) : newCalendar();
    giveUids(root.get());
    auto zones = std::make_shared<ZoneTable>();
    zones->addDefinitions(root.get());
    root_ = std::move(root);
    zones_ = std::move(zones);
    text_ = text ? std::move(*text) : std::string();
    stamp_ = stamp;
    hold_ = std::move(hold);
    fresh_ = true;
    snapshot_.reset();
    rebuild({});
}

void CalendarStore::rebuild(const std::vector<std::string>& changed) {
    auto s = std::make_shared<Snapshot>();
    s->calendarId = calendarIdOf(root_.get());
    if (!snapshot_) {
        std::unordered_map<std::string, std::vector<icalcomponent*>> overrides;
        std::vector<std::pair<std::string, icalcomponent*>> masters;
        for (icalcomponent* c : eventsOf(root_.get())) {
            if (isOverride(c)) overrides[uidOf(c)].push_back(c);
            else masters.emplace_back(uidOf(c), c);
        }
        const std::vector<icalcomponent*> none;
        for (const auto& [uid, m] : masters) {
            // A second series under one UID cannot be told apart from the first; it is left in the file unseen.
            if (s->index.count(uid)) continue;
            const auto o = overrides.find(uid);
            s->index.emplace(uid, s->items.size());
            s->items.push_back(std::make_shared<const AppointmentData>(
                readAppointment(m, o == overrides.end() ? none : o->second, zones_)));
        }
    } else {
        s->items = snapshot_->items;
        for (const std::string& uid : changed) {
            auto fresh = readOne(root_.get(), uid, zones_);
            const auto at = std::find_if(s->items.begin(), s->items.end(), [&](const auto& a) { return a->uid == uid; });
            if (at != s->items.end() && fresh) *at = std::move(fresh);
            else if (at != s->items.end()) s->items.erase(at);
            else if (fresh) s->items.push_back(std::move(fresh));
        }
    }
    if (snapshot_) index(*s);
    snapshot_ = std::move(s);
}

std::shared_ptr<const Snapshot> CalendarStore::current() {
    if (!fresh_ || !(stampOf(file_) == stamp_)) reload();
    return snapshot_;
}

std::shared_ptr<const Snapshot> CalendarStore::write(const Change& change) {
    CalendarLock lock(file_);
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        // Every write reads the file: only its bytes say for sure that the
        // calendar in memory is the one on disk.
        FileStamp stamp;
        FileHold hold;
        auto now = readCalendarFile(file_, stamp, &hold);
        if (!fresh_ || (now ? *now != text_ : !text_.empty()) || now.has_value() != stamp_.exists)
            load(std::move(now), stamp, std::move(hold));
        else {
            stamp_ = stamp;
            hold_ = std::move(hold);
        }
        std::string text;
        std::vector<std::string> changed;
        try {
            ensureCalendarId(root_.get());
            changed = change(root_.get(), *zones_);
            text = serializeCalendar(root_.get());
        } catch (...) {
            fresh_ = false;  // the calendar may be half changed: read it again next time
            throw;
        }
        // Another program that does not take our lock wrote meanwhile: its text
        // would be lost, so start again from it.
        if (!(stampOf(file_) == stamp_)) {
            fresh_ = false;
            continue;
        }
        try {
            replaceCalendarFile(writeTarget(file_), text);
        } catch (...) {
            fresh_ = false;
            throw;
        }
        text_ = std::move(text);
        hold_ = holdFile(file_, stamp_);
        rebuild(changed);
        return snapshot_;
    }
    fresh_ = false;
    throw Error(err::kCalendarWrite, "The calendar file kept changing while it was written: " + file_.string(),
                kErrorSource);
}

}  // namespace wendra::outlook::ics
