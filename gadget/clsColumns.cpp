#include "gadget/clsColumns.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "gadget/GadgetErrors.h"

namespace wendra {

namespace {

namespace errors = WendraGadget::errors;

void checkColumn(std::int16_t col) {
    if (col < 0 || col >= clsColumns::kCells)
        gadget::raise(errors::SubscriptOutOfRange, "column " + std::to_string(col));
}

std::int32_t roundedColour(double v) {
    const double r = std::nearbyint(v);  // the default rounding: half to even
    if (!std::isfinite(r) || r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        gadget::raise(errors::Overflow);
    return static_cast<std::int32_t>(r);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string variantText(const Variant& value) {
    struct {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(WendraGadget::Null) const { return {}; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::int32_t n) const { return std::to_string(n); }
        std::string operator()(double d) const {
            char buf[32];
            const auto r = std::to_chars(buf, buf + sizeof buf, d);
            return std::string(buf, r.ptr);
        }
        std::string operator()(const std::string& s) const { return s; }
    } visit;
    return std::visit(visit, value);
}

std::int32_t variantColour(const Variant& value) {
    if (std::holds_alternative<std::monostate>(value) || std::holds_alternative<WendraGadget::Null>(value)) return 0;
    if (const bool* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
    if (const std::int32_t* n = std::get_if<std::int32_t>(&value)) return *n;
    if (const double* d = std::get_if<double>(&value)) return roundedColour(*d);
    const std::string_view text = trimmed(std::get<std::string>(value));
    double d = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        gadget::raise(errors::TypeMismatch, "a colour of \"" + std::string(text) + "\"");
    return roundedColour(d);
}

void clsColumns::setColumn(const Variant& vValue, std::int16_t nCol) {
    gadget::guarded([&] {
        checkColumn(nCol);
        setValue(nCol, vValue);
    });
}

Variant clsColumns::getColumn(std::int16_t nCol) const {
    return gadget::guarded([&] {
        checkColumn(nCol);
        return value(nCol);
    });
}

void clsColumns::setColumns(std::string_view sText) {
    gadget::guarded([&] {
        if (fill(sText) > std::size_t(kCells)) gadget::raise(errors::SubscriptOutOfRange, "more than eight cells");
    });
}

std::size_t clsColumns::fill(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t pieces = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = text.find('\t', start);
        const std::string_view piece = text.substr(start, tab == std::string_view::npos ? text.npos : tab - start);
        if (pieces < std::size_t(kCells)) values_[pieces] = std::string(piece);
        ++pieces;
        if (tab == std::string_view::npos) return pieces;
        start = tab + 1;
    }
}

void clsColumns::setColors(std::int16_t nCol, const Variant& vForeColor, const Variant& vBackColor) {
    gadget::guarded([&] {
        checkColumn(nCol);
        setColours(nCol, vForeColor, vBackColor);
    });
}

std::int32_t clsColumns::getForeColor(std::int16_t nCol) const {
    return gadget::guarded([&] {
        checkColumn(nCol);
        return variantColour(fore(nCol));
    });
}

std::int32_t clsColumns::getBackColor(std::int16_t nCol) const {
    return gadget::guarded([&] {
        checkColumn(nCol);
        // A Null back colour is the light yellow of the list.
        if (std::holds_alternative<WendraGadget::Null>(back(nCol))) return std::int32_t{65535};
        return variantColour(back(nCol));
    });
}

void clsColumns::setColours(int col, Variant fore, Variant back) {
    fore_[std::size_t(col)] = std::move(fore);
    back_[std::size_t(col)] = std::move(back);
}

void clsColumns::clearColours() {
    fore_.fill(Variant{});
    back_.fill(Variant{});
}

}  // namespace wendra
