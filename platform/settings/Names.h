#pragma once

#include <string_view>

namespace wendra::settings {

// A section or key name that a settings file can hold: not empty, no NUL.
inline bool isUsableName(std::string_view name) {
    return !name.empty() && name.find('\0') == std::string_view::npos;
}

// An application name that can name a file of its own in the settings folder.
inline bool isUsableAppName(std::string_view app) {
    return isUsableName(app) && app != "." && app != ".." && app.find('/') == std::string_view::npos;
}

}  // namespace wendra::settings
