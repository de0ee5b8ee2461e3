#pragma once

#include <cstdint>

#include "platform/clock/Clock.h"

namespace wendra {

// A clock that stands still until moved.
class FakeClock final : public Clock {
public:
    explicit FakeClock(DateTime start) : now_(start) {}
    DateTime now() const override { return now_; }
    void set(DateTime t) { now_ = t; }
    void advanceSeconds(std::int64_t n) { now_ = now_.addSeconds(n); }

private:
    DateTime now_;
};

}  // namespace wendra
