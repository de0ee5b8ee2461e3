#pragma once

// Owning handles for what libical hands out.

#include <libical/ical.h>

#include <memory>
#include <string>

namespace wendra::outlook::ics {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

struct IteratorFree {
    void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// A string the caller owns (the *_r functions), taken into a std::string.
inline std::string takeString(char* s) {
    if (!s) return {};
    std::string text(s);
    icalmemory_free_buffer(s);
    return text;
}

}  // namespace wendra::outlook::ics
