#pragma once

#include <stdlib.h>
#include <time.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wendra::test {

// Environment variables set (or, with a null value, removed) for the life of the
// object; each one's old value comes back afterwards.
class EnvironmentOverride {
public:
    EnvironmentOverride() = default;
    EnvironmentOverride(const char* name, const char* value) { set(name, value); }
    ~EnvironmentOverride() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) apply(it->first.c_str(), it->second);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

    void set(const char* name, const char* value) {
        const char* old = ::getenv(name);
        saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        apply(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }

private:
    static void apply(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The machine's time zone for the life of the object, so local times and UTC
// differ by a known amount ("UTC0", "EST5EDT,M3.2.0,M11.1.0": POSIX rules need
// no zone files).
class TimeZoneOverride {
public:
    explicit TimeZoneOverride(const char* zone) : tz_("TZ", zone) { ::tzset(); }

private:
    struct Reread {
        ~Reread() { ::tzset(); }
    } reread_;  // ends after tz_, once TZ is back
    EnvironmentOverride tz_;
};

}  // namespace wendra::test
