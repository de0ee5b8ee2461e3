#pragma once

// What a synchronisation with the device asks of the window that holds the link:
// the second status panel, the error banner, the beep, the save every change of
// an event goes through, its list rows, and the line to the device. The main
// window implements it; the tests record it.

#include <string>
#include <string_view>

#include "store/SaveCodes.h"
#include "store/clsCalEvent.h"

namespace wendra {

class SyncHost {
public:
    virtual ~SyncHost() = default;

    // Panel 2: the port's own state; an event on its way (">" and its description);
    // "Sync: In progress...".
    virtual void showCommStatus() = 0;
    virtual void showCommText(const std::string& text) = 0;
    virtual void showSyncInProgress() = 0;
    virtual void showError(const std::string& text) = 0;
    virtual void beep() = 0;

    // The window's save of an event.
    virtual SaveResult doSave(clsCalEvent& ev, SaveMode updateMode, bool excludeOutlook) = 0;
    // The list shows the current state of the event with this key.
    virtual void updateList(const std::string& id) = 0;

    // One text to the device (the zero byte is the host's); false when it did not go.
    virtual bool commSend(std::string_view text) = 0;
    // The export has ended: the link may be polled slowly.
    virtual void exportEnded() = 0;

    // What the exchange passed over, and why; seen by whoever reads the program's output.
    virtual void note(const std::string& text) { (void)text; }
};

}  // namespace wendra
