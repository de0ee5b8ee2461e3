#pragma once

// The appointment window of the tests: each Display takes the next scripted
// answer (save with edits, close, delete) and records what it showed. With
// nothing scripted it closes, as a user who changes nothing.

#include <deque>
#include <functional>
#include <vector>

#include "platform/outlook/AppointmentForm.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook {

class ScriptedWindow final : public AppointmentWindow {
public:
    using Edit = std::function<void(AppointmentFields&)>;

    void save(Edit edit = {}) { steps_.push_back({Action::save, std::move(edit)}); }
    void close() { steps_.push_back({Action::close, {}}); }
    void remove() { steps_.push_back({Action::remove, {}}); }

    // The fields of each item shown, in order.
    const std::vector<AppointmentFields>& shown() const { return shown_; }
    std::size_t pending() const { return steps_.size(); }

    void show(AppointmentItem& item) override;

private:
    enum class Action { save, close, remove };
    struct Step {
        Action action;
        Edit edit;
    };
    std::deque<Step> steps_;
    std::vector<AppointmentFields> shown_;
};

}  // namespace wendra::outlook
