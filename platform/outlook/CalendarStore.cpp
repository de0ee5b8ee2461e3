#include "platform/outlook/CalendarStore.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_set>

#include "platform/outlook/Errors.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProductId = "-//WendraWin//Outlook calendar//EN";
// How often a write starts again when another program replaced the file under it.
constexpr int kWriteAttempts = 5;
// A file nobody changed for this long is not being written: what it reads as is what it holds.
constexpr auto kQuietAfter = std::chrono::seconds(2);
// The properties that say when an appointment happens: one libical cannot read leaves it out.
const std::set<std::string> kTimingNames{"UID",   "DTSTART", "DTEND",  "DURATION",     "RRULE",
                                          "RDATE", "EXDATE",  "EXRULE", "RECURRENCE-ID"};

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

std::uint64_t fnv1a(std::string_view text) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

// The value of one of the calendar's own lines, when it has that name.
std::optional<std::string> valueOf(const Piece& line, const char* name) {
    if (line.component || strcasecmp(line.name.c_str(), name) != 0) return std::nullopt;
    std::string v = line.text.substr(line.text.find(':') + 1);
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\r' || v[i] == '\n') {
            if (i + 1 < v.size() && v[i] == '\r') ++i;
            if (i + 1 < v.size() && (v[i + 1] == ' ' || v[i + 1] == '\t')) ++i;  // a fold
            continue;
        }
        out += v[i];
    }
    return out;
}

// Each appointment left out is said once a process, on standard error.
void tellLeftOut(const fs::path& file, const std::string& text, const std::string& why) {
    static std::mutex guard;
    static std::set<std::uint64_t> told;
    const std::lock_guard lock(guard);
    if (!told.insert(fnv1a(file.string() + '\n' + text)).second) return;
    std::string what = "an appointment";
    if (const auto at = text.find("\nUID:"); at != std::string::npos)
        what += " (UID " + text.substr(at + 5, text.find_first_of("\r\n", at + 5) - at - 5) + ")";
    std::cerr << "WendraWin: " << file.string() << ": " << what << " is left out of the calendar: " << why
              << "; its text stays in the file.\n";
}

bool inRange(icalproperty* p) {
    if (!p) return true;
    const icaltimetype t = icalvalue_get_datetime(icalproperty_get_value(p));
    return icaltime_is_null_time(t) || inStoreRange(t);
}

// Why a VEVENT cannot be an appointment; empty when it can.
std::string unreadable(icalcomponent* c, const std::string& text) {
    if (!c || icalcomponent_isa(c) != ICAL_VEVENT_COMPONENT) return "it cannot be read";
    if (icalcomponent_count_errors(c) > 0)
        for (const std::string& name : unreadableLines(text))
            if (kTimingNames.count(name)) return "its " + name + " cannot be read";
    if (!icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY)) return "it has no start";
    for (icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY, ICAL_RECURRENCEID_PROPERTY})
        if (!inRange(icalcomponent_get_first_property(c, kind)))
            return "a date outside the years " + std::to_string(kFirstYear) + " to " + std::to_string(kLastYear);
    return {};
}

// A VEVENT of the file as libical reads it alone, with the UID it goes by.
ComponentPtr parseEvent(const std::string& text, const std::string& madeUid) {
    ComponentPtr c(icalparser_parse_string(text.c_str()));
    if (c && !madeUid.empty() && !icalcomponent_get_uid(c.get()))
        icalcomponent_add_property(c.get(), icalproperty_new_uid(madeUid.c_str()));
    return c;
}

CalendarStore::Parsed parse(const std::string& text, const fs::path& file) {
    initLibical();
    CalendarStore::Parsed p;
    p.text = splitCalendar(text, file);
    const std::vector<Piece>& pieces = p.text.pieces;
    ComponentPtr zoneRoot(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (const Piece& piece : pieces) {
        if (!piece.component) {
            if (auto id = valueOf(piece, kCalendarIdName); id && p.calendarId.empty()) p.calendarId = *id;
        } else if (piece.name == "VTIMEZONE") {
            ComponentPtr zone(icalparser_parse_string(piece.text.c_str()));
            if (zone && icalcomponent_isa(zone.get()) == ICAL_VTIMEZONE_COMPONENT)
                icalcomponent_add_component(zoneRoot.get(), zone.release());
        }
    }
    p.zones = std::make_shared<ZoneTable>();
    p.zones->addDefinitions(zoneRoot.get());

    // Each series is read once its changed occurrences are known: those that
    // come before it are kept, a series with some after it is read again.
    std::map<std::string, std::vector<ComponentPtr>> overrides;
    std::map<std::string, std::size_t> masters;  // the first series of each UID, by piece
    std::map<std::string, std::shared_ptr<const AppointmentData>> read;
    std::vector<std::string> order;
    std::map<std::uint64_t, int> seen;
    const auto readSeries = [&](icalcomponent* master, const std::string& uid) {
        std::vector<icalcomponent*> changed;
        if (const auto o = overrides.find(uid); o != overrides.end())
            for (const ComponentPtr& c : o->second) changed.push_back(c.get());
        read[uid] = std::make_shared<const AppointmentData>(readAppointment(master, changed, p.zones));
    };
    p.uids.resize(pieces.size());
    p.madeUids.resize(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].component || pieces[i].name != "VEVENT") continue;
        ++p.eventPieces;
        ComponentPtr c = parseEvent(pieces[i].text, "");
        if (const std::string why = unreadable(c.get(), pieces[i].text); !why.empty()) {
            tellLeftOut(file, pieces[i].text, why);
            continue;
        }
        std::string uid = uidOf(c.get());
        if (uid.empty()) {
            // One made from its text, so it has the same id at every reading; the next write puts it in.
            const std::uint64_t h = fnv1a(takeString(icalcomponent_as_ical_string_r(c.get())));
            char made[64];
            std::snprintf(made, sizeof made, "wendrawin-%016llx-%d", static_cast<unsigned long long>(h), seen[h]++);
            uid = made;
            icalcomponent_add_property(c.get(), icalproperty_new_uid(made));
            p.madeUids[i] = true;
        }
        p.uids[i] = uid;
        if (isOverride(c.get())) {
            overrides[uid].push_back(std::move(c));
        } else if (masters.emplace(uid, i).second) {
            // A second series under one UID cannot be told apart from the first; it is left in the file unseen.
            order.push_back(uid);
            readSeries(c.get(), uid);
        }
    }
    for (const auto& [uid, changed] : overrides) {
        const auto master = masters.find(uid);
        if (master == masters.end()) continue;
        const ComponentPtr c = parseEvent(pieces[master->second].text, p.uids[master->second]);
        readSeries(c.get(), uid);
    }
    p.snapshot = std::make_shared<Snapshot>();
    p.snapshot->calendarId = p.calendarId;
    for (const std::string& uid : order) {
        p.snapshot->index.emplace(uid, p.snapshot->items.size());
        p.snapshot->items.push_back(read[uid]);
    }
    return p;
}

// What a calendar that does not exist yet becomes at its first write.
const std::string& newCalendarText() {
    static const std::string text =
        std::string("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:") + kProductId + "\r\nEND:VCALENDAR\r\n";
    return text;
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

bool quiet(const FileStamp& stamp) {
    const auto modified = std::chrono::system_clock::from_time_t(stamp.modified.tv_sec);
    return std::chrono::system_clock::now() - modified > kQuietAfter;
}

}  // namespace

std::shared_ptr<const AppointmentData> Snapshot::find(const std::string& uid) const {
    const auto it = index.find(uid);
    return it == index.end() ? nullptr : items[it->second];
}

std::shared_ptr<CalendarStore> CalendarStore::open(const fs::path& file) {
    // Keyed by the file itself, so two spellings of one path share a store.
    static std::map<std::string, std::weak_ptr<CalendarStore>> stores;
    std::error_code ec;
    const std::string key = fs::weakly_canonical(fs::absolute(file, ec), ec).string();
    if (auto existing = stores[key].lock()) return existing;
    auto store = std::make_shared<CalendarStore>(file);
    stores[key] = store;
    // The first connection of a process clears what killed writes left behind.
    removeStaleTemporaries(writeTarget(file));
    return store;
}

CalendarStore::CalendarStore(fs::path file) : file_(std::move(file)) {}

CalendarStore::Reading CalendarStore::readSettled(std::size_t heldBefore) {
    const auto giveUp = std::chrono::steady_clock::now() + kSettleLimit;
    for (;;) {
        Reading r;
        r.text = readCalendarFile(file_, r.stamp, &r.hold);
        if (!r.text) return r;
        bool suspect = true;
        if (fresh_ && exists_ && *r.text == text_) {
            r.same = true;  // what was read last: nothing to parse
            return r;
        }
        if (isBlank(*r.text)) {
            r.failure = Error(err::kCalendarShrank, "The calendar file is empty: " + file_.string(), kErrorSource);
        } else {
            try {
                r.parsed = parse(*r.text, file_);
                suspect = r.parsed->eventPieces < heldBefore;
            } catch (const Error& e) {
                r.failure = e;
            }
        }
        // Another program writing the file in place shows it empty or cut off
        // for a moment: it is read again once that writer is done.
        if (!suspect || quiet(r.stamp)) return r;
        bool changed = false;
        for (auto waited = std::chrono::milliseconds(0); !changed && waited < kSettleWait; waited += kSettleStep) {
            if (std::chrono::steady_clock::now() >= giveUp) return r;
            std::this_thread::sleep_for(kSettleStep);
            changed = !(stampOf(file_) == r.stamp);
        }
        if (!changed) return r;
    }
}

void CalendarStore::take(Reading reading) {
    fresh_ = false;
    const bool exists = reading.text.has_value();
    parsed_ = exists ? std::move(*reading.parsed) : parse(newCalendarText(), file_);
    exists_ = exists;
    text_ = exists ? std::move(*reading.text) : std::string();
    stamp_ = reading.stamp;
    hold_ = std::move(reading.hold);
    fresh_ = true;
}

std::shared_ptr<const Snapshot> CalendarStore::current() {
    if (fresh_ && stampOf(file_) == stamp_) return parsed_.snapshot;
    Reading r = readSettled(parsed_.snapshot ? parsed_.eventPieces : 0);
    if (r.failure) {
        fresh_ = false;
        throw *r.failure;
    }
    if (r.same) {
        stamp_ = r.stamp;
        hold_ = std::move(r.hold);
    } else {
        take(std::move(r));
    }
    return parsed_.snapshot;
}

std::string CalendarStore::render(icalcomponent* calendar, const std::vector<std::pair<icalcomponent*, std::size_t>>& read,
                                  Parsed& next) const {
    const std::string& lineEnd = parsed_.text.lineEnd;
    const std::vector<icalcomponent*> now = eventsOf(calendar);
    std::map<std::size_t, icalcomponent*> fromPiece;  // what became of each VEVENT parsed for the change
    for (const auto& [event, piece] : read)
        fromPiece[piece] = std::find(now.begin(), now.end(), event) != now.end() ? event : nullptr;

    next.text.head = parsed_.text.head;
    next.text.tail = parsed_.text.tail;
    next.text.lineEnd = lineEnd;
    next.calendarId = parsed_.calendarId;
    next.zones = parsed_.zones;
    const auto add = [&](Piece piece, std::string uid) {
        if (piece.component && piece.name == "VEVENT") ++next.eventPieces;
        next.text.pieces.push_back(std::move(piece));
        next.uids.push_back(std::move(uid));
        next.madeUids.push_back(false);
    };
    // A calendar without an id gets its one line before its first component.
    bool idWritten = !parsed_.calendarId.empty();
    const auto addId = [&] {
        if (idWritten) return;
        next.calendarId = newUid();
        add(Piece{false, kCalendarIdName, std::string(kCalendarIdName) + ":" + next.calendarId + lineEnd}, "");
        idWritten = true;
    };
    for (std::size_t i = 0; i < parsed_.text.pieces.size(); ++i) {
        const Piece& piece = parsed_.text.pieces[i];
        if (piece.component) addId();
        Piece kept = piece;
        if (const auto changed = fromPiece.find(i); changed != fromPiece.end()) {
            if (!changed->second) continue;  // deleted
            kept.text = spliceComponent(piece.text, changed->second, lineEnd);
        } else if (parsed_.madeUids[i]) {
            kept.text = withLineAfterBegin(piece.text, "UID:" + parsed_.uids[i], lineEnd);
        }
        add(std::move(kept), parsed_.uids[i]);
    }
    addId();
    for (icalcomponent* event : now)
        if (std::none_of(read.begin(), read.end(), [&](const auto& r) { return r.first == event; }))
            add(Piece{true, "VEVENT", componentText(event, lineEnd)}, uidOf(event));

    // One buffer of the right size: a calendar is megabytes, and every
    // regrowth of a buffer that large is fresh memory to fault in.
    std::size_t size = next.text.head.size() + next.text.tail.size();
    for (const Piece& piece : next.text.pieces) size += piece.text.size();
    std::string out;
    out.reserve(size);
    out += next.text.head;
    for (const Piece& piece : next.text.pieces) out += piece.text;
    out += next.text.tail;
    return out;
}

std::shared_ptr<const Snapshot> CalendarStore::write(const std::string& uid, const Change& change) {
    const fs::path target = writeTarget(file_);
    CalendarLock lock(target);
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        // Every write reads the file: only its bytes say for sure that the
        // calendar in memory is the one on disk.
        const std::size_t heldBefore = parsed_.eventPieces;
        Reading r = readSettled(heldBefore);
        if (r.failure) {
            fresh_ = false;
            throw *r.failure;
        }
        const bool same = r.same || (fresh_ && !r.text && !exists_);
        const std::size_t heldNow = same ? heldBefore : r.parsed ? r.parsed->eventPieces : 0;
        if (!same) {
            take(std::move(r));
        } else {
            stamp_ = r.stamp;
            hold_ = std::move(r.hold);
        }
        if (heldNow < heldBefore) {
            // Taken as read now, so a second save writes.
            throw Error(err::kCalendarShrank,
                        "The calendar file holds " + std::to_string(heldNow) + " appointments, fewer than the " +
                            std::to_string(heldBefore) +
                            " it held at the last reading, and another program may still be writing it: nothing was "
                            "written. " + file_.string(),
                        kErrorSource);
        }
        checkWritable(target);

        // The appointment's own VEVENTs, parsed again for the change.
        ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
        std::vector<std::pair<icalcomponent*, std::size_t>> read;
        for (std::size_t i = 0; !uid.empty() && i < parsed_.uids.size(); ++i) {
            if (parsed_.uids[i] != uid) continue;
            ComponentPtr event = parseEvent(parsed_.text.pieces[i].text, uid);
            read.emplace_back(event.get(), i);
            icalcomponent_add_component(calendar.get(), event.release());
        }
        change(calendar.get(), *parsed_.zones);
        Parsed next;
        std::string text = render(calendar.get(), read, next);

        std::optional<PendingFile> pending;
        try {
            pending.emplace(target, text);
            if (!pending->replace(stamp_)) {
                // Another program that does not take our lock wrote meanwhile:
                // its text would be lost, so start again from it.
                fresh_ = false;
                continue;
            }
        } catch (...) {
            fresh_ = false;
            throw;
        }
        auto snapshot = std::make_shared<Snapshot>(*parsed_.snapshot);
        snapshot->calendarId = next.calendarId;
        if (!uid.empty()) {
            auto fresh = readOne(calendar.get(), uid, next.zones);
            const auto at = std::find_if(snapshot->items.begin(), snapshot->items.end(),
                                         [&](const auto& a) { return a->uid == uid; });
            if (at != snapshot->items.end() && fresh) *at = std::move(fresh);
            else if (at != snapshot->items.end()) snapshot->items.erase(at);
            else if (fresh) snapshot->items.push_back(std::move(fresh));
            index(*snapshot);
        }
        next.snapshot = std::move(snapshot);
        parsed_ = std::move(next);
        exists_ = true;
        text_ = std::move(text);
        stamp_ = pending->stamp();
        hold_ = pending->takeHold();
        return parsed_.snapshot;
    }
    fresh_ = false;
    throw Error(err::kCalendarWrite, "The calendar file kept changing while it was written: " + file_.string(),
                kErrorSource);
}

}  // namespace wendra::outlook::ics
