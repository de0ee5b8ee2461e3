#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wendra::settings {

// The per-user settings store: texts addressed by application name, section and
// key. Section and key names compare without regard to ASCII case, as the
// program's settings have always been looked up.
//
// Every read goes to the store itself, so a value that another process saved is
// seen by the next read; whoever wants a cache keeps it above this layer.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or nothing when the key is missing or the store cannot be read.
    virtual std::optional<std::string> querySetting(std::string_view app, std::string_view section,
                                                    std::string_view key) const = 0;
    // Stores the text; false when it could not be stored (the store is then unchanged).
    virtual bool saveSetting(std::string_view app, std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    // Removes the key; removing a missing key succeeds and writes nothing.
    virtual bool deleteSetting(std::string_view app, std::string_view section, std::string_view key) = 0;
    // Removes the section with all its keys.
    virtual bool deleteSection(std::string_view app, std::string_view section) = 0;

    // The stored text, or the default when the key is missing. Reading never stores anything.
    std::string getSetting(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const {
        if (auto v = querySetting(app, section, key)) return std::move(*v);
        return std::string(defaultValue);
    }
};

}  // namespace wendra::settings
