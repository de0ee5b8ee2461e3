#include "platform/outlook/PropertyValues.h"

#include <strings.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/outlook/Errors.h"
#include "platform/text/Text.h"

namespace wendra::outlook::ics {

namespace {

[[noreturn]] void mismatch(int type) {
    throw Error(err::kTypeMismatch, "Type mismatch: the value cannot be stored in a property of type " +
                                        std::to_string(type) + ".",
                kErrorSource);
}

std::string numberText(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

std::string dateText(DateTime d) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02d", d.year(), d.month(), d.day(), d.hour(),
                  d.minute(), d.second());
    return buffer;
}

std::optional<DateTime> readDate(const std::string& t) {
    int y, mo, d, h = 0, mi = 0, s = 0;
    char tail;
    if (std::sscanf(t.c_str(), "%4d%2d%2dT%2d%2d%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) == 6 ||
        std::sscanf(t.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) == 6)
        return DateTime::fromParts(y, mo, d, h, mi, s);
    if (t.size() == 8 && std::sscanf(t.c_str(), "%4d%2d%2d%c", &y, &mo, &d, &tail) == 3)
        return DateTime::fromParts(y, mo, d);
    if (std::sscanf(t.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) == 3) return DateTime::fromParts(y, mo, d);
    return std::nullopt;
}

std::optional<bool> readFlag(const std::string& t) {
    for (const char* yes : {"true", "yes", "-1", "1"})
        if (strcasecmp(t.c_str(), yes) == 0) return true;
    for (const char* no : {"false", "no", "0"})
        if (strcasecmp(t.c_str(), no) == 0) return false;
    return std::nullopt;
}

std::string textOf(const PropertyValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* n = std::get_if<double>(&v)) return numberText(*n);
    if (const auto* d = std::get_if<DateTime>(&v)) return d->isoText();
    return std::get<bool>(v) ? "True" : "False";
}

}  // namespace

bool isPropertyType(int type) { return type == olText || type == olNumber || type == olDateTime || type == olYesNo; }

std::string defaultPropertyText(int type) {
    switch (type) {
    case olNumber: return "0";
    case olDateTime: return dateText(noDate());
    case olYesNo: return "FALSE";
    default: return "";
    }
}

std::string encodeProperty(int type, const PropertyValue& value) {
    switch (type) {
    case olText: return textOf(value);
    case olNumber: {
        if (const auto* n = std::get_if<double>(&value)) {
            if (!std::isfinite(*n)) mismatch(type);
            return numberText(*n);
        }
        if (const auto* s = std::get_if<std::string>(&value))
            if (const auto n = parseScientific(*s); n && std::isfinite(*n)) return numberText(*n);
        if (const auto* b = std::get_if<bool>(&value)) return *b ? "-1" : "0";  // True is -1, as automation counts it
        mismatch(type);
    }
    case olDateTime: {
        if (const auto* d = std::get_if<DateTime>(&value)) return dateText(*d);
        if (const auto* s = std::get_if<std::string>(&value))
            if (const auto d = readDate(*s)) return dateText(*d);
        mismatch(type);
    }
    case olYesNo: {
        if (const auto* b = std::get_if<bool>(&value)) return *b ? "TRUE" : "FALSE";
        if (const auto* n = std::get_if<double>(&value)) return *n != 0 ? "TRUE" : "FALSE";
        if (const auto* s = std::get_if<std::string>(&value))
            if (const auto f = readFlag(*s)) return *f ? "TRUE" : "FALSE";
        mismatch(type);
    }
    default: mismatch(type);
    }
}

PropertyValue decodeProperty(int type, const std::string& text) {
    switch (type) {
    case olNumber: {
        if (const auto n = parseScientific(text)) return *n;
        return 0.0;
    }
    case olDateTime: return readDate(text).value_or(noDate());
    case olYesNo: return readFlag(text).value_or(false);
    default: return text;
    }
}

}  // namespace wendra::outlook::ics
