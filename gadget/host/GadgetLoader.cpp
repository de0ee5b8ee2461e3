#include "gadget/host/GadgetLoader.h"

#include <exception>

#include "platform/shell/ComponentRegistry.h"
#include "platform/shell/InstalledNames.h"

namespace wendra::gadgethost {

std::vector<std::filesystem::path> gadgetLibraryFiles(const shell::ComponentRegistry& registry,
                                                      const std::filesystem::path& hostFolder) {
    std::vector<std::filesystem::path> files;
    if (auto registered = registry.libraryOf(WendraGadget::kClsHTML)) files.push_back(registered->lexically_normal());
    const std::filesystem::path beside = (hostFolder / shell::installed::kGadgetLibrary).lexically_normal();
    if (files.empty() || files.front() != beside) files.push_back(beside);
    return files;
}

LoadedGadget loadGadget(const std::vector<std::filesystem::path>& files) {
    std::string errors;
    for (std::size_t i = 0;; ++i) {
        LoadedGadget gadget = loadGadget(i < files.size() ? files[i] : std::filesystem::path());
        if (gadget.html != nullptr) return gadget;
        errors += (errors.empty() ? "" : "; ") + gadget.error;
        if (i + 1 >= files.size()) {
            // The setup registers the library of the program folder it runs from.
            gadget.error = errors + ". Running WendraWinCreator again mends it.";
            return gadget;
        }
    }
}

LoadedGadget loadGadget(const std::filesystem::path& file) {
    LoadedGadget g{file, shell::SharedLibrary(file, shell::SharedLibrary::Unload::Never), {}, nullptr, nullptr, {}};
    const auto fail = [&](std::string why) {
        g.object.reset();
        g.html = nullptr;
        g.error = file.string() + ": " + why;
        return std::move(g);
    };
    if (!g.library.loaded()) {
        g.error = g.library.error();
        return g;
    }
    auto* entry = reinterpret_cast<WendraGadget::EntryPoint>(g.library.symbol(WendraGadget::kEntryPointName));
    if (entry == nullptr) return fail(std::string("no entry point ") + WendraGadget::kEntryPointName);
    const WendraGadget::Library* library = entry(WendraGadget::kInterfaceVersion);
    if (library == nullptr)
        return fail("does not serve the gadget interface version " + std::to_string(WendraGadget::kInterfaceVersion));
    g.version = library->version();
    try {
        g.object = library->create(WendraGadget::kClsHTML);
    } catch (const std::exception& e) {
        return fail(std::string("cannot create ") + std::string(WendraGadget::kClsHTML) + ": " + e.what());
    }
    g.html = g.object != nullptr ? g.object->asHTML() : nullptr;
    if (g.html == nullptr) return fail("serves no " + std::string(WendraGadget::kClsHTML));
    return g;
}

}  // namespace wendra::gadgethost
