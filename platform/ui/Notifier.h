#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace wendra::ui {

// Tells the views that a control's state changed. A view subscribes; the
// Subscription it gets back unsubscribes when it ends, and it is safe to end it
// after the control itself has gone.
class Notifier {
public:
    using Listener = std::function<void()>;

    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&&) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                reset();
                list_ = std::move(other.list_);
                id_ = other.id_;
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }
        void reset();

    private:
        friend class Notifier;
        struct Entry {
            std::uint64_t id;
            Listener fn;
        };
        using List = std::vector<Entry>;
        Subscription(std::weak_ptr<List> list, std::uint64_t id) : list_(std::move(list)), id_(id) {}
        std::weak_ptr<List> list_;
        std::uint64_t id_ = 0;
    };

    [[nodiscard]] Subscription subscribe(Listener fn);
    void notify() const;
    std::size_t listenerCount() const { return list_->size(); }

private:
    std::shared_ptr<Subscription::List> list_ = std::make_shared<Subscription::List>();
    std::uint64_t nextId_ = 1;
};

using Subscription = Notifier::Subscription;

}  // namespace wendra::ui
