#include "platform/ui/NumberText.h"

#include "platform/text/Text.h"

#include <algorithm>
#include <cmath>
#include <cctype>

namespace wendra::ui {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::optional<double> parseDecimal(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    int digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
            value += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    return negative ? -value : value;
}

std::optional<long long> wholeNumber(std::string_view text) {
    const auto v = parseDecimal(text);
    if (!v) return std::nullopt;
    constexpr double limit = 1e15;
    const double r = std::nearbyint(std::clamp(*v, -limit, limit));  // default rounding: half to even
    return static_cast<long long>(r);
}

std::string stepNumber(std::string_view text, int delta, int minimum, int maximum, int defaultValue) {
    const auto v = wholeNumber(text);
    long long next = v ? *v + delta : defaultValue;
    if (maximum < minimum) std::swap(minimum, maximum);
    next = std::clamp<long long>(next, minimum, maximum);
    return std::to_string(next);
}

int filterKey(KeyFilter filter, int key) {
    const bool digit = key >= '0' && key <= '9';
    switch (filter) {
        case KeyFilter::None: return key;
        case KeyFilter::Digits: return (digit || key == kKeyBackspace) ? key : 0;
        case KeyFilter::Decimal: return (digit || key == '.' || key == kKeyBackspace) ? key : 0;
    }
    return key;
}

std::size_t charCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::size_t byteOffset(std::string_view text, std::size_t chars) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == chars) return i;
            ++seen;
        }
    }
    return text.size();
}

std::string encodeChar(char32_t cp) {
    std::string out;
    appendUtf8(out, cp);
    return out;
}

}  // namespace wendra::ui
