#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook {

DateTime noDate() { return DateTime::ymd(4501, 1, 1); }

DateTime patternTimeDay() { return DateTime::ymd(1601, 1, 1); }

Error::Error(long number, std::string description, std::string source)
    : std::runtime_error(description + " (" + std::to_string(number) + ")"),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

}  // namespace wendra::outlook
