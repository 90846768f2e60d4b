// Cell references, formula moves, dates as serials and colour tints.
#include "sheet/a1_reference.h"
#include "sheet/colors.h"
#include "sheet/date_serial.h"
#include "sheet/number_formats.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

TEST(CellAddresses, ParseWithinTheSheetLimitsOnly) {
    auto address = parseCellAddress("$XFD$1048576");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->column, 16384);
    EXPECT_EQ(address->row, 1048576);
    EXPECT_FALSE(parseCellAddress("XFE1"));
    EXPECT_FALSE(parseCellAddress("A1048577"));
    EXPECT_FALSE(parseCellAddress("A0"));
    EXPECT_FALSE(parseCellAddress("A"));
    EXPECT_FALSE(parseCellAddress("12"));
    EXPECT_FALSE(parseCellAddress("A1B"));
    EXPECT_FALSE(parseCellAddress(""));
    EXPECT_EQ(columnLetters(28), "AB");
    EXPECT_EQ(cellAddressText(7, 16384), "XFD7");
}

TEST(ShiftFormula, MovesRelativePartsOnly) {
    EXPECT_EQ(shiftFormula("A1+$B$1*B$1+$C1", 2, 1), "B3+$B$1*C$1+$C3");
    EXPECT_EQ(shiftFormula("SUM(A1:B2)", 1, 0), "SUM(A2:B3)");
    EXPECT_EQ(shiftFormula("SUM(A:A,1:1,$C:$C)", 1, 1), "SUM(B:B,2:2,$C:$C)");
}

TEST(ShiftFormula, LeavesTextSheetNamesFunctionsAndNumbersAlone) {
    EXPECT_EQ(shiftFormula("\"A1\"&A1", 1, 0), "\"A1\"&A2");
    EXPECT_EQ(shiftFormula("'A1 시트'!A1+Sheet2!B2", 1, 1), "'A1 시트'!B2+Sheet2!C3");
    EXPECT_EQ(shiftFormula("LOG10(A1)+1.5E+3+TRUE", 1, 0), "LOG10(A2)+1.5E+3+TRUE");
    EXPECT_EQ(shiftFormula("Table1[Col1]+A1", 1, 0), "Table1[Col1]+A2");
    EXPECT_EQ(shiftFormula("'it''s'!A1", 0, 1), "'it''s'!B1");
}

TEST(ShiftFormula, ReferencesMovedOffTheSheetBecomeRefErrors) {
    EXPECT_EQ(shiftFormula("A1+B2", -1, 0), "#REF!+B1");
    EXPECT_EQ(shiftFormula("XFD1", 0, 1), "#REF!");
}

TEST(DateSerials, CountFromTheDateSystemsStart) {
    EXPECT_EQ(serialFromIsoText("1900-01-01", false), 1);
    EXPECT_EQ(serialFromIsoText("1900-02-28", false), 59);
    EXPECT_EQ(serialFromIsoText("1900-03-01", false), 61);
    EXPECT_EQ(serialFromIsoText("2024-03-01", false), 45352);
    EXPECT_EQ(serialFromIsoText("2024-03-01 06:00:00", false), 45352.25);
    EXPECT_EQ(serialFromIsoText("2024-03-01T18:00:00Z", false), 45352.75);
    EXPECT_EQ(serialFromIsoText("12:00:00", false), 0.5);
    EXPECT_EQ(serialFromIsoText("1904-01-02", true), 1);
    EXPECT_FALSE(serialFromIsoText("1899-12-29", false));
    EXPECT_FALSE(serialFromIsoText("2024-13-01", false));
    EXPECT_FALSE(serialFromIsoText("yesterday", false));
}

TEST(NumberFormats, TellDatesFromNumbers) {
    EXPECT_TRUE(isDateFormatId(14));
    EXPECT_TRUE(isDateFormatId(22));
    EXPECT_FALSE(isDateFormatId(4));
    EXPECT_TRUE(isDateFormatCode("yyyy\"년\" m\"월\" d\"일\""));
    EXPECT_TRUE(isDateFormatCode("[h]:mm"));
    EXPECT_TRUE(isDateFormatCode("[$-412]yyyy-mm-dd"));
    EXPECT_FALSE(isDateFormatCode("#,##0\"원\""));
    EXPECT_FALSE(isDateFormatCode("[Red]0.00"));
    EXPECT_FALSE(isDateFormatCode("0.00\\h"));
    EXPECT_EQ(builtinNumberFormatCode(4), "#,##0.00");
}

TEST(Colors, TintsAndPalette) {
    EXPECT_EQ(applyTint(0xFFFFFF, -0.0499893185216834), Rgb{0xF2F2F2});
    EXPECT_EQ(applyTint(0x000000, 0.499984740745262), Rgb{0x7F7F7F});
    EXPECT_EQ(applyTint(0x4472C4, 0.7999816888943144), Rgb{0xD9E1F2});
    EXPECT_EQ(applyTint(0xFFFFFF, -0.14999847407452621), Rgb{0xD9D9D9});
    EXPECT_EQ(applyTint(0xED7D31, -0.249977111117893), Rgb{0xC65911});
    EXPECT_EQ(applyTint(0x123456, 0), Rgb{0x123456});
    EXPECT_EQ(standardIndexedColor(10), Rgb{0xFF0000});
    EXPECT_EQ(standardIndexedColor(44), Rgb{0x99CCFF});
    EXPECT_EQ(standardIndexedColor(64), std::nullopt);
}

} // namespace
} // namespace sheet
