// A gadget library built for another interface: its entry point serves none of
// the versions a host of this one asks for.
#include "gadget/WendraGadget.h"

extern "C" const WendraGadget::Library* WendraGadget_Library(std::uint32_t) { return nullptr; }
