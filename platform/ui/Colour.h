#pragma once

#include <cstdint>

namespace wendra::ui {

// A colour as the forms keep it: &HBBGGRR (blue in the high byte, red in the low byte).
// Values with the top bit set name a system colour by its index in the low byte,
// as the window system's colour scheme defines it.
using Colour = std::int32_t;

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}
constexpr int redOf(Colour c) { return c & 0xFF; }
constexpr int greenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr int blueOf(Colour c) { return (c >> 16) & 0xFF; }

constexpr Colour systemColour(int index) { return static_cast<Colour>(0x80000000u | static_cast<unsigned>(index & 0xFF)); }
constexpr bool isSystemColour(Colour c) { return c < 0; }
constexpr int systemColourIndex(Colour c) { return c & 0xFF; }

namespace colours {
inline constexpr Colour black = 0;
inline constexpr Colour white = 0xFFFFFF;
inline constexpr Colour red = 0x0000FF;
inline constexpr Colour green = 0x00FF00;
inline constexpr Colour blue = 0xFF0000;
// System colours the forms name.
inline constexpr Colour windowText = systemColour(8);
inline constexpr Colour window = systemColour(5);
inline constexpr Colour buttonFace = systemColour(15);  // &H8000000F
inline constexpr Colour grayText = systemColour(17);    // &H80000011
inline constexpr Colour highlight = systemColour(13);
inline constexpr Colour highlightText = systemColour(14);
inline constexpr Colour buttonText = systemColour(18);
}  // namespace colours

}  // namespace wendra::ui
