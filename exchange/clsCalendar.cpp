#include "exchange/clsCalendar.h"

#include <cmath>

#include "platform/text/Text.h"

namespace wendra {

void clsCalendar::setVersionText(std::string text) {
    versionText_ = std::move(text);
    const auto v = parseScientific(versionText_);
    if (!v) {
        isValid_ = false;
        return;
    }
    // The major number is what stands before the point, never a rounding of
    // the whole: "1.5" is a version 1.
    const double whole = std::trunc(*v);
    versionMajor_ = whole >= 32767 ? 32767 : whole <= -32768 ? -32768 : static_cast<int>(whole);
    isValid_ = versionMajor_ == 1 || versionMajor_ == 2;
}

clsCalEvent* clsCalendar::CalEvent(int index) {
    if (index < 1 || index > CalEventCount()) return nullptr;
    return &events_[static_cast<std::size_t>(index - 1)];
}

}  // namespace wendra
