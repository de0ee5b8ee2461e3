#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gadget/WendraGadget.h"
#include "platform/shell/SharedLibrary.h"

namespace wendra::shell {
class ComponentRegistry;
}

// Finding and loading the gadget library, the way the desktop's sidebar loaded it:
// by the class the page creates, "WendraGadget.clsHTML", through the per-user
// component registration the setup program writes. The host reaches the library
// through its public header only.
namespace wendra::gadgethost {

// The libraries to try, in order: the one registered for clsHTML, then
// libWendraGadget.so in the host's own folder (a build or an installation not
// completed by the setup, or a registration naming a library that is gone).
std::vector<std::filesystem::path> gadgetLibraryFiles(const shell::ComponentRegistry& registry,
                                                      const std::filesystem::path& hostFolder);

// The library loaded for the life of the process (Qt, which it uses, stays loaded
// anyway) and the clsHTML object the page talks to.
struct LoadedGadget {
    std::filesystem::path file;
    shell::SharedLibrary library;
    WendraGadget::Version version;
    // Declared after the library: it is freed by the library's code, so it goes first.
    std::unique_ptr<WendraGadget::Object> object;
    WendraGadget::clsHTML* html = nullptr;  // null when loading failed
    std::string error;                      // why, for the user
};

LoadedGadget loadGadget(const std::filesystem::path& file);
// The first of the files that loads. When none does, the error names each file
// with its reason, and what mends it.
LoadedGadget loadGadget(const std::vector<std::filesystem::path>& files);

}  // namespace wendra::gadgethost
