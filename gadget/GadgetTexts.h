#pragma once

// The library's own texts, as the user sees them.

namespace wendra::gadget::text {

inline constexpr const char* kNotFound = "Could not find that event";
inline constexpr const char* kNotEditable =
    "This event contains data imported from MSOutlook that cannot be edited using Wendra(win).";
// The title of the library's messages: its own name, not the host's.
inline constexpr const char* kTitle = "WendraGadget";

}  // namespace wendra::gadget::text
