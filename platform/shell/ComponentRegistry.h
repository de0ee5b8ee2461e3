#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/FileSettingsStore.h"

// The per-user registration of components: which shared object serves a class id,
// so that a host program (the gadget host) can load the library by the class it
// wants. One INI file per user:
//
//     $XDG_DATA_HOME/WendraWin/Components.ini   (by default ~/.local/share/WendraWin/)
//
//     [WendraGadget.clsHTML]
//     Library=/home/ann/.local/lib/WendraWin/libWendraGadget.so
//
// one section per class id, its key Library the absolute path of the shared object.
// Values are written with the settings file's escapes (a path ending in a blank, say).
// The file is the settings store's kind: every read is fresh, every change is made
// under a lock and renamed into place, so two programs registering at once lose
// nothing and a reader never meets half a file.
namespace wendra::shell {

class ComponentRegistry {
public:
    explicit ComponentRegistry(std::filesystem::path folder);
    // The registration of the current user (the folder above).
    static ComponentRegistry forCurrentUser();
    static std::filesystem::path folderForCurrentUser();

    std::filesystem::path file() const;

    // Registers the class as served by the library, replacing an earlier
    // registration of the class: one registration per class, however often it runs.
    // The library must be an absolute path.
    bool registerClass(std::string_view classId, const std::filesystem::path& library);
    // Removes the class's registration; true also when it was not registered.
    bool unregisterClass(std::string_view classId);

    // The library registered for the class; nothing when the class is not registered
    // or its entry is no absolute path (a relative one would be looked up from
    // whatever folder the host runs in).
    std::optional<std::filesystem::path> libraryOf(std::string_view classId) const;
    // Every registered class id, in file order.
    std::vector<std::string> classes() const;

private:
    settings::FileSettingsStore store_;
};

}  // namespace wendra::shell
