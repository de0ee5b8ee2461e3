#include "platform/shell/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace wendra::shell {

namespace fs = std::filesystem;

namespace {

fs::path absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0' || !fs::path(value).is_absolute()) return {};
    return value;
}

fs::path underHome(const fs::path& fallback) {
    const fs::path home = homeFolder();
    return home.empty() ? fs::path{} : home / fallback;
}

// One line's value when it is XDG_DESKTOP_DIR="...", unescaped.
std::optional<std::string> desktopValue(std::string_view line) {
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return std::nullopt;
    line.remove_prefix(start);
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR";
    if (!line.starts_with(kKey)) return std::nullopt;
    line.remove_prefix(kKey.size());
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!line.starts_with('=')) return std::nullopt;
    line.remove_prefix(1);
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (!line.starts_with('"')) return std::nullopt;
    line.remove_prefix(1);
    std::string value;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') return value;
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        value += line[i];
    }
    return std::nullopt;  // no closing quote
}

}  // namespace

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return {};
}

fs::path dataHome() {
    const fs::path set = absoluteVariable("XDG_DATA_HOME");
    return set.empty() ? underHome(fs::path(".local") / "share") : set;
}

fs::path configHome() {
    const fs::path set = absoluteVariable("XDG_CONFIG_HOME");
    return set.empty() ? underHome(".config") : set;
}

std::optional<fs::path> desktopFolderIn(std::string_view userDirs, const fs::path& home) {
    std::optional<fs::path> found;
    while (!userDirs.empty()) {
        const auto end = userDirs.find('\n');
        const std::string_view line = userDirs.substr(0, end);
        userDirs.remove_prefix(end == std::string_view::npos ? userDirs.size() : end + 1);
        const std::optional<std::string> value = desktopValue(line);
        if (!value) continue;
        constexpr std::string_view kHome = "$HOME";
        if (std::string_view(*value).starts_with(kHome)) {
            const std::string_view rest = std::string_view(*value).substr(kHome.size());
            if (rest.empty()) {
                found = home;
            } else if (rest.front() == '/') {
                found = home / fs::path(rest.substr(1));
            }
        } else if (!value->empty() && value->front() == '/') {
            found = fs::path(*value);
        }
    }
    return found;
}

fs::path desktopFolder() {
    const fs::path home = homeFolder();
    const fs::path config = configHome();
    if (!config.empty()) {
        std::ifstream in(config / "user-dirs.dirs");
        std::stringstream text;
        text << in.rdbuf();
        if (auto named = desktopFolderIn(text.str(), home)) return *named;
    }
    return home.empty() ? fs::path{} : home / "Desktop";
}

fs::path applicationsFolder() {
    const fs::path data = dataHome();
    return data.empty() ? fs::path{} : data / "applications";
}

}  // namespace wendra::shell
