// The in-memory grid the gadget's list is built on, through its public members.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gadget/clsColumns.h"
#include "gadget/clsGrid.h"

namespace wendra {
namespace {

using WendraGadget::Null;
using WendraGadget::Variant;

// The number of the error a call raises; 0 when it raises none.
int errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const WendraGadget::Error& e) {
        return e.number();
    }
    return 0;
}

TEST(GadgetGrid, ColourNamesAtTheBoundariesOfEachValue) {
    struct Case {
        Variant fore, back;
        std::int32_t foreValue, backValue;
        const char* foreName;
        const char* backName;
    };
    const std::vector<Case> cases{
        {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, "White", "#FFFF80"},
        {0xFFFFFE, 0xFFFFFE, 0xFFFFFE, 0xFFFFFE, "Black", "#FFFF80"},
        {0xFF0001, 0xFF0001, 0xFF0001, 0xFF0001, "Black", "#FFFF80"},
        {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, "Blue", "Blue"},
        {0xFEFFFF, 0xFEFFFF, 0xFEFFFF, 0xFEFFFF, "Black", "#FFFF80"},
        {255, 255, 255, 255, "Red", "Red"},
        {256, 254, 256, 254, "Black", "#FFFF80"},
        {65280, 65280, 65280, 65280, "Green", "Lime"},
        {65281, 65279, 65281, 65279, "Black", "#FFFF80"},
        {0, 0, 0, 0, "Black", "#FFFF80"},
        {0xC0C0, static_cast<std::int32_t>(0x80000011), 0xC0C0, static_cast<std::int32_t>(0x80000011), "Black",
         "#FFFF80"},
        // Null: fore 0, back 65535 (the list's yellow); never set (Empty): 0 both.
        {Null{}, Null{}, 0, 65535, "Black", "#FFFF80"},
        {Variant{}, Variant{}, 0, 0, "Black", "#FFFF80"},
        // What a page's script may hand over: numbers rounded half to even, texts
        // holding numbers, Booleans.
        {255.0, 254.5, 255, 254, "Red", "#FFFF80"},
        {255.5, 65279.5, 256, 65280, "Black", "Lime"},
        {std::string(" 255 "), std::string("16711680"), 255, 0xFF0000, "Red", "Blue"},
        {true, false, -1, 0, "Black", "#FFFF80"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        clsGrid grid;
        grid.addItem("a\tb\tc\td");
        grid.setGridColors(1, 3, c.fore, c.back);
        EXPECT_EQ(grid.row(0).getForeColor(3), c.foreValue) << i;
        EXPECT_EQ(grid.row(0).getBackColor(3), c.backValue) << i;
        EXPECT_EQ(grid.getForeColor(0, 3), c.foreName) << i;
        EXPECT_EQ(grid.getBackColor(0, 3), c.backName) << i;
        // The cells beside it were never coloured.
        EXPECT_EQ(grid.getForeColor(0, 2), "Black") << i;
        EXPECT_EQ(grid.getBackColor(0, 4), "#FFFF80") << i;
    }
}

TEST(GadgetGrid, SortIsAscendingByBytesWithEqualKeysReversed) {
    struct Case {
        std::vector<std::string> keys;  // the sort-key cells in the rows' order
        std::vector<int> order;         // the rows' old positions afterwards
    };
    const std::vector<Case> cases{
        {{"k2", "k1", "k2"}, {1, 2, 0}},
        {{"x", "x", "x"}, {2, 1, 0}},
        {{"b", "B", "a", "A"}, {3, 1, 2, 0}},  // case counts: upper before lower
        {{"2026", "", "0", "20260311"}, {1, 2, 0, 3}},
        {{"\xC3\xA9", "z", "e"}, {2, 1, 0}},  // bytes above 127 after every ASCII one
        {{}, {}},
    };
    for (const Case& c : cases) {
        clsGrid grid;
        for (std::size_t i = 0; i < c.keys.size(); ++i) grid.addItem(std::to_string(i) + "\t" + c.keys[i]);
        grid.sort();
        std::vector<int> order;
        for (int r = 0; r < grid.Rows(); ++r) order.push_back(std::stoi(variantText(grid.textMatrix(std::int16_t(r), 0))));
        EXPECT_EQ(order, c.order) << ::testing::PrintToString(c.keys);
    }
}

TEST(GadgetGrid, RowsAndColumnsOutsideTheGridRaiseFiveAndNineAndChangeNothing) {
    clsGrid grid;
    grid.addItem("key\tsort");
    grid.setGridColors(1, 3, 255, 255);
    struct Case {
        const char* what;
        std::function<void()> call;
        int error;
    };
    const std::vector<Case> cases{
        {"read row -1", [&] { grid.textMatrix(-1, 0); }, 5},
        {"read row 1 of 1", [&] { grid.textMatrix(1, 0); }, 5},
        {"read column 8", [&] { grid.textMatrix(0, 8); }, 9},
        {"write column -1", [&] { grid.textMatrix(0, -1, std::string("x")); }, 9},
        {"write row 5, column 9: the row first", [&] { grid.textMatrix(5, 9, std::string("x")); }, 5},
        {"colour row 0 (it counts from 1)", [&] { grid.setGridColors(0, 3, 0, 0); }, 5},
        {"colour row 2 of 1", [&] { grid.setGridColors(2, 3, 0, 0); }, 5},
        {"colour column 8", [&] { grid.setGridColors(1, 8, 0, 0); }, 9},
        {"name row 1 of 1", [&] { grid.getForeColor(1, 3); }, 5},
        {"name column 8", [&] { grid.getBackColor(0, 8); }, 9},
        {"add nine cells", [&] { grid.addItem("0\t1\t2\t3\t4\t5\t6\t7\t8"); }, 9},
        {"a colour that is no number",
         [&] { grid.setGridColors(1, 4, std::string("blue"), 0), grid.getForeColor(0, 4); }, 13},
        {"a colour beyond 32 bits", [&] { grid.setGridColors(1, 5, 1e10, 0), grid.getForeColor(0, 5); }, 6},
        {"a row of its own", [&] { grid.textMatrix(0, 7); }, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.call), c.error) << c.what;
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(variantText(grid.textMatrix(0, 0)), "key");
    EXPECT_EQ(grid.getBackColor(0, 3), "Red");
}

TEST(GadgetGrid, CellsFillFromTabbedTextAndTheDisplayMembersDoNothing) {
    clsGrid grid;
    grid.addItem("");
    grid.addItem("a\t\tc", std::int16_t{0});  // the position is ignored: last
    ASSERT_EQ(grid.Rows(), 2);
    for (int c = 0; c < 8; ++c)
        EXPECT_TRUE(std::holds_alternative<std::monostate>(grid.textMatrix(0, std::int16_t(c))));
    EXPECT_EQ(variantText(grid.textMatrix(1, 0)), "a");
    EXPECT_EQ(grid.textMatrix(1, 1), Variant(std::string()));
    EXPECT_EQ(variantText(grid.textMatrix(1, 2)), "c");
    grid.textMatrix(1, 3, 12.5);
    EXPECT_EQ(variantText(grid.textMatrix(1, 3)), "12.5");

    grid.Row(3);
    grid.cols(8);
    grid.colWidth(100);
    grid.removeItem(0);
    grid.refresh();
    EXPECT_EQ(grid.Row(), 0);
    EXPECT_EQ(grid.cols(), 0);
    EXPECT_FALSE(grid.mergeCol(3));
    EXPECT_EQ(grid.Rows(), 2);

    clsColumns row;
    row.setColumns("0\t1\t2\t3\t4\t5\t6\t7");
    row.setColumns("x\ty");  // the cells beyond the pieces keep theirs
    row.setColumns("");
    EXPECT_EQ(variantText(row.getColumn(0)), "x");
    EXPECT_EQ(variantText(row.getColumn(7)), "7");
    EXPECT_EQ(errorOf([&] { row.setColumns("a\tb\tc\td\te\tf\tg\th\ti"); }), 9);
    EXPECT_EQ(variantText(row.getColumn(7)), "h");  // the first eight went in
    row.setColumn(Null{}, 2);
    EXPECT_EQ(row.getColumn(2), Variant(Null{}));
    EXPECT_EQ(variantText(row.getColumn(2)), "");
}

}  // namespace
}  // namespace wendra
