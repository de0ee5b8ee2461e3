#pragma once

#include <filesystem>
#include <functional>

#include "platform/settings/SettingsStore.h"

namespace wendra::settings {

class IniDocument;

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path,
// else ~/.config. Empty when the user has no home folder at all.
std::filesystem::path userConfigFolder();

// The settings of each application name in one INI file in a folder:
// <folder>/<app>.ini, for example ~/.config/WendraWin_A.ini.
//
// The main program and the gadget library use the same file from two processes:
// - every read opens and parses the file afresh (it is a few hundred bytes), so a
//   value the other process saved is seen at once;
// - every change is a read-modify-write under an exclusive flock on
//   <folder>/<app>.ini.lock, so neither process loses the other's keys;
// - the new text goes to a temporary file in the same folder, is flushed to disk
//   and renamed over the old one, so a reader or a crash never meets half a file;
// - a file holding lines that cannot be read is copied whole to <app>.ini.bad
//   before the first change writes it anew without them.
class FileSettingsStore final : public SettingsStore {
public:
    explicit FileSettingsStore(std::filesystem::path folder);
    // The store of the user's configuration folder.
    static FileSettingsStore forCurrentUser();

    const std::filesystem::path& folder() const { return folder_; }
    // The file that holds an application's settings; empty for a name that is no
    // plain file name (empty, ".", "..", with a "/" or a NUL).
    std::filesystem::path fileFor(std::string_view app) const;

    std::optional<std::string> querySetting(std::string_view app, std::string_view section,
                                            std::string_view key) const override;
    bool saveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool deleteSetting(std::string_view app, std::string_view section, std::string_view key) override;
    bool deleteSection(std::string_view app, std::string_view section) override;

private:
    // Runs change on the file's current content under the lock and writes the
    // result when change answers true.
    bool update(std::string_view app, const std::function<bool(IniDocument&)>& change);

    std::filesystem::path folder_;
};

}  // namespace wendra::settings
