#include "tests/support/SpySettingsStore.h"

#include <utility>

#include "store/clsSettings.h"

namespace wendra::test {

std::optional<std::string> SpySettingsStore::querySetting(std::string_view app, std::string_view section,
                                                          std::string_view key) const {
    if (journal != nullptr) journal->push_back("read " + std::string(section) + "/" + std::string(key));
    if (hook_ && key == hookKey_) {
        auto fn = std::move(hook_);
        hook_ = nullptr;
        fn();
    }
    return inner.querySetting(app, section, key);
}

bool SpySettingsStore::saveSetting(std::string_view app, std::string_view section, std::string_view key,
                                   std::string_view value) {
    if (journal != nullptr)
        journal->push_back("write " + std::string(section) + "/" + std::string(key) + "=" + std::string(value));
    if (key == "FontName") ++windowSettingsSaves;
    return inner.saveSetting(app, section, key, value);
}

bool SpySettingsStore::deleteSetting(std::string_view app, std::string_view section, std::string_view key) {
    return inner.deleteSetting(app, section, key);
}

bool SpySettingsStore::deleteSection(std::string_view app, std::string_view section) {
    return inner.deleteSection(app, section);
}

void SpySettingsStore::preset(std::string_view section, std::string_view key, std::string_view value) {
    inner.saveSetting(clsSettings::AppName, section, key, value);
}

std::optional<std::string> SpySettingsStore::stored(std::string_view section, std::string_view key) const {
    return inner.querySetting(clsSettings::AppName, section, key);
}

void SpySettingsStore::onNextRead(std::string key, std::function<void()> fn) {
    hookKey_ = std::move(key);
    hook_ = std::move(fn);
}

}  // namespace wendra::test
