#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock/DateTime.h"

namespace wendra {

// Where the program keeps its events.
enum class ProgramMode : int {
    WendraWin = 0,  // its own store
    Outlook = 1,    // the Outlook calendar
};

// The state the whole program shares. The main window creates one at start-up
// and hands it to whoever needs it; nothing reaches it through a global.
struct ProgramState {
    ProgramMode gCurrentMode = ProgramMode::WendraWin;
    bool gOutlookConnected = false;
    std::vector<std::pair<std::string, std::string>> gPendingOutlookItems;  // key, tagged text
    std::vector<std::string> gOutlookItemKeys;
    // The device synchronisation queue; absent until a synchronisation starts.
    std::optional<std::deque<std::string>> gSyncItems;
    DateTime gLastSyncActivity;
    bool gMinimalDisplay = false;
    bool gMiniLayoutDone = false;
    std::string gLastOutlookWriteId;
    DateTime gLastOutlookWriteTime;
    std::string gSavedStatusText;
    std::string sWebAddress;
    std::string sMsgEventHidden;
};

// Appends a tagged request to the queue; without a queue the item is dropped,
// as a request outside a synchronisation has nobody to go to.
void addSyncItem(ProgramState& state, const std::string& item);

}  // namespace wendra
