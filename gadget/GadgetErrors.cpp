#include "gadget/GadgetErrors.h"

namespace wendra::gadget {

namespace {

std::string_view errorText(std::int32_t number) {
    namespace e = WendraGadget::errors;
    switch (number) {
        case e::InvalidArgument: return "Invalid procedure call or argument";
        case e::Overflow: return "Overflow";
        case e::OutOfMemory: return "Out of memory";
        case e::SubscriptOutOfRange: return "Subscript out of range";
        case e::TypeMismatch: return "Type mismatch";
        case e::FileNotFound: return "File not found";
        case e::PathFileAccess: return "Path/File access error";
        default: return "Internal error";
    }
}

}  // namespace

void raise(std::int32_t number, std::string_view detail) {
    std::string text(errorText(number));
    if (!detail.empty()) text.append(": ").append(detail);
    throw WendraGadget::Error(number, std::move(text));
}

}  // namespace wendra::gadget
