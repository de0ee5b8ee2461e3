#include "platform/ui/ManualTimerService.h"

#include <algorithm>
#include <limits>

namespace wendra::ui {

struct ManualTimerService::State {
    struct Entry {
        std::uint64_t id;
        std::function<void()> tick;
        bool active = false;
        bool repeat = true;
        int interval = 0;
        std::int64_t due = 0;
    };
    std::vector<Entry> entries;
    std::uint64_t nextId = 1;
    std::int64_t now = 0;
    int ticks = 0;

    Entry* find(std::uint64_t id) {
        for (auto& e : entries) {
            if (e.id == id) return &e;
        }
        return nullptr;
    }
    // The running entry due first; among equals the one created first.
    Entry* next() {
        Entry* best = nullptr;
        for (auto& e : entries) {
            if (e.active && (best == nullptr || e.due < best->due)) best = &e;
        }
        return best;
    }
    void fire(Entry& e) {
        now = std::max(now, e.due);
        if (e.repeat) {
            e.due = now + e.interval;
        } else {
            e.active = false;
        }
        ++ticks;
        // The handler may start, stop or destroy timers: call a copy.
        auto fn = e.tick;
        if (fn) fn();
    }
};

namespace {
class ManualHandle final : public TimerHandle {
public:
    ManualHandle(std::shared_ptr<ManualTimerService::State> state, std::uint64_t id)
        : state_(std::move(state)), id_(id) {}
    ~ManualHandle() override {
        std::erase_if(state_->entries, [this](const auto& e) { return e.id == id_; });
    }
    void start(int intervalMs, bool repeat) override {
        auto* e = state_->find(id_);
        e->interval = std::max(1, intervalMs);
        e->repeat = repeat;
        e->active = true;
        e->due = state_->now + e->interval;
    }
    void stop() override { state_->find(id_)->active = false; }
    bool active() const override { return state_->find(id_)->active; }

private:
    std::shared_ptr<ManualTimerService::State> state_;
    std::uint64_t id_;
};
}  // namespace

ManualTimerService::ManualTimerService() : state_(std::make_shared<State>()) {}
ManualTimerService::~ManualTimerService() = default;

std::unique_ptr<TimerHandle> ManualTimerService::createTimer(std::function<void()> tick) {
    const auto id = state_->nextId++;
    state_->entries.push_back({id, std::move(tick)});
    return std::make_unique<ManualHandle>(state_, id);
}

std::int64_t ManualTimerService::nowMs() const { return state_->now; }

int ManualTimerService::advance(std::int64_t ms) {
    const std::int64_t target = state_->now + std::max<std::int64_t>(0, ms);
    int ran = 0;
    while (auto* e = state_->next()) {
        if (e->due > target) break;
        state_->fire(*e);
        ++ran;
    }
    state_->now = target;
    return ran;
}

bool ManualTimerService::fireNext() {
    auto* e = state_->next();
    if (e == nullptr) return false;
    state_->fire(*e);
    return true;
}

int ManualTimerService::runningCount() const {
    return static_cast<int>(
        std::count_if(state_->entries.begin(), state_->entries.end(), [](const auto& e) { return e.active; }));
}

int ManualTimerService::nextInterval() const {
    auto* e = state_->next();
    return e ? e->interval : -1;
}

std::int64_t ManualTimerService::msUntilNext() const {
    auto* e = state_->next();
    return e ? e->due - state_->now : -1;
}

int ManualTimerService::ticks() const { return state_->ticks; }

}  // namespace wendra::ui
