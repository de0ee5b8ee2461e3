#pragma once

#include <map>
#include <string>

#include "platform/settings/IniDocument.h"
#include "platform/settings/SettingsStore.h"

namespace wendra::settings {

// A settings store in memory for tests, with the file store's rules for names.
// It counts what it is asked, so a test can tell whether a value came from a
// cache, and it can be told to refuse every change.
class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<std::string> querySetting(std::string_view app, std::string_view section,
                                            std::string_view key) const override;
    bool saveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool deleteSetting(std::string_view app, std::string_view section, std::string_view key) override;
    bool deleteSection(std::string_view app, std::string_view section) override;

    int reads() const { return reads_; }
    int writes() const { return writes_; }  // changes asked for, refused ones included
    void resetCounts() { reads_ = writes_ = 0; }
    void failWrites(bool fail) { failWrites_ = fail; }
    bool empty() const;

private:
    std::map<std::string, IniDocument, std::less<>> apps_;
    mutable int reads_ = 0;
    int writes_ = 0;
    bool failWrites_ = false;
};

}  // namespace wendra::settings
