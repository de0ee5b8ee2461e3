#pragma once

// The errors the library raises out of a call, and the guard every public member
// runs its work in: whatever goes wrong inside reaches the host as a
// WendraGadget::Error with its number, never as another exception.

#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "gadget/WendraGadget.h"

namespace wendra::gadget {

// The error with its number and the platform's text for it, followed by what
// went wrong where there is more to say.
[[noreturn]] void raise(std::int32_t number, std::string_view detail = {});

template <typename Work>
decltype(auto) guarded(Work&& work) {
    try {
        return std::forward<Work>(work)();
    } catch (const WendraGadget::Error&) {
        throw;
    } catch (const std::bad_alloc&) {
        raise(WendraGadget::errors::OutOfMemory);
    } catch (const std::exception& e) {
        raise(WendraGadget::errors::Internal, e.what());
    } catch (...) {
        raise(WendraGadget::errors::Internal);
    }
}

}  // namespace wendra::gadget
