#include "store/ProgramState.h"

namespace wendra {

void addSyncItem(ProgramState& state, const std::string& item) {
    if (state.gSyncItems) state.gSyncItems->push_back(item);
}

}  // namespace wendra
