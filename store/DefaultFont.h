#pragma once

#include <cstdint>
#include <string_view>

namespace wendra {

// The font of the about box, which is also the list's font until the user picks
// another. One place, so the window's default and the box cannot drift apart.
// Eight points keeps the proportions the stored window sizes in twips were made for.
inline constexpr std::string_view kDefaultFontName = "Sans Serif";
inline constexpr std::int16_t kDefaultFontSize = 8;

}  // namespace wendra
