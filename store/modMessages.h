#pragma once

#include "store/ProgramState.h"

namespace wendra {

// Fills the program-wide message texts; runs once at start-up before any dialog.
void initMessages(ProgramState& state);

}  // namespace wendra
