// .xls files built record by record: text across CONTINUE records, rich text, formulas and
// their cached results, older versions and code pages, and files that must be refused.
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "sheet/xls_cells.h"
#include "sheet/xls_reader.h"
#include "support/workbook_parts.h"
#include "support/workbook_printing.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::compoundFile;
using test_support::putLittleEndian16;
using test_support::putLittleEndian32;
using test_support::putLittleEndianDouble;
using test_support::xlsRecord;
using test_support::xlsStream;
using test_support::XlsSubstream;
using test_support::xlsWideText;

std::string u16(unsigned value) {
    std::string out;
    putLittleEndian16(out, value);
    return out;
}
std::string u32(unsigned value) {
    std::string out;
    putLittleEndian32(out, value);
    return out;
}
std::string f64(double value) {
    std::string out;
    putLittleEndianDouble(out, value);
    return out;
}
std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

std::string cellHead(unsigned row, unsigned column, unsigned xf = 15) {
    return u16(row) + u16(column) + u16(xf);
}

// FONT: size in points, bold, colour index; the name in 8-bit characters.
std::string font(double size, bool bold, unsigned colour, const std::string& name = "Arial") {
    return xlsRecord(0x0031, u16(static_cast<unsigned>(size * 20)) + u16(0) + u16(colour) +
                                 u16(bold ? 700 : 400) + u16(0) + bytes({0, 0, 0, 0}) +
                                 bytes({static_cast<int>(name.size()), 0}) + name);
}

// A cell XF with the given font and number format and nothing else.
std::string cellXf(unsigned fontIndex, unsigned format, unsigned border1 = 0, unsigned border2 = 0,
                   unsigned colours = 0x20C0) {
    return xlsRecord(0x00E0, u16(fontIndex) + u16(format) + u16(0x0001) + bytes({0x20, 0, 0, 0}) +
                                 u32(border1) + u32(border2) + u16(colours));
}

// Five fonts (the fourth index is never used) and sixteen cell XFs, XF 15 the default.
std::string basicStyles() {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += font(10, false, 0x7FFF);
    out += font(12, true, 10); // index 5: bold, palette red
    for (int i = 0; i < 16; ++i)
        out += cellXf(0, 0);
    return out;
}

std::string formula(unsigned row, unsigned column, const std::string& result,
                    const std::string& tokens, unsigned xf = 15) {
    return xlsRecord(0x0006, cellHead(row, column, xf) + result + u16(0) + u32(0) +
                                 u16(static_cast<unsigned>(tokens.size())) + tokens);
}

std::string specialResult(int kind, int value = 0) {
    return bytes({kind, 0, value, 0, 0, 0, 0xFF, 0xFF});
}

std::unique_ptr<Workbook> readFile(const std::string& fileBytes, const std::string& name) {
    test_support::TempFolder folder;
    const std::string path = folder.file(name);
    test_support::writeBytes(path, fileBytes);
    return readWorkbook(path);
}

std::unique_ptr<Workbook> readStream(const std::string& stream) {
    return readFile(compoundFile(stream), "test.xls");
}

// The message of the refusal, or "" when the file was read.
std::string refusalOf(const std::string& fileBytes) {
    try {
        readFile(fileBytes, "bad.xls");
    } catch (const FileError& error) {
        return error.what();
    }
    return {};
}

bool mentions(const std::string& message, const char* text) {
    return message.find(text) != std::string::npos;
}

TEST(XlsRecords, SharedStringsAcrossContinueRecordsAndRichRuns) {
    // "abcdef" begins in 8-bit characters; its CONTINUE record goes on in 16-bit ones. The
    // second string switches to the bold font after two characters.
    std::string sst = u32(2) + u32(2) + u16(6) + bytes({0}) + "abc";
    std::string continued = bytes({1}) + std::string("d\0e\0f\0", 6);
    continued +=
        u16(4) + bytes({0x09}) + u16(2) + std::string("\x70\xAC\x00\xAD\xF4\xBC\xB5\xD1", 8);
    continued += u16(2) + u16(5) + u16(3) + u16(0);
    const std::string globals =
        basicStyles() + xlsRecord(0x00FC, sst) + xlsRecord(0x003C, continued);
    const std::string cells =
        xlsRecord(0x00FD, cellHead(0, 0) + u32(0)) + xlsRecord(0x00FD, cellHead(1, 0) + u32(1));
    const auto book = readStream(xlsStream(globals, {{"S", cells}}));
    const Worksheet& sheet = *book->sheets[0];
    EXPECT_EQ(sheet.cell(1, 1)->value, CellValue::Text("abcdef"));
    EXPECT_FALSE(sheet.cell(1, 1)->richText);
    const Cell& rich = *sheet.cell(2, 1);
    EXPECT_EQ(rich.value, CellValue::Text("거관보통"));
    ASSERT_TRUE(rich.richText);
    ASSERT_EQ(rich.richText->size(), 3u);
    EXPECT_EQ((*rich.richText)[0].text, "거관");
    EXPECT_FALSE((*rich.richText)[0].font);
    EXPECT_EQ((*rich.richText)[1].text, "보");
    ASSERT_TRUE((*rich.richText)[1].font);
    EXPECT_TRUE((*rich.richText)[1].font->bold);
    EXPECT_EQ((*rich.richText)[1].font->color, Rgb{0xFF0000});
    EXPECT_EQ((*rich.richText)[2].text, "통");
    EXPECT_FALSE((*rich.richText)[2].font->bold);
}

TEST(XlsRecords, NumbersBooleansErrorsAndStyledBlanks) {
    // XF 16 has a thin bottom border: its empty cells are kept, the default ones are not.
    const std::string globals = basicStyles() + cellXf(0, 3, 0x1000, 8 << 7);
    std::string cells;
    cells += xlsRecord(0x0203, cellHead(0, 0) + f64(-0.125));
    cells += xlsRecord(0x027E, cellHead(0, 1) + u32(12345 << 2 | 0x3)); // 123.45
    cells += xlsRecord(0x00BD, u16(1) + u16(2) + u16(15) + u32(0x3FF00000) + u16(16) +
                                   u32(static_cast<unsigned>(-7) << 2 | 0x2) + u16(3));
    cells += xlsRecord(0x0205, cellHead(2, 0) + bytes({1, 0}));
    cells += xlsRecord(0x0205, cellHead(2, 1) + bytes({0x07, 1}));
    cells += xlsRecord(0x0201, cellHead(3, 0, 16));
    cells += xlsRecord(0x0201, cellHead(3, 1, 15));
    cells += xlsRecord(0x00BE, u16(4) + u16(0) + u16(15) + u16(16) + u16(1));
    cells += xlsRecord(0x0204, cellHead(5, 0) + xlsWideText("글자"));
    const auto book = readStream(xlsStream(globals, {{"S", cells}}));
    const Worksheet& sheet = *book->sheets[0];
    EXPECT_EQ(sheet.cell(1, 1)->value, CellValue::Number(-0.125));
    EXPECT_DOUBLE_EQ(sheet.cell(1, 2)->value.number, 123.45);
    EXPECT_EQ(sheet.cell(2, 3)->value, CellValue::Number(1));
    EXPECT_EQ(sheet.cell(2, 4)->value, CellValue::Number(-7));
    EXPECT_EQ(book->styles.at(sheet.cell(2, 4)->style).numberFormatId, 3);
    EXPECT_EQ(sheet.cell(3, 1)->value, CellValue::Boolean(true));
    EXPECT_EQ(sheet.cell(3, 2)->value, CellValue::Error("#DIV/0!"));
    ASSERT_TRUE(sheet.cell(4, 1));
    EXPECT_TRUE(sheet.cell(4, 1)->value.empty());
    EXPECT_EQ(book->styles.at(sheet.cell(4, 1)->style).border.bottom,
              (BorderSide{"thin", Rgb{0x000000}}));
    EXPECT_FALSE(sheet.cell(4, 2));
    EXPECT_FALSE(sheet.cell(5, 1));
    EXPECT_TRUE(sheet.cell(5, 2));
    EXPECT_EQ(sheet.cell(6, 1)->value, CellValue::Text("글자"));
}

TEST(XlsRecords, FormulaTextsAndCachedResults) {
    const std::string globals = basicStyles() + xlsRecord(0x01AE, u16(2) + u16(0x0401)) +
                                xlsRecord(0x0017, u16(1) + u16(0) + u16(1) + u16(1));
    // SUM(A1:B2)*2
    const std::string sum = bytes({0x25}) + u16(0) + u16(1) + u16(0xC000) + u16(0xC001) +
                            bytes({0x42, 1}) + u16(4) + bytes({0x1E}) + u16(2) + bytes({0x05});
    // '다른 표'!$B$3+1
    const std::string other =
        bytes({0x3A}) + u16(0) + u16(2) + u16(1) + bytes({0x1E}) + u16(1) + bytes({0x03});
    // IF(A1>0,"양수","음수")
    const std::string condition = bytes({0x44}) + u16(0) + u16(0xC000) + bytes({0x1E}) + u16(0) +
                                  bytes({0x0D}) + bytes({0x17, 2, 1}) +
                                  std::string("\x91\xC5\x18\xC2", 4) + bytes({0x17, 2, 1}) +
                                  std::string("\x4C\xC7\x18\xC2", 4) + bytes({0x42, 3}) + u16(1);
    // An array constant, which the reader does not render.
    const std::string array = bytes({0x40, 0, 0, 0, 0, 0, 0, 0});
    // The first cell of a shared formula, and the formula itself: the cell to the left * 10.
    const std::string shared = bytes({0x01}) + u16(5) + u16(1);
    const std::string sharedTokens =
        bytes({0x2C}) + u16(0) + u16(0xC0FF) + bytes({0x1E}) + u16(10) + bytes({0x05});

    std::string cells;
    cells += formula(0, 2, f64(20), sum);
    cells += formula(1, 2, f64(8), other);
    cells += formula(2, 2, specialResult(0), condition);
    cells += xlsRecord(0x0207, xlsWideText("양수"));
    cells += formula(3, 2, specialResult(1, 1), bytes({0x1D, 1}));
    cells += formula(4, 2, specialResult(2, 0x2A), array);
    cells += formula(5, 1, f64(30), shared);
    cells += xlsRecord(0x04BC, u16(5) + u16(6) + bytes({1, 1, 0, 2}) +
                                   u16(static_cast<unsigned>(sharedTokens.size())) + sharedTokens);
    cells += formula(6, 1, f64(40), shared);
    cells += formula(7, 2, specialResult(3), bytes({0x17, 0, 0}));
    const auto book = readStream(xlsStream(globals, {{"S", cells}, {"다른 표", ""}}));
    const Worksheet& sheet = *book->sheets[0];
    EXPECT_EQ(sheet.cell(1, 3)->formula, "SUM(A1:B2)*2");
    EXPECT_EQ(sheet.cell(1, 3)->value, CellValue::Number(20));
    EXPECT_EQ(sheet.cell(2, 3)->formula, "'다른 표'!$B$3+1");
    EXPECT_EQ(sheet.cell(3, 3)->formula, "IF(A1>0,\"양수\",\"음수\")");
    EXPECT_EQ(sheet.cell(3, 3)->value, CellValue::Text("양수"));
    EXPECT_EQ(sheet.cell(4, 3)->formula, "TRUE");
    EXPECT_EQ(sheet.cell(4, 3)->value, CellValue::Boolean(true));
    EXPECT_EQ(sheet.cell(5, 3)->formula, "");
    EXPECT_EQ(sheet.cell(5, 3)->value, CellValue::Error("#N/A"));
    EXPECT_EQ(sheet.cell(6, 2)->formula, "A6*10");
    EXPECT_EQ(sheet.cell(7, 2)->formula, "A7*10");
    EXPECT_EQ(sheet.cell(7, 2)->value, CellValue::Number(40));
    EXPECT_EQ(sheet.cell(8, 3)->value, CellValue::Text(""));
}

TEST(XlsRecords, SheetListKeepsWorksheetsOnlyWithTheirVisibility) {
    const std::string globals =
        basicStyles() + xlsRecord(0x003D, std::string(10, '\0') + u16(2) + std::string(6, '\0'));
    std::vector<XlsSubstream> sheets = {{"표지", xlsRecord(0x0203, cellHead(0, 0) + f64(1))},
                                        {"차트", "", 2, 0x0020},
                                        {"자료", xlsRecord(0x0203, cellHead(0, 0) + f64(2))},
                                        {"숨김", "", 0, 0x0010, 1}};
    const auto book = readStream(xlsStream(globals, sheets));
    ASSERT_EQ(book->sheets.size(), 3u);
    EXPECT_EQ(book->sheets[1]->name, "자료");
    EXPECT_EQ(book->sheets[1]->cell(1, 1)->value, CellValue::Number(2));
    EXPECT_TRUE(book->sheets[2]->hidden);
    EXPECT_EQ(book->activeSheet, 1); // the third sheet of the file, the second worksheet
}

TEST(XlsRecords, OlderFilesInTheirCodePageAndTheOldestRefused) {
    // BIFF5 in a stream named in capitals, text in code page 949, a font and a number format.
    std::string globals = xlsRecord(0x0042, u16(949));
    const std::string gulim("\xB1\xBC\xB8\xB2", 4);
    globals += xlsRecord(0x0031, u16(220) + u16(0) + u16(0x7FFF) + u16(700) + u16(0) +
                                     bytes({0, 0, 0, 0, 4}) + gulim);
    globals += xlsRecord(0x041E, u16(164) + bytes({6}) + "0.0\"%\"");
    for (int i = 0; i < 17; ++i)
        globals += xlsRecord(0x00E0, u16(0) + u16(i == 16 ? 164 : 0) + u16(1) + bytes({0x20, 0}) +
                                         u32(0) + u32(0));
    const std::string label =
        xlsRecord(0x0204, cellHead(0, 0) + u16(4) + std::string("\xC7\xD0\xB1\xB3", 4)) +
        xlsRecord(0x0203, cellHead(0, 1, 16) + f64(0.5));
    const std::string stream =
        xlsStream(globals, {{std::string("\xC0\xDA\xB7\xE1", 4), label}}, false);
    const auto book = readFile(compoundFile(stream, u"BOOK"), "old.xls");
    ASSERT_EQ(book->sheets.size(), 1u);
    EXPECT_EQ(book->sheets[0]->name, "자료");
    EXPECT_EQ(book->sheets[0]->cell(1, 1)->value, CellValue::Text("학교"));
    const Style& style = book->styles.at(book->sheets[0]->cell(1, 2)->style);
    EXPECT_EQ(style.numberFormatCode, "0.0\"%\"");
    EXPECT_EQ(style.font.name, "굴림");
    EXPECT_EQ(style.font.size, 11);
    EXPECT_TRUE(style.font.bold);

    const std::string biff4 = bytes({0x09, 0x04, 6, 0, 0, 0, 0x10, 0, 0, 0});
    EXPECT_TRUE(mentions(refusalOf(biff4), io_messages::kXlsTooOld));
    std::string biff4Book = xlsRecord(0x0409, u16(0) + u16(0x0100) + u16(0));
    biff4Book += std::string(4200, '\0');
    EXPECT_TRUE(mentions(refusalOf(compoundFile(biff4Book, u"Book")), io_messages::kXlsTooOld));
}

TEST(XlsRecords, EncryptedAndDamagedStreamsAreRefusedWithTheirMessages) {
    const std::string sheet = xlsRecord(0x0203, cellHead(0, 0) + f64(1));
    const std::string encrypted =
        compoundFile(xlsStream(xlsRecord(0x002F, u16(0) + std::string(4, '\0')), {{"S", sheet}}));
    EXPECT_TRUE(mentions(refusalOf(encrypted), io_messages::kEncrypted));

    // The sheet's EOF is missing: the stream ends inside the sheet.
    std::string cut = xlsStream("", {{"S", sheet}});
    cut.resize(cut.size() - 4);
    const std::string message = refusalOf(compoundFile(cut));
    EXPECT_TRUE(mentions(message, io_messages::kCorruptZip)) << message;
    EXPECT_TRUE(mentions(message, "bad.xls"));

    // A record claiming more bytes than the stream holds.
    const std::string overlong = xlsStream("", {{"S", sheet + u16(0x0203) + u16(0xFFF0) + "12"}});
    EXPECT_TRUE(mentions(refusalOf(compoundFile(overlong)), io_messages::kCorruptZip));

    // A sheet whose BOF is not where the sheet list says.
    std::string moved = xlsStream("", {{"S", sheet}});
    const auto boundSheet = moved.find(std::string("\x85\x00", 2));
    moved[boundSheet + 4] = 0x01;
    EXPECT_TRUE(mentions(refusalOf(compoundFile(moved)), io_messages::kCorruptZip));
}

TEST(XlsRecords, AbsurdCountsAndSizesCostNoMemory) {
    // A shared-string table that claims four billion strings holds one.
    const std::string sst = u32(0xFFFFFFFF) + u32(0xFFFFFFFF) + u16(1) + bytes({0}) + "x";
    std::string cells = xlsRecord(0x0200, u32(0) + u32(65536) + u16(0) + u16(256) + u16(0));
    cells += xlsRecord(0x00FD, cellHead(0, 0) + u32(0));
    cells += xlsRecord(0x0203, cellHead(65535, 255) + f64(2));
    const auto book = readStream(xlsStream(xlsRecord(0x00FC, sst), {{"S", cells}}));
    const Worksheet& sheet = *book->sheets[0];
    EXPECT_EQ(sheet.rows().size(), 2u);
    EXPECT_EQ(sheet.lastRow(), 65536);
    EXPECT_EQ(sheet.lastColumn(), 256);
    EXPECT_EQ(sheet.cell(1, 1)->value, CellValue::Text("x"));

    const std::string beyond = xlsRecord(0x00FD, cellHead(0, 0) + u32(7));
    EXPECT_TRUE(
        mentions(refusalOf(compoundFile(xlsStream(xlsRecord(0x00FC, sst), {{"S", beyond}}))),
                 io_messages::kTooManyStrings));
}

TEST(XlsRecords, SectorChainLoopIsDamageNotAHang) {
    std::string file =
        compoundFile(xlsStream("", {{"S", xlsRecord(0x0203, cellHead(0, 0) + f64(1))}}));
    // The FAT is sector 0 (file offset 512); the stream's sectors start at 2. Point the
    // fourth of them back at the first.
    const std::size_t entry = 512 + 4 * 5;
    file.replace(entry, 4, u32(2));
    const std::string message = refusalOf(file);
    EXPECT_TRUE(mentions(message, io_messages::kCorruptZip)) << message;
}

TEST(XlsRecords, RkValuesUnpackAsStored) {
    EXPECT_EQ(xls::numberOfRk(0x3FF00000), 1.0);          // the top of a double
    EXPECT_EQ(xls::numberOfRk(0x3FF00001), 0.01);         // ... divided by 100
    EXPECT_EQ(xls::numberOfRk(100 << 2 | 0x2), 100.0);    // an integer
    EXPECT_EQ(xls::numberOfRk(12345 << 2 | 0x3), 123.45); // ... divided by 100
    EXPECT_EQ(xls::numberOfRk(static_cast<std::uint32_t>(-5 << 2) | 0x2), -5.0);
}

} // namespace
} // namespace sheet
