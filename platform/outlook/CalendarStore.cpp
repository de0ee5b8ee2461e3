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

CalendarStore::Parsed parse(const std::string& text, const fs::path& file) {
    initLibical();
    CalendarStore::Parsed p;
    p.text = splitCalendar(text, file);
    p.root.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    std::map<std::uint64_t, int> seen;
    for (const Piece& piece : p.text.pieces) {
        icalcomponent* event = nullptr;
        std::string madeUid;
        if (!piece.component) {
            if (auto id = valueOf(piece, kCalendarIdName); id && p.calendarId.empty()) p.calendarId = *id;
        } else if (piece.name == "VEVENT") {
            ++p.eventPieces;
            ComponentPtr c(icalparser_parse_string(piece.text.c_str()));
            if (const std::string why = unreadable(c.get(), piece.text); !why.empty()) {
                tellLeftOut(file, piece.text, why);
            } else {
                event = c.release();
                icalcomponent_add_component(p.root.get(), event);
                // A VEVENT without UID gets one made from its text, so it has
                // the same id at every reading; the next write puts it in.
                if (!icalcomponent_get_uid(event)) {
                    const std::uint64_t h = fnv1a(takeString(icalcomponent_as_ical_string_r(event)));
                    char uid[64];
                    std::snprintf(uid, sizeof uid, "wendrawin-%016llx-%d", static_cast<unsigned long long>(h), seen[h]++);
                    icalcomponent_add_property(event, icalproperty_new_uid(uid));
                    madeUid = uid;
                }
            }
        } else if (piece.name == "VTIMEZONE") {
            if (icalcomponent* zone = icalparser_parse_string(piece.text.c_str())) {
                if (icalcomponent_isa(zone) == ICAL_VTIMEZONE_COMPONENT) icalcomponent_add_component(p.root.get(), zone);
                else icalcomponent_free(zone);
            }
        }
        p.events.push_back(event);
        p.madeUids.push_back(std::move(madeUid));
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
    Parsed p = exists ? std::move(*reading.parsed) : parse(newCalendarText(), file_);
    auto zones = std::make_shared<ZoneTable>();
    zones->addDefinitions(p.root.get());
    parsed_ = std::move(p);
    zones_ = std::move(zones);
    exists_ = exists;
    text_ = exists ? std::move(*reading.text) : std::string();
    stamp_ = reading.stamp;
    hold_ = std::move(reading.hold);
    fresh_ = true;
    snapshot_.reset();
    rebuild({});
}

void CalendarStore::rebuild(const std::vector<std::string>& changed) {
    auto s = std::make_shared<Snapshot>();
    s->calendarId = parsed_.calendarId;
    if (!snapshot_) {
        std::unordered_map<std::string, std::vector<icalcomponent*>> overrides;
        std::vector<std::pair<std::string, icalcomponent*>> masters;
        for (icalcomponent* c : eventsOf(parsed_.root.get())) {
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
            auto fresh = readOne(parsed_.root.get(), uid, zones_);
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
    if (fresh_ && stampOf(file_) == stamp_) return snapshot_;
    Reading r = readSettled(snapshot_ ? parsed_.eventPieces : 0);
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
    return snapshot_;
}

std::string CalendarStore::render(const std::vector<std::string>& changed, Parsed& next) {
    const std::string& lineEnd = parsed_.text.lineEnd;
    const std::unordered_set<std::string> changedUids(changed.begin(), changed.end());
    const std::vector<icalcomponent*> now = eventsOf(parsed_.root.get());
    const std::unordered_set<icalcomponent*> live(now.begin(), now.end());
    std::unordered_set<icalcomponent*> placed;

    next.text.head = parsed_.text.head;
    next.text.tail = parsed_.text.tail;
    next.text.lineEnd = lineEnd;
    next.calendarId = parsed_.calendarId;
    const auto add = [&](Piece piece, icalcomponent* event) {
        if (piece.component && piece.name == "VEVENT") ++next.eventPieces;
        next.text.pieces.push_back(std::move(piece));
        next.events.push_back(event);
        next.madeUids.emplace_back();
    };
    // A calendar without an id gets its one line before its first component.
    bool idWritten = !parsed_.calendarId.empty();
    const auto addId = [&] {
        if (idWritten) return;
        next.calendarId = newUid();
        add(Piece{false, kCalendarIdName, std::string(kCalendarIdName) + ":" + next.calendarId + lineEnd}, nullptr);
        idWritten = true;
    };
    for (std::size_t i = 0; i < parsed_.text.pieces.size(); ++i) {
        const Piece& piece = parsed_.text.pieces[i];
        icalcomponent* event = parsed_.events[i];
        if (piece.component) addId();
        if (event && !live.count(event)) continue;  // deleted
        Piece kept = piece;
        if (event && changedUids.count(uidOf(event))) kept.text = spliceComponent(piece.text, event, lineEnd);
        else if (event && !parsed_.madeUids[i].empty())
            kept.text = withLineAfterBegin(piece.text, "UID:" + parsed_.madeUids[i], lineEnd);
        if (event) placed.insert(event);
        add(std::move(kept), event);
    }
    addId();
    for (icalcomponent* event : now)
        if (!placed.count(event)) add(Piece{true, "VEVENT", componentText(event, lineEnd)}, event);

    std::string out = next.text.head;
    for (const Piece& piece : next.text.pieces) out += piece.text;
    return out + next.text.tail;
}

std::shared_ptr<const Snapshot> CalendarStore::write(const Change& change) {
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
        Parsed next;
        std::string text;
        std::vector<std::string> changed;
        try {
            changed = change(parsed_.root.get(), *zones_);
            text = render(changed, next);
        } catch (...) {
            fresh_ = false;  // the calendar may be half changed: read it again next time
            throw;
        }
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
        next.root = std::move(parsed_.root);
        parsed_ = std::move(next);
        exists_ = true;
        text_ = std::move(text);
        stamp_ = pending->stamp();
        hold_ = pending->takeHold();
        rebuild(changed);
        return snapshot_;
    }
    fresh_ = false;
    throw Error(err::kCalendarWrite, "The calendar file kept changing while it was written: " + file_.string(),
                kErrorSource);
}

}  // namespace wendra::outlook::ics
