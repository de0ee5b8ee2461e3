#include "platform/ui/Timer.h"

#include <algorithm>

namespace wendra::ui {

// ---- Timer -----------------------------------------------------------------

Timer::Timer(TimerService& service, std::string name, int intervalMs, bool enabled)
    : name_(std::move(name)), interval_(std::max(0, intervalMs)), enabled_(enabled),
      handle_(service.createTimer([this] { tick(); })) {
    apply();
}

void Timer::setInterval(int ms) {
    interval_ = std::max(0, ms);
    apply();
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    apply();
}

void Timer::setSingleShot(bool on) {
    singleShot_ = on;
    apply();
}

void Timer::apply() {
    if (enabled_ && interval_ > 0) {
        handle_->start(interval_, !singleShot_);
    } else {
        handle_->stop();
    }
}

void Timer::tick() {
    // The handler may end the timer (its form unloading): run a copy.
    if (auto fn = onTimer) fn();
}

}  // namespace wendra::ui
