#pragma once

// One row of the library's in-memory grid: eight cells, each a value, a fore
// colour and a back colour (WendraGadget::clsColumns). The grid reaches the cells
// through the plain members below as well, without the public members' checks.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gadget/WendraGadget.h"

namespace wendra {

using WendraGadget::Variant;

// A cell's value as text: Empty and Null "", a Boolean "True" or "False", a
// number in plain decimal.
std::string variantText(const Variant& value);
// A colour value: Empty 0, a Boolean -1 or 0, a number rounded half to even (out
// of the 32-bit range: error 6), a text that holds a number (else error 13). Null
// is the caller's to handle.
std::int32_t variantColour(const Variant& value);

class clsColumns final : public WendraGadget::clsColumns {
public:
    static constexpr int kCells = 8;

    // ---- the public members (checked: a column outside 0 to 7 raises error 9) ----
    void setColumn(const Variant& vValue, std::int16_t nCol) override;
    Variant getColumn(std::int16_t nCol) const override;
    void setColumns(std::string_view sText) override;
    void setColors(std::int16_t nCol, const Variant& vForeColor, const Variant& vBackColor) override;
    std::int32_t getForeColor(std::int16_t nCol) const override;
    std::int32_t getBackColor(std::int16_t nCol) const override;

    // ---- for the grid: columns known to be in range ----
    const Variant& value(int col) const { return values_[std::size_t(col)]; }
    void setValue(int col, Variant v) { values_[std::size_t(col)] = std::move(v); }
    const Variant& fore(int col) const { return fore_[std::size_t(col)]; }
    const Variant& back(int col) const { return back_[std::size_t(col)]; }
    void setColours(int col, Variant fore, Variant back);
    // Every colour back to Empty.
    void clearColours();
    // Splits at TABs into the cells from 0 on; the number of pieces.
    std::size_t fill(std::string_view text);

private:
    std::array<Variant, kCells> values_{};
    std::array<Variant, kCells> fore_{};
    std::array<Variant, kCells> back_{};
};

}  // namespace wendra
