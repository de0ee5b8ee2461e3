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

}  // namespace wendra::ui
