#pragma once

namespace wendra {

// Whoever opens a modal editing dialog: the dialog reports Cancel to it here
// (FlagCancel), so the opener never has to be known by name. The main window
// implements it, and so does the gadget library's editor host.
class CancelFlagOwner {
public:
    virtual ~CancelFlagOwner() = default;
    virtual void setFlagCancel(bool cancelled) = 0;
    virtual bool FlagCancel() const = 0;
};

}  // namespace wendra
