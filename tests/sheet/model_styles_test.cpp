// The style table and the sheet queries the readers and the writer rely on.
#include "sheet/model.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

TEST(StyleTable, InternsEqualStylesOnce) {
    StyleTable table;
    EXPECT_EQ(table.size(), 1);
    EXPECT_EQ(table.intern(Style{}), 0);
    Style bold;
    bold.font.bold = true;
    Style red;
    red.font.color = 0xFF0000;
    Style redBorder;
    redBorder.border.left = BorderSide{"thin", 0xFF0000};
    const int boldIndex = table.intern(bold);
    const int redIndex = table.intern(red);
    const int borderIndex = table.intern(redBorder);
    EXPECT_NE(boldIndex, redIndex);
    EXPECT_NE(redIndex, borderIndex);
    EXPECT_EQ(table.intern(bold), boldIndex);
    EXPECT_EQ(table.intern(red), redIndex);
    EXPECT_EQ(table.intern(redBorder), borderIndex);
    EXPECT_EQ(table.size(), 4);
    EXPECT_EQ(table.at(redIndex), red);
    EXPECT_EQ(table.at(99), Style{});
}

TEST(StyleTable, ManyDistinctStylesStayDistinct) {
    StyleTable table;
    for (int i = 0; i < 500; ++i) {
        Style style;
        style.font.size = 20 + i * 0.5;
        EXPECT_EQ(table.intern(style), i + 1);
    }
    Style again;
    again.font.size = 20 + 250 * 0.5;
    EXPECT_EQ(table.intern(again), 251);
}

TEST(Worksheet, HiddenRowsAndColumnsAndDateFormats) {
    Worksheet sheet("s");
    sheet.hiddenRows = {3, 9}; // ascending, as the model keeps them
    sheet.hiddenColumns = {2};
    EXPECT_TRUE(sheet.isRowHidden(3));
    EXPECT_TRUE(sheet.isRowHidden(9));
    EXPECT_FALSE(sheet.isRowHidden(4));
    EXPECT_TRUE(sheet.isColumnHidden(2));
    EXPECT_FALSE(sheet.isColumnHidden(3));

    Style date;
    date.numberFormatId = 14;
    EXPECT_TRUE(isDateFormat(date));
    date.numberFormatId = 164;
    date.numberFormatCode = "#,##0";
    EXPECT_FALSE(isDateFormat(date));
}

} // namespace
} // namespace sheet
