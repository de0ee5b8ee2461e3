#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/ui/Timer.h"

namespace wendra::ui {

// A timer service for tests: time stands still until the test moves it, and the
// timers that fall due tick in order of their due time.
class ManualTimerService final : public TimerService {
public:
    ManualTimerService();
    ~ManualTimerService() override;

    std::unique_ptr<TimerHandle> createTimer(std::function<void()> tick) override;

    std::int64_t nowMs() const;
    // Moves the clock by ms, ticking every timer that falls due on the way.
    // Returns how many ticks ran.
    int advance(std::int64_t ms);
    // Jumps to the next due tick and runs it; false when no timer is running.
    bool fireNext();
    int runningCount() const;
    // The interval of the timer that ticks next, -1 when none runs.
    int nextInterval() const;
    std::int64_t msUntilNext() const;  // -1 when none runs
    int ticks() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace wendra::ui
