// Column names, letters and digits of cell parts, and the splitting of range texts.
#include "engine/cell_reference.h"

#include <gtest/gtest.h>

namespace {

using namespace engine;

TEST(ColumnNamesTable, HoldsAToIvBetweenTwoEmptyEntries) {
    ASSERT_EQ(ColumnNames::table().size(), 258);
    const std::pair<int, const char*> expected[] = {
        {1, "A"},    {26, "Z"},   {27, "AA"},  {52, "AZ"}, {53, "BA"},
        {234, "HZ"}, {235, "IA"}, {256, "IV"}, {0, ""},    {257, ""}};
    for (const auto& [index, letters] : expected)
        EXPECT_EQ(ColumnNames::at(index), QLatin1String(letters)) << index;
    EXPECT_TRUE(ColumnNames::at(-1).isEmpty());
    EXPECT_TRUE(ColumnNames::at(258).isEmpty());
    for (int i = 1; i <= 256; ++i)
        EXPECT_EQ(ColumnNames::at(i), ColumnNames::at(i).toUpper()) << i;
}

TEST(ColumnIndex, FindsColumnsInAnyCaseAnd257ForTheRest) {
    EXPECT_EQ(ColumnIndexOf(QStringLiteral("A")), 1);
    EXPECT_EQ(ColumnIndexOf(QStringLiteral("iv")), 256);
    EXPECT_EQ(ColumnIndexOf(QStringLiteral("Ab")), 28);
    EXPECT_EQ(ColumnIndexOf(QStringLiteral("IW")), 257);
    EXPECT_EQ(ColumnIndexOf(QStringLiteral("A1")), 257);
    EXPECT_EQ(ColumnIndexOf(QString()), 257);
    EXPECT_EQ(ColumnIndexOf(QStringLiteral("AAA")), 257);
    // Every name finds its own number again.
    for (int i = 1; i <= 256; ++i)
        EXPECT_EQ(ColumnIndexOf(ColumnNames::at(i)), i) << i;
}

TEST(CellPartPieces, DigitsAndLettersKeepTheirOrderAndCase) {
    const struct {
        const char16_t* part;
        const char16_t* digits;
        const char16_t* letters;
    } cases[] = {
        {u"A7", u"7", u"A"},   {u"AB12", u"12", u"AB"}, {u"7", u"7", u""},     {u"a7", u"7", u"a"},
        {u"$B$3", u"3", u"B"}, {u"A1B2", u"12", u"AB"}, {u"1.5", u"1.5", u""}, {u"", u"", u""},
        {u"-C 4", u"4", u"C"}, {u"가A나1", u"1", u"A"},
    };
    for (const auto& c : cases) {
        const QString part = QString::fromUtf16(c.part);
        EXPECT_EQ(fGetNum(part), QString::fromUtf16(c.digits)) << part.toStdString();
        EXPECT_EQ(fGetchar(part), QString::fromUtf16(c.letters)) << part.toStdString();
    }
}

TEST(CellPartRead, ReadsRowAndLettersOrFails) {
    const CellPart p10 = CellPart::read(QStringLiteral("P10"));
    EXPECT_EQ(p10.row, 10);
    EXPECT_EQ(p10.letters, QStringLiteral("P"));
    EXPECT_EQ(rowNumberOf(QStringLiteral("$b$65536")), 65536);
    EXPECT_EQ(rowNumberOf(QStringLiteral("A1048576")), 1048576);

    // Rows past the sheet's last one are no rows: arithmetic on them could overflow.
    for (const char* bad :
         {"", "A", "1.5", "A.", "A1048577", "A2147483647", "A2147483648", "A99999999999999999999"})
        EXPECT_THROW(rowNumberOf(QLatin1String(bad)), ConversionError) << bad;
    EXPECT_THROW(CellPart::read(QString()), ConversionError);
}

TEST(RangeTextSplit, SplitsAtTheFirstColon) {
    const struct {
        const char* text;
        const char* first;
        const char* last;
    } cases[] = {
        {"A7:P10", "A7", "P10"},     {"A7", "", "A7"}, {"A1:", "A1", ""}, {"A7:ALL", "A7", "ALL"},
        {"A1:B2:C3", "A1", "B2:C3"}, {"", "", ""},     {":P6", "", "P6"},
    };
    for (const auto& c : cases) {
        const RangeText range = RangeText::split(QLatin1String(c.text));
        EXPECT_EQ(range.first, QLatin1String(c.first)) << c.text;
        EXPECT_EQ(range.last, QLatin1String(c.last)) << c.text;
    }
    // The title field's starting text cannot be read until the user completes it.
    EXPECT_THROW(rowNumberOf(RangeText::split(QStringLiteral("A1:")).last), ConversionError);
    EXPECT_THROW(rowNumberOf(RangeText::split(QStringLiteral("A7")).first), ConversionError);
}

} // namespace
