#include "platform/settings/MemorySettingsStore.h"

#include <algorithm>

#include "platform/settings/Names.h"

namespace wendra::settings {

std::optional<std::string> MemorySettingsStore::querySetting(std::string_view app, std::string_view section,
                                                             std::string_view key) const {
    ++reads_;
    const auto it = apps_.find(app);
    if (it == apps_.end()) return std::nullopt;
    return it->second.value(section, key);
}

bool MemorySettingsStore::saveSetting(std::string_view app, std::string_view section, std::string_view key,
                                      std::string_view value) {
    ++writes_;
    if (failWrites_ || !isUsableAppName(app) || !isUsableName(section) || !isUsableName(key)) return false;
    auto it = apps_.find(app);
    if (it == apps_.end()) it = apps_.emplace(std::string(app), IniDocument{}).first;
    it->second.set(section, key, value);
    return true;
}

bool MemorySettingsStore::deleteSetting(std::string_view app, std::string_view section, std::string_view key) {
    ++writes_;
    if (failWrites_) return false;
    if (auto it = apps_.find(app); it != apps_.end()) it->second.erase(section, key);
    return true;
}

bool MemorySettingsStore::deleteSection(std::string_view app, std::string_view section) {
    ++writes_;
    if (failWrites_) return false;
    if (auto it = apps_.find(app); it != apps_.end()) it->second.eraseSection(section);
    return true;
}

bool MemorySettingsStore::empty() const {
    return std::all_of(apps_.begin(), apps_.end(), [](const auto& a) { return a.second.empty(); });
}

}  // namespace wendra::settings
