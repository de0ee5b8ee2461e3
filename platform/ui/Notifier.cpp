#include "platform/ui/Notifier.h"

#include <algorithm>

namespace wendra::ui {

void Notifier::Subscription::reset() {
    if (auto list = list_.lock()) {
        std::erase_if(*list, [this](const Entry& e) { return e.id == id_; });
    }
    list_.reset();
}

Notifier::Subscription Notifier::subscribe(Listener fn) {
    const auto id = nextId_++;
    list_->push_back({id, std::move(fn)});
    return Subscription(list_, id);
}

void Notifier::notify() const {
    // A listener may subscribe or unsubscribe while we run: walk a copy, and skip
    // whoever left in the meantime.
    const auto keep = list_;
    const auto snapshot = *keep;
    for (const auto& entry : snapshot) {
        const bool stillThere =
            std::any_of(keep->begin(), keep->end(), [&](const Subscription::Entry& e) { return e.id == entry.id; });
        if (stillThere) entry.fn();
    }
}

}  // namespace wendra::ui
