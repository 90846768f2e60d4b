// Every damaged or hostile file gives one FileError naming the file, never a crash or hang.
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "sheet/xlsx_reader.h"
#include "support/workbook_parts.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace sheet {
namespace {

using test_support::minimalWorkbook;
using test_support::PackageParts;
using test_support::readBytes;
using test_support::TempFolder;
using test_support::worksheetXml;
using test_support::writeBytes;
using test_support::writeZip;

// The message of the FileError reading `path` throws; fails the test when none is thrown.
std::string readError(const std::string& path, const ReadLimits& limits = {}) {
    try {
        if (limits.maxPartBytes == ReadLimits{}.maxPartBytes &&
            limits.maxTotalBytes == ReadLimits{}.maxTotalBytes)
            readWorkbook(path);
        else
            readXlsx(path, limits);
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        return error.what();
    }
    ADD_FAILURE() << "no error reading " << path;
    return {};
}

bool mentions(const std::string& message, const char* text) {
    return message.find(text) != std::string::npos;
}

class XlsxBadInput : public ::testing::Test {
protected:
    std::string withParts(const PackageParts& parts) {
        const std::string path = folder_.file("bad.xlsx");
        writeZip(path, parts);
        return path;
    }
    std::string withSheet(const std::string& sheetXml) {
        PackageParts parts = minimalWorkbook({"Sheet1"}, {});
        parts["xl/worksheets/sheet1.xml"] = sheetXml;
        return withParts(parts);
    }
    std::string validFile() {
        std::string rows;
        for (int row = 1; row <= 200; ++row)
            rows += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) +
                    "\" t=\"inlineStr\"><is><t>행 " + std::to_string(row * 7919) +
                    "</t></is></c></row>";
        return withParts(minimalWorkbook({"Sheet1"}, {rows}));
    }

    TempFolder folder_;
};

TEST_F(XlsxBadInput, FilesThatAreNoWorkbook) {
    const std::string text = folder_.file("text.xlsx");
    writeBytes(text, "이것은 통합 문서가 아닙니다");
    EXPECT_TRUE(mentions(readError(text), io_messages::kNotWorkbook));

    const std::string empty = folder_.file("empty.xlsx");
    writeBytes(empty, "");
    EXPECT_TRUE(mentions(readError(empty), io_messages::kNotWorkbook));

    EXPECT_TRUE(mentions(readError(folder_.file("missing.xlsx")), io_messages::kCannotOpen));
}

TEST_F(XlsxBadInput, TruncatedAndCorruptZips) {
    const std::string bytes = readBytes(validFile());
    for (size_t length : {bytes.size() / 2, bytes.size() - 10, size_t{30}}) {
        const std::string path = folder_.file("cut" + std::to_string(length) + ".xlsx");
        writeBytes(path, bytes.substr(0, length));
        readError(path);
    }
    // Damage the compressed data of the parts (the central directory at the end stays whole).
    std::string damaged = bytes;
    for (size_t i = 200; i < damaged.size() / 2; i += 97)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    const std::string path = folder_.file("damaged.xlsx");
    writeBytes(path, damaged);
    readError(path);
}

// Small files are opened from memory, large ones part by part from the file: both ways read
// the same workbook and fail with the same message.
TEST_F(XlsxBadInput, FilesReadWholeOrPartByPartAlike) {
    ReadLimits partByPart;
    partByPart.wholeFileBytes = 0;
    const std::string valid = validFile();
    const std::unique_ptr<Workbook> whole = readXlsx(valid);
    const std::unique_ptr<Workbook> byParts = readXlsx(valid, partByPart);
    ASSERT_EQ(whole->sheets.size(), 1u);
    ASSERT_EQ(byParts->sheets.size(), 1u);
    EXPECT_EQ(whole->sheets[0]->rows(), byParts->sheets[0]->rows());
    EXPECT_EQ(whole->sheets[0]->cell(200, 1)->value.text, "행 1583800");
    EXPECT_EQ(readWorkbook(valid)->sheets[0]->rows(), byParts->sheets[0]->rows());

    const auto messageOf = [](const std::string& path, const ReadLimits& limits) {
        try {
            readXlsx(path, limits);
        } catch (const FileError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    const std::string bytes = readBytes(valid);
    std::string damaged = bytes;
    for (size_t i = 200; i < damaged.size() / 2; i += 97)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    for (const std::string& content : {bytes.substr(0, bytes.size() - 10), damaged}) {
        const std::string path = folder_.file("bad" + std::to_string(content.size()) + ".xlsx");
        writeBytes(path, content);
        EXPECT_NE(messageOf(path, {}), "no error");
        EXPECT_EQ(messageOf(path, {}), messageOf(path, partByPart));
        EXPECT_EQ(readError(path), messageOf(path, partByPart)); // the bytes read once, by kind
    }
}

// Sets a 32-bit field of the local header and the directory record of `part` in a zip's bytes.
void setZipField(std::string& bytes, const std::string& part, std::size_t localOffset,
                 std::size_t directoryOffset, std::uint32_t value) {
    const auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    };
    for (std::size_t at = bytes.find(std::string("PK\x03\x04", 4)); at != std::string::npos;
         at = bytes.find(std::string("PK\x03\x04", 4), at + 4))
        if (bytes.compare(at + 30, part.size(), part) == 0)
            put(at + localOffset);
    for (std::size_t at = bytes.find(std::string("PK\x01\x02", 4)); at != std::string::npos;
         at = bytes.find(std::string("PK\x01\x02", 4), at + 4))
        if (bytes.compare(at + 46, part.size(), part) == 0)
            put(at + directoryOffset);
}

std::uint32_t zipField(const std::string& bytes, const std::string& part, std::size_t offset) {
    for (std::size_t record = bytes.find(std::string("PK\x01\x02", 4)); record != std::string::npos;
         record = bytes.find(std::string("PK\x01\x02", 4), record + 4)) {
        if (bytes.compare(record + 46, part.size(), part) != 0)
            continue;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | static_cast<unsigned char>(bytes[record + offset + i]);
        return value;
    }
    return 0;
}

// A part is inflated in one call when the file is held in memory and through the zip library's
// stream otherwise. A wrong CRC fails both ways alike; a wrong stated size, with data whose CRC
// holds, is read both ways alike.
TEST_F(XlsxBadInput, PartsWhoseStatedSizeOrChecksumLieFailAlikeEitherWay) {
    const std::string part = "xl/worksheets/sheet1.xml";
    const std::string bytes = readBytes(validFile());
    const std::uint32_t crc = zipField(bytes, part, 16);
    const std::uint32_t size = zipField(bytes, part, 24);
    ASSERT_GT(size, 1000u);

    ReadLimits partByPart;
    partByPart.wholeFileBytes = 0;
    const auto outcome = [](const std::string& path, const ReadLimits& limits) {
        try {
            return std::to_string(readXlsx(path, limits)->sheets[0]->rows().size()) + " rows";
        } catch (const FileError& error) {
            return std::string(error.what());
        }
    };
    struct Lie {
        std::size_t local, directory;
        std::uint32_t value;
        bool readable;
    };
    const Lie lies[] = {{14, 16, crc ^ 1, false},
                        {22, 24, size - 1, true},
                        {22, 24, size + 1, true},
                        {22, 24, size * 4000, true},
                        {22, 24, 0, true}};
    for (const Lie& lie : lies) {
        std::string lying = bytes;
        setZipField(lying, part, lie.local, lie.directory, lie.value);
        const std::string path = folder_.file("lie" + std::to_string(lie.value) + ".xlsx");
        writeBytes(path, lying);
        const std::string whole = outcome(path, {});
        EXPECT_EQ(whole, outcome(path, partByPart)) << lie.value;
        EXPECT_EQ(whole == "200 rows", lie.readable) << whole;
    }
}

// A part that states far more than it holds is given no memory for what it only states.
TEST_F(XlsxBadInput, APartStatingAHugeSizeIsGivenNoMemoryForIt) {
    const std::string part = "xl/worksheets/sheet1.xml";
    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 300000; ++i) {
        seed = seed * 1103515245 + 12345;
        noise += static_cast<char>('a' + (seed >> 16) % 26);
    }
    PackageParts parts =
        minimalWorkbook({"Sheet1"}, {"<row r=\"1\"><c r=\"A1\"><v>7</v></c></row>"});
    parts[part].insert(parts[part].rfind("</worksheet>"), "<!--" + noise + "-->");
    std::string bytes = readBytes(withParts(parts));
    const std::uint32_t stated = zipField(bytes, part, 20) * 1000; // within what deflate allows
    ASSERT_GT(stated, 100u << 20);
    setZipField(bytes, part, 22, 24, stated);
    const std::string path = folder_.file("stated.xlsx");
    writeBytes(path, bytes);

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto workbook = readWorkbook(path);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(workbook->sheets[0]->cell(1, 1)->value, CellValue::Number(7));
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kB more at the peak";
}

TEST_F(XlsxBadInput, MissingParts) {
    EXPECT_TRUE(mentions(readError(withParts({{"[Content_Types].xml", "<Types/>"}})),
                         io_messages::kMissingPart));

    PackageParts parts = minimalWorkbook({"Sheet1"}, {});
    parts.erase("xl/worksheets/sheet1.xml");
    const std::string message = readError(withParts(parts));
    EXPECT_TRUE(mentions(message, io_messages::kMissingPart));
    EXPECT_TRUE(mentions(message, "xl/worksheets/sheet1.xml"));

    PackageParts noSheets = minimalWorkbook({}, {});
    EXPECT_TRUE(mentions(readError(withParts(noSheets)), io_messages::kNoSheets));
}

TEST_F(XlsxBadInput, MalformedXml) {
    const std::string message = readError(withSheet(worksheetXml("<sheetData><row r=\"1\">")));
    EXPECT_TRUE(mentions(message, io_messages::kMalformedXml));
    EXPECT_TRUE(mentions(message, "sheet1.xml"));

    PackageParts parts = minimalWorkbook({"Sheet1"}, {});
    parts["xl/workbook.xml"] = "not xml at all";
    EXPECT_TRUE(mentions(readError(withParts(parts)), io_messages::kMalformedXml));
}

TEST_F(XlsxBadInput, XmlWithADoctypeOrEntities) {
    const std::string laughs =
        R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">)"
        R"(<!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">]>)"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>)";
    EXPECT_TRUE(mentions(readError(withSheet(laughs)), io_messages::kDoctype));

    const std::string external =
        R"(<?xml version="1.0"?><!DOCTYPE x [<!ENTITY xxe SYSTEM "file:///etc/passwd">]>)"
        R"(<worksheet><sheetData/></worksheet>)";
    EXPECT_TRUE(mentions(readError(withSheet(external)), io_messages::kDoctype));
}

TEST_F(XlsxBadInput, EncryptedWorkbooks) {
    // An encrypted workbook is a compound file holding an EncryptionInfo stream.
    std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    compound.resize(1024, '\0');
    for (char c : std::string("EncryptionInfo")) {
        compound += c;
        compound += '\0';
    }
    compound.resize(4096, '\0');
    const std::string path = folder_.file("암호.xlsx");
    writeBytes(path, compound);
    EXPECT_TRUE(mentions(readError(path), io_messages::kEncrypted));
}

TEST_F(XlsxBadInput, InflatedSizeBeyondTheCaps) {
    // A part of zeros compresses to almost nothing: the reader must stop at the cap.
    PackageParts parts = minimalWorkbook({"Sheet1", "Sheet2"}, {});
    parts["xl/worksheets/sheet1.xml"] =
        worksheetXml("<sheetData/>") + "<!--" + std::string(3 << 20, ' ') + "-->";
    const std::string path = withParts(parts);

    ReadLimits partCap;
    partCap.maxPartBytes = 1 << 20;
    EXPECT_TRUE(mentions(readError(path, partCap), io_messages::kPartTooLarge));

    ReadLimits totalCap;
    totalCap.maxTotalBytes = 2 << 20;
    EXPECT_TRUE(mentions(readError(path, totalCap), io_messages::kFileTooLarge));

    EXPECT_NO_THROW(readXlsx(path, ReadLimits{}));
}

TEST_F(XlsxBadInput, AbsurdReferencesAndDimensions) {
    const char* bodies[] = {
        R"(<sheetData><row r="1"><c r="XFE1"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="A1048577"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1048577"><c><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="-5"/></sheetData>)",
        R"(<sheetData><row r="1"><c r="A0"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="1"><c r="1A"><v>1</v></c></row></sheetData>)",
        R"(<sheetData><row r="2"><c r="A1"><v>1</v></c></row></sheetData>)",
        R"(<cols><col min="0" max="3" width="9"/></cols><sheetData/>)",
        R"(<cols><col min="9" max="3" width="9"/></cols><sheetData/>)",
        R"(<sheetData/><mergeCells><mergeCell ref="A1:ZZZZ99999999"/></mergeCells>)",
        R"(<sheetData><row r="1"><c r="A1" t="s"><v>5</v></c></row></sheetData>)",
        R"(<sheetData/><mergeCells><mergeCell ref="A1:XFD1048576"/></mergeCells>)",
        R"(<cols><col min="1" max="16384" hidden="1"/><col min="1" max="16384" hidden="1"/>)"
        R"(<col min="1" max="16384" hidden="1"/></cols><sheetData/>)",
    };
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        readError(withSheet(worksheetXml(body)));
    }
}

} // namespace
} // namespace sheet

namespace sheet {
namespace {

// A small file can declare far more than it holds in any sound way; memory must follow the
// file, so such files are refused before they fill it.
class XlsxMemoryBounds : public ::testing::Test {
protected:
    std::string withSheet(const std::string& sheetXml, const std::string& strings = {}) {
        PackageParts parts = minimalWorkbook({"Sheet1"}, {});
        parts["xl/worksheets/sheet1.xml"] = sheetXml;
        if (!strings.empty()) {
            parts["xl/sharedStrings.xml"] = "<sst>" + strings + "</sst>";
            parts["xl/_rels/workbook.xml.rels"].insert(
                parts["xl/_rels/workbook.xml.rels"].find("</Relationships>"),
                R"(<Relationship Id="rId99" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)");
        }
        const std::string path = folder_.file("bounds.xlsx");
        writeZip(path, parts);
        return path;
    }
    static std::string repeated(const std::string& text, int count) {
        std::string out;
        out.reserve(text.size() * static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            out += text;
        return out;
    }

    TempFolder folder_;
};

TEST_F(XlsxMemoryBounds, MillionsOfCellsInASmallFileAreRefused) {
    const std::string row = "<row>" + repeated("<c><v>1</v></c>", 1001) + "</row>";
    const std::string path =
        withSheet(worksheetXml("<sheetData>" + repeated(row, 1000) + "</sheetData>"));
    ASSERT_LT(std::filesystem::file_size(path), 1u << 20);
    EXPECT_TRUE(mentions(readError(path), io_messages::kTooManyCells));

    // A million cells is always allowed, whatever the file's size.
    const std::string fewer = withSheet(worksheetXml(
        "<sheetData>" + repeated("<row>" + repeated("<c><v>1</v></c>", 999) + "</row>", 1000) +
        "</sheetData>"));
    EXPECT_EQ(readWorkbook(fewer)->sheets[0]->cell(1000, 999)->value, CellValue::Number(1));
}

TEST_F(XlsxMemoryBounds, MillionsOfSharedStringsInASmallFileAreRefused) {
    const std::string path =
        withSheet(worksheetXml("<sheetData/>"), repeated("<si><t>x</t></si>", 1000001));
    EXPECT_TRUE(mentions(readError(path), io_messages::kTooManyCells));
}

TEST_F(XlsxMemoryBounds, AWorksheetsNonCellContentIsBounded) {
    const std::string path =
        withSheet(worksheetXml("<sheetData/><mergeCells>" +
                               repeated(R"(<mergeCell ref="A1:B2"/>)", 800000) + "</mergeCells>"));
    EXPECT_TRUE(mentions(readError(path), io_messages::kWorksheetRestTooLarge));
}

} // namespace
} // namespace sheet
