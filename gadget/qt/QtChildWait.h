#pragma once

#include "gadget/GadgetPlatform.h"

namespace wendra::gadget::qt {

// The wait in a nested Qt event loop: the child's end descriptor wakes it, a timer
// calls the tick and asks whether the child ended (all a system without end
// descriptors has); in between the thread sleeps in the event loop.
class QtChildWait final : public ChildWait {
public:
    void waitFor(process::RunningProcess& child, std::chrono::milliseconds interval,
                 const std::function<void()>& tick) override;
};

}  // namespace wendra::gadget::qt
