#pragma once

#include <string_view>
#include <vector>

namespace wendra::setup {

// One pair of the registration list: a component unregistered, then registered
// again, the register never started before the unregister has ended.
struct ComponentPair {
    enum class Kind {
        // The system's own gadget library: its classes leave the user's component
        // registration, then come back pointing at the library in the program folder.
        GadgetLibrary,
        // A component of the platform that the main program's windows are built on.
        // Linux keeps no registration of a system library (the dynamic loader finds
        // it), so its unregister has nothing to undo, and its register checks that
        // the libraries standing for it load.
        Platform,
    };
    Kind kind;
    std::string_view component;
    std::vector<std::string_view> libraries;  // of a platform component
};

// The ten pairs in the order they run.
const std::vector<ComponentPair>& registrationList();

}  // namespace wendra::setup
