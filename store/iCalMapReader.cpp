#include "store/iCalMapReader.h"

#include <algorithm>
#include <numeric>

#include "store/iCalMapCodec.h"

namespace wendra {

namespace {

// Sorted, each value once: a repeated value would hand out the same slot twice.
void sortUnique(std::vector<int>& values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

// Reads the stamps of an "R" or "X" list at `pos`: its length, then stamps
// until that many characters are used.
template <typename OnStamp>
void readStampList(std::string_view map, std::size_t& pos, OnStamp onStamp) {
    const std::size_t length = readHex8(map, pos);
    const std::size_t end = std::min(map.size(), pos + length);
    while (pos + 4 <= end) {
        const bool allDay = pos + 4 >= end || map[pos + 4] != 'T';
        onStamp(readMapDate(map.substr(0, end), pos), allDay);
    }
    pos = end;
}

}  // namespace

void iCalMapReader::setEncodedEventMap(std::string_view map) {
    mapStart_ = DateTime();
    allDayMap_ = true;
    days_.clear();
    dayPos_ = 0;
    slot_ = 0;
    end_ = false;
    currentAllDay_ = true;
    hours_.clear();
    minutes_.clear();
    seconds_.clear();
    extras_.clear();
    extraAllDay_.clear();
    extraIndex_ = 0;
    exclusions_.clear();
    exclusionIndex_ = 0;
    if (map.empty()) {
        end_ = true;
        return;
    }

    allDayMap_ = map.size() < 5 || map[4] != 'T';
    currentAllDay_ = allDayMap_;
    std::size_t pos = 0;
    mapStart_ = readMapDate(map, pos);

    // The time lists come in the order H, M, S, each letter closing the list
    // before it; "B" ends them.
    std::vector<int>* building = nullptr;
    while (pos < map.size() && map[pos] != 'B') {
        const char c = map[pos++];
        if (c == 'H') building = &hours_;
        else if (c == 'M') building = &minutes_;
        else if (c == 'S') building = &seconds_;
        else if (building) building->push_back(mapValue(c));
    }
    if (hours_.empty()) hours_.push_back(mapStart_.hour());
    if (minutes_.empty()) minutes_.push_back(mapStart_.minute());
    if (seconds_.empty()) seconds_.push_back(mapStart_.second());
    sortUnique(hours_);
    sortUnique(minutes_);
    sortUnique(seconds_);

    if (pos < map.size()) {
        ++pos;  // "B"
        const std::size_t n = readHex8(map, pos);
        const std::size_t take = std::min(n, map.size() - pos);
        days_.assign(map.substr(pos, take));
        pos += take;
    }
    while (pos < map.size()) {
        const char c = map[pos++];
        if (c == 'R') {
            readStampList(map, pos, [this](DateTime d, bool allDay) {
                extras_.push_back(d);
                extraAllDay_.push_back(allDay);
            });
        } else if (c == 'X') {
            readStampList(map, pos, [this](DateTime d, bool) { exclusions_.push_back(d); });
        }
    }

    // Extras sorted with their flags; equal dates keep their order.
    std::vector<std::size_t> order(extras_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return extras_[a] < extras_[b]; });
    std::vector<DateTime> sortedExtras;
    std::vector<bool> sortedFlags;
    sortedExtras.reserve(order.size());
    sortedFlags.reserve(order.size());
    for (std::size_t i : order) {
        sortedExtras.push_back(extras_[i]);
        sortedFlags.push_back(extraAllDay_[i]);
    }
    extras_ = std::move(sortedExtras);
    extraAllDay_ = std::move(sortedFlags);
    std::sort(exclusions_.begin(), exclusions_.end());
}

int iCalMapReader::getOccurCount() const { return static_cast<int>(std::count(days_.begin(), days_.end(), '1')); }

std::vector<std::int64_t> iCalMapReader::markedDays() const {
    std::vector<std::int64_t> out;
    const std::int64_t first = mapStart_.dayNumber();
    for (std::size_t p = days_.find('1'); p != std::string::npos; p = days_.find('1', p + 1))
        out.push_back(first + static_cast<std::int64_t>(p));
    return out;
}

int iCalMapReader::slotCount() const {
    return static_cast<int>(hours_.size() * minutes_.size() * seconds_.size());
}

int iCalMapReader::slotSecondOfDay(int slot) const {
    // Seconds vary fastest, then minutes, then hours: with sorted lists the
    // slots of a day come in ascending time.
    const auto k = static_cast<std::size_t>(slot - 1);
    const std::size_t s = seconds_.size(), m = minutes_.size();
    return hours_[k / (m * s) % hours_.size()] * 3600 + minutes_[k / s % m] * 60 + seconds_[k % s];
}

DateTime iCalMapReader::getFirstOccur() {
    dayPos_ = 0;
    slot_ = 0;
    return getNextOccur();
}

DateTime iCalMapReader::getNextOccur() {
    // Each pass finds one candidate; a candidate that must not be returned
    // (a slot before the map's start, an excluded instance) sends the search
    // round again from where it now stands.
    for (;;) {
        const int slotOnEntry = slot_;
        currentAllDay_ = allDayMap_;
        DateTime candidate;
        std::size_t dayHit = std::string::npos;
        bool fromDays = false;

        const std::size_t p = dayPos_ < days_.size() ? days_.find('1', dayPos_) : std::string::npos;
        if (p != std::string::npos) {
            dayHit = p;
            dayPos_ = p + 1;
            candidate = mapStart_.addDays(static_cast<std::int64_t>(p));
            if (!allDayMap_) {
                ++slot_;
                const int second = slotSecondOfDay(slot_);
                if (slot_ < slotCount()) dayPos_ = p;  // more slots on this day
                else slot_ = 0;
                candidate = candidate.date().addSeconds(second);
                if (candidate < mapStart_) continue;
            }
            fromDays = true;
            end_ = false;
        } else {
            end_ = true;
        }

        if (!fromDays) {
            if (extraIndex_ >= extras_.size()) return DateTime();
            candidate = extras_[extraIndex_];
            currentAllDay_ = extraAllDay_[extraIndex_];
            ++extraIndex_;
            end_ = false;
        } else if (extraIndex_ < extras_.size() && extras_[extraIndex_] < candidate) {
            // The extra date comes first; the day candidate is found again next time.
            candidate = extras_[extraIndex_];
            currentAllDay_ = extraAllDay_[extraIndex_];
            ++extraIndex_;
            dayPos_ = dayHit;
            slot_ = slotOnEntry;
        }

        while (exclusionIndex_ < exclusions_.size() && exclusions_[exclusionIndex_] < candidate) ++exclusionIndex_;
        if (exclusionIndex_ < exclusions_.size() && exclusions_[exclusionIndex_] == candidate) continue;
        return candidate;
    }
}

bool iCalMapReader::moveToDate(DateTime d, bool allDay) {
    const std::int64_t i = d.dayNumber() - mapStart_.dayNumber();
    if (i < 0 || i >= static_cast<std::int64_t>(days_.size())) return false;
    const auto day = static_cast<std::size_t>(i);
    if (allDay || allDayMap_) {
        dayPos_ = day + 1;
        slot_ = 0;
        return true;
    }
    const int count = slotCount();
    for (int k = 1; k <= count; ++k) {
        if (slotSecondOfDay(k) != d.secondOfDay()) continue;
        // Stand on that slot of that day: the next call takes the slot after it.
        if (k < count) {
            dayPos_ = day;
            slot_ = k;
        } else {
            dayPos_ = day + 1;
            slot_ = 0;
        }
        return true;
    }
    return false;
}

}  // namespace wendra
