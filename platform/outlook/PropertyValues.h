#pragma once

// User property values and the text a calendar file keeps them as: texts as
// they are, numbers in their shortest exact form, date-times as local
// "yyyymmddThhmmss", yes/no as TRUE or FALSE.

#include <string>

#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

bool isPropertyType(int type);
// What a property added and never given a value holds.
std::string defaultPropertyText(int type);
// A value converted to the property's type, as stored; raises kTypeMismatch
// when it cannot be converted.
std::string encodeProperty(int type, const PropertyValue& value);
// The stored text read as the property's type; a text that is not one (a hand
// edit) reads as the type's default.
PropertyValue decodeProperty(int type, const std::string& text);

}  // namespace wendra::outlook::ics
