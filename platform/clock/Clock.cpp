#include "platform/clock/Clock.h"

#include <ctime>

namespace wendra {

namespace {
const SystemClock kSystemClock;
const Clock* gInstalled = &kSystemClock;
}  // namespace

DateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return DateTime::ymd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                         local.tm_sec > 59 ? 59 : local.tm_sec);
}

const Clock& currentClock() { return *gInstalled; }
DateTime now() { return gInstalled->now(); }

ClockOverride::ClockOverride(const Clock& clock) : previous_(gInstalled) { gInstalled = &clock; }
ClockOverride::~ClockOverride() { gInstalled = previous_; }

}  // namespace wendra
