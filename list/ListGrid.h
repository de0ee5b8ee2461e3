#pragma once

// The grid the list rules write to: its columns, the colours the rules give, the
// occurrence each row keeps, and the small interface each owner's grid adapts to
// (the main window's UiListGrid, the gadget library's grid in memory).

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"
#include "platform/ui/Colour.h"
#include "platform/ui/Grid.h"

namespace wendra {

// Column numbers of the list grid (the gadget library publishes them as eGridCol).
enum GridCol : int {
    grdKey = 0,
    grdSortKey = 1,
    grdModified = 2,
    grdWendra = 3,
    grdSubject = 4,
    grdTime = 5,
    grdDate = 6,
    grdDayofWeek = 7,
};
inline constexpr int kListColumns = 8;
// Room for a cell's margins beside its text (twips), in the grid and in its heading.
inline constexpr int kListCellMargin = 150;

// Colours the list writes (&HBBGGRR).
namespace listcolours {
inline constexpr ui::Colour background = 0x80FFFF;     // light yellow
inline constexpr ui::Colour viewAllBackground = 0xFFFFFF;
inline constexpr ui::Colour white = 0xFFFFFF;
inline constexpr ui::Colour red = 255;
inline constexpr ui::Colour blue = 0xFF0000;
inline constexpr ui::Colour black = 0;
inline constexpr ui::Colour green = 65280;
inline constexpr ui::Colour markedText = 0xC0C0;        // texts of a row marked "X"
inline constexpr ui::Colour markerBack = ui::colours::grayText;  // &H80000011 behind the "X"
}  // namespace listcolours

// The occurrence a row shows.
struct RowOccurrence {
    DateTime when;
    bool allDay = false;
    bool operator==(const RowOccurrence&) const = default;
};

// What the list rules need of a grid. Rows count from 0 and include the fixed
// heading row. The display members have defaults that do nothing, for a grid
// that only keeps texts and colours.
class ListGrid {
public:
    virtual ~ListGrid() = default;

    // ---- rows and cells ----
    virtual int rows() const = 0;
    // No rows, `cols` columns, no fixed rows.
    virtual void reset(int cols) = 0;
    // Appends an empty row; answers its index.
    virtual int appendRow() = 0;
    // The main grid refuses to remove its last non-fixed row; the rules never ask that.
    virtual bool removeRow(int row) = 0;
    virtual std::string text(int row, int col) const = 0;
    virtual void setText(int row, int col, const std::string& text) = 0;
    // The same, handing the text over (a rebuild writes thousands of them).
    virtual void takeText(int row, int col, std::string&& text) { setText(row, col, text); }
    // nullopt is "no colour given": the main grid leaves the cell's colour as it
    // is, the in-memory grid stores Null.
    virtual void setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) = 0;
    // Every cell of the row back to the grid's own colours.
    virtual void resetColours(int row) = 0;
    virtual std::optional<RowOccurrence> occurrence(int row) const = 0;
    virtual void setOccurrence(int row, std::optional<RowOccurrence> when) = 0;
    // Orders the non-fixed rows ascending by the texts of one column.
    virtual void sortRows(int col) = 0;

    // ---- display ----
    virtual int fixedRows() const { return 0; }
    virtual void setFixedRows(int) {}
    virtual void setBackColour(ui::Colour) {}
    virtual bool mergeCol(int) const { return false; }
    virtual void setMergeCol(int, bool) {}
    virtual void setMergeFree() {}
    virtual int width() const { return 0; }  // twips
    virtual int textWidth(std::string_view) const { return 0; }
    virtual int colWidth(int) const { return 0; }
    virtual void setColWidth(int, int) {}
    virtual void setColAlignment(int, ui::Alignment) {}
    virtual bool redraw() const { return true; }
    virtual void setRedraw(bool) {}
    virtual void repaint() {}
    virtual int currentRow() const { return -1; }
    virtual void setCurrentRow(int) {}
    virtual void setCurrentCol(int) {}
    virtual int topRow() const { return 0; }
    virtual bool setTopRow(int) { return false; }
};

}  // namespace wendra
