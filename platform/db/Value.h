#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/clock/DateTime.h"

namespace wendra::db {

// One field of a record: Null, or a flag, an integer, a real, a text or a date-time.
using Value = std::variant<std::monostate, bool, std::int64_t, double, std::string, DateTime>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

}  // namespace wendra::db
