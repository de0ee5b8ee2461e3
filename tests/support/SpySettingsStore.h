#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/MemorySettingsStore.h"
#include "platform/settings/SettingsStore.h"

namespace wendra::test {

// The settings in memory, watched: it counts the saves of the main window's
// settings (each save writes FontName once, and every full rebuild of the list
// saves them first, so the count is the count of rebuilds), notes each read and
// write in a journal when given one, and can run something in the middle of the
// next read of one key (the list reads the prior warning while it works).
class SpySettingsStore final : public settings::SettingsStore {
public:
    std::optional<std::string> querySetting(std::string_view app, std::string_view section,
                                            std::string_view key) const override;
    bool saveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool deleteSetting(std::string_view app, std::string_view section, std::string_view key) override;
    bool deleteSection(std::string_view app, std::string_view section) override;

    // Sets or reads a value of the program's settings without a note, as an earlier
    // run would have left it.
    void preset(std::string_view section, std::string_view key, std::string_view value);
    std::optional<std::string> stored(std::string_view section, std::string_view key) const;

    void onNextRead(std::string key, std::function<void()> fn);

    int windowSettingsSaves = 0;
    // "read Section/Key" and "write Section/Key=value", in order; nullptr keeps none.
    std::vector<std::string>* journal = nullptr;
    settings::MemorySettingsStore inner;

private:
    std::string hookKey_;
    mutable std::function<void()> hook_;
};

}  // namespace wendra::test
