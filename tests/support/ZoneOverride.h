#pragma once

#include <stdlib.h>
#include <time.h>

#include <optional>
#include <string>

namespace wendra::test {

// A time zone (a POSIX TZ text, which needs no zone files) for the life of the
// object; the previous one comes back afterwards.
class ZoneOverride {
public:
    explicit ZoneOverride(const char* zone) {
        if (const char* old = getenv("TZ")) previous_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneOverride() {
        if (previous_)
            setenv("TZ", previous_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ZoneOverride(const ZoneOverride&) = delete;
    ZoneOverride& operator=(const ZoneOverride&) = delete;

private:
    std::optional<std::string> previous_;
};

}  // namespace wendra::test
