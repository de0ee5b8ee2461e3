#include "platform/shell/ComponentRegistry.h"

#include <fstream>
#include <sstream>

#include "platform/settings/IniDocument.h"
#include "platform/shell/UserFolders.h"

namespace wendra::shell {

namespace fs = std::filesystem;

namespace {
// The file's name in the store's folder, Components.ini.
constexpr std::string_view kStoreName = "Components";
constexpr std::string_view kLibraryKey = "Library";
}  // namespace

ComponentRegistry::ComponentRegistry(fs::path folder) : store_(std::move(folder)) {}

fs::path ComponentRegistry::folderForCurrentUser() {
    const fs::path data = dataHome();
    return data.empty() ? fs::path{} : data / "WendraWin";
}

ComponentRegistry ComponentRegistry::forCurrentUser() { return ComponentRegistry(folderForCurrentUser()); }

fs::path ComponentRegistry::file() const { return store_.fileFor(kStoreName); }

bool ComponentRegistry::registerClass(std::string_view classId, const fs::path& library) {
    if (!library.is_absolute()) return false;
    return store_.saveSetting(kStoreName, classId, kLibraryKey, library.string());
}

bool ComponentRegistry::unregisterClass(std::string_view classId) {
    return store_.deleteSection(kStoreName, classId);
}

std::optional<fs::path> ComponentRegistry::libraryOf(std::string_view classId) const {
    const std::optional<std::string> value = store_.querySetting(kStoreName, classId, kLibraryKey);
    if (!value || value->empty()) return std::nullopt;
    fs::path library(*value);
    if (!library.is_absolute()) return std::nullopt;
    return library;
}

std::vector<std::string> ComponentRegistry::classes() const {
    std::ifstream in(file());
    std::stringstream text;
    text << in.rdbuf();
    const settings::IniDocument doc = settings::IniDocument::parse(text.str());
    std::vector<std::string> out;
    for (const std::string& section : doc.sectionNames())
        if (doc.value(section, kLibraryKey)) out.push_back(section);
    return out;
}

}  // namespace wendra::shell
