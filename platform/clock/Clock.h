#pragma once

#include "platform/clock/DateTime.h"

namespace wendra {

// The source of "now". The program reads the time only through the clock that is
// installed (wendra::now()), so tests set and advance it in one place: a
// ClockOverride of a FakeClock (platform/clock/FakeClock.h).
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The machine's local time.
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

// The installed clock; the system clock unless a ClockOverride is alive.
const Clock& currentClock();
DateTime now();

// Installs a clock for its lifetime and puts the previous one back when it ends.
class ClockOverride {
public:
    explicit ClockOverride(const Clock& clock);
    ~ClockOverride();
    ClockOverride(const ClockOverride&) = delete;
    ClockOverride& operator=(const ClockOverride&) = delete;

private:
    const Clock* previous_;
};

}  // namespace wendra
