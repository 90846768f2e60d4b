#include "viewer/number_format.h"

#include <gtest/gtest.h>
#include <ostream>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QString shown(double value, const QString& code, bool date1904 = false) {
    return viewer::formatValue(sheet::CellValue::Number(value), code, date1904).text;
}

QString shownText(const std::string& text, const QString& code) {
    return viewer::formatValue(sheet::CellValue::Text(text), code).text;
}

// 2024-03-02 in the 1900 date system, and 09:05:03 as a fraction of a day.
constexpr double kMarch2nd2024 = 45353;
constexpr double kFiveAfterNine = (9 * 3600 + 5 * 60 + 3) / 86400.0;

TEST(NumberFormatTest, GeneralKeepsElevenCharacters) {
    EXPECT_EQ(shown(1234.5, "General"), "1234.5");
    EXPECT_EQ(shown(-5, "General"), "-5");
    EXPECT_EQ(shown(0, "General"), "0");
    EXPECT_EQ(shown(1.0 / 3, "General"), "0.333333333");
    EXPECT_EQ(shown(0.1 + 0.2, "General"), "0.3");
    EXPECT_EQ(shown(12345678901.0, "General"), "12345678901");
    EXPECT_EQ(shown(123456789012.0, "General"), "1.23457E+11");
    EXPECT_EQ(shown(0.0000000000123, "General"), "1.23E-11");
    EXPECT_EQ(viewer::formatGeneral(1234.5678, 6), "1234.6");
}

TEST(NumberFormatTest, IntegerThousandsAndFixedDecimals) {
    EXPECT_EQ(shown(2.5, "0"), "3");
    EXPECT_EQ(shown(-2.5, "0"), "-3");
    EXPECT_EQ(shown(1234567, "#,##0"), "1,234,567");
    EXPECT_EQ(shown(-1234, "#,##0"), "-1,234");
    EXPECT_EQ(shown(0, "#,##0"), "0");
    EXPECT_EQ(shown(999.5, "#,##0"), "1,000");
    EXPECT_EQ(shown(12, "#,##0"), "12");
    // Rounded on the decimal digits the user typed, not on the binary value below 2.675.
    EXPECT_EQ(shown(2.675, "0.00"), "2.68");
    EXPECT_EQ(shown(1, "0.00"), "1.00");
    EXPECT_EQ(shown(1234.5, "#,##0.00"), "1,234.50");
    EXPECT_EQ(shown(0.5, "#.00"), ".50");
    EXPECT_EQ(shown(1.5, "0.0#"), "1.5");
    EXPECT_EQ(shown(1.25, "0.0#"), "1.25");
    EXPECT_EQ(shown(7, "000"), "007");
    EXPECT_EQ(shown(1234567, "000-0000"), "123-4567");
    EXPECT_EQ(shown(1234567, "#,##0,"), "1,235");
    EXPECT_EQ(shown(1234567, "0.0,,\"M\""), "1.2M");
}

TEST(NumberFormatTest, PercentScientificAndFractions) {
    EXPECT_EQ(shown(0.256, "0%"), "26%");
    EXPECT_EQ(shown(0.12345, "0.00%"), "12.35%");
    EXPECT_EQ(shown(12345, "0.00E+00"), "1.23E+04");
    EXPECT_EQ(shown(0.00012, "0.00E+00"), "1.20E-04");
    EXPECT_EQ(shown(99999, "0.0E+00"), "1.0E+05");
    EXPECT_EQ(shown(12345, "##0.0E+0"), "12.3E+3");
    EXPECT_EQ(shown(3.25, "# ?/?"), "3 1/4");
    EXPECT_EQ(shown(1.5, "# ?/?"), "1 1/2");
    EXPECT_EQ(shown(0.3333, "# ??/??").trimmed(), "1/3");
    EXPECT_EQ(shown(2, "# ?/?").trimmed(), "2");
    EXPECT_EQ(shown(0.375, "?/8"), "3/8");
}

TEST(NumberFormatTest, SectionsColoursConditionsAndLiterals) {
    EXPECT_EQ(shown(-1234, "#,##0 ;(#,##0)"), "(1,234)");
    EXPECT_EQ(shown(1234, "#,##0 ;(#,##0)"), "1,234 ");
    EXPECT_EQ(shown(0, "0;-0;\"-\""), "-");
    EXPECT_EQ(shown(5, "#,##0.00_);(#,##0.00)"), "5.00 ");
    const viewer::FormattedValue red =
        viewer::formatValue(sheet::CellValue::Number(-3), "#,##0;[Red]-#,##0");
    EXPECT_EQ(red.text, "-3");
    ASSERT_TRUE(red.color.has_value());
    EXPECT_EQ(*red.color, 0xFF0000u);
    EXPECT_FALSE(viewer::formatValue(sheet::CellValue::Number(3), "#,##0;[Red]-#,##0").color);
    EXPECT_EQ(shown(150, "[>=100]\"큼\";\"작음\""), "큼");
    EXPECT_EQ(shown(5, "[>=100]\"큼\";\"작음\""), "작음");
    EXPECT_EQ(shown(1500, "#,##0\"원\""), "1,500원");
    EXPECT_EQ(shown(1500, "[$₩-412]#,##0"), "₩1,500");
}

TEST(NumberFormatTest, DatesAndTimes) {
    EXPECT_EQ(shown(kMarch2nd2024, "yyyy-mm-dd"), "2024-03-02");
    EXPECT_EQ(shown(kMarch2nd2024, "yyyy\"년\" m\"월\" d\"일\""), "2024년 3월 2일");
    EXPECT_EQ(shown(kMarch2nd2024, "mmm d, yyyy"), "Mar 2, 2024");
    EXPECT_EQ(shown(kMarch2nd2024, "dddd"), "Saturday");
    EXPECT_EQ(shown(kMarch2nd2024, "aaaa"), "토요일");
    EXPECT_EQ(shown(kMarch2nd2024, "yy/m/d"), "24/3/2");
    EXPECT_EQ(shown(kMarch2nd2024 + kFiveAfterNine, "yyyy-mm-dd hh:mm:ss"), "2024-03-02 09:05:03");
    EXPECT_EQ(shown(kFiveAfterNine, "h:mm AM/PM"), "9:05 AM");
    EXPECT_EQ(shown(kFiveAfterNine + 0.5, "h:mm:ss AM/PM"), "9:05:03 PM");
    EXPECT_EQ(shown(1.5, "[h]:mm"), "36:00");
    EXPECT_EQ(shown(1.0 / 86400 * 61.25, "mm:ss.00"), "01:01.25");
    // The 1900 system's phantom leap day and its first day.
    EXPECT_EQ(shown(60, "yyyy-mm-dd"), "1900-02-29");
    EXPECT_EQ(shown(61, "yyyy-mm-dd"), "1900-03-01");
    EXPECT_EQ(shown(1, "yyyy-mm-dd"), "1900-01-01");
    EXPECT_EQ(shown(0, "yyyy-mm-dd", true), "1904-01-01");
    EXPECT_TRUE(viewer::formatValue(sheet::CellValue::Number(-1), "yyyy-mm-dd").unrepresentable);
}

TEST(NumberFormatTest, TextBooleansAndErrors) {
    EXPECT_EQ(shownText("abc", "@"), "abc");
    EXPECT_EQ(shownText("abc", "0.00"), "abc");
    EXPECT_EQ(shownText("abc", "0;-0;0;\"[\"@\"]\""), "[abc]");
    EXPECT_EQ(shown(12.5, "@"), "12.5");
    EXPECT_EQ(viewer::formatValue(sheet::CellValue::Boolean(true), "General").text, "TRUE");
    EXPECT_EQ(viewer::formatValue(sheet::CellValue::Error("#DIV/0!"), "0.00").text, "#DIV/0!");
    EXPECT_TRUE(viewer::formatValue(sheet::CellValue{}, "0.00").text.isEmpty());
}

TEST(NumberFormatTest, StyleCodesFollowTheKoreanLocale) {
    sheet::Style style;
    EXPECT_EQ(viewer::numberFormatCode(style), "General");
    style.numberFormatId = 3;
    EXPECT_EQ(viewer::numberFormatCode(style), "#,##0");
    style.numberFormatId = 14;
    EXPECT_EQ(viewer::numberFormatCode(style), "yyyy-mm-dd");
    style.numberFormatId = 49;
    EXPECT_EQ(viewer::numberFormatCode(style), "@");
    style.numberFormatId = 6;
    EXPECT_EQ(shown(-1500, viewer::numberFormatCode(style)), "₩-1,500");
    style.numberFormatId = 170;
    style.numberFormatCode = "0.000";
    EXPECT_EQ(viewer::numberFormatCode(style), "0.000");
}

} // namespace
