#pragma once

#include <string>

namespace wendra::ui {

// A font as the forms and the settings describe it; the size is in points.
struct Font {
    std::string name = "Sans Serif";
    double size = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const Font&) const = default;
};

}  // namespace wendra::ui
