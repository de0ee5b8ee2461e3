#include "store/modMessages.h"

namespace wendra {

void initMessages(ProgramState& state) {
    state.sWebAddress = "https://www.wendrawin.example";
    state.sMsgEventHidden =
        "The event has been hidden or deleted.\r\n\r\n"
        "To remove hidden/deleted events from the list press F5 or select `Refresh` from the menu or toolbar.";
}

}  // namespace wendra
