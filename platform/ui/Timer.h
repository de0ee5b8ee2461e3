#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wendra::ui {

// One running timer of a timer service.
class TimerHandle {
public:
    virtual ~TimerHandle() = default;
    // (Re)starts counting from now; repeat or fire once.
    virtual void start(int intervalMs, bool repeat) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

// Where timers come from: the event loop in the program, a hand-driven clock in tests.
class TimerService {
public:
    virtual ~TimerService() = default;
    virtual std::unique_ptr<TimerHandle> createTimer(std::function<void()> tick) = 0;
};

// A form's timer control: ticks every interval milliseconds while enabled and the
// interval is above 0. Enabling it, or changing the interval of an enabled timer,
// starts the count afresh.
class Timer {
public:
    Timer(TimerService& service, std::string name = {}, int intervalMs = 0, bool enabled = true);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return name_; }
    int interval() const { return interval_; }
    void setInterval(int ms);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    // Ticking once per start instead of every interval.
    bool singleShot() const { return singleShot_; }
    void setSingleShot(bool on);
    bool running() const { return handle_->active(); }

    std::function<void()> onTimer;

private:
    void tick();
    void apply();
    std::string name_;
    int interval_;
    bool enabled_;
    bool singleShot_ = false;
    std::unique_ptr<TimerHandle> handle_;
};

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
