// Sound packages written in ways this program's own writer never uses: the Strict flavour of
// the format, a central directory with a wrong record count, stored parts in an odd order.
#include "sheet/io_messages.h"
#include "sheet/workbook_io.h"
#include "support/workbook_parts.h"

#include <gtest/gtest.h>
#include <zip.h>

namespace sheet {
namespace {

using test_support::minimalWorkbook;
using test_support::PackageParts;
using test_support::readBytes;
using test_support::TempFolder;
using test_support::writeBytes;
using test_support::writeZip;

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The parts of a workbook in the Strict namespaces, as an application saving "Strict Open XML"
// writes them.
PackageParts strictWorkbook() {
    const std::string body =
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>42</v></c>)"
        R"(<c r="C1"><f>B1*2</f><v>84</v></c><c r="D1" t="d"><v>2024-03-01T00:00:00</v></c></row>)";
    PackageParts parts = minimalWorkbook({"엄격", "Second"}, {body, ""});
    parts["xl/sharedStrings.xml"] =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="1" )"
        R"(uniqueCount="1"><si><t>가나다</t></si></sst>)";
    parts["xl/_rels/workbook.xml.rels"] = replaceAll(
        parts["xl/_rels/workbook.xml.rels"], "</Relationships>",
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)");
    for (auto& [name, content] : parts) {
        content = replaceAll(content, "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                             "http://purl.oclc.org/ooxml/spreadsheetml/main");
        content = replaceAll(content,
                             "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
                             "http://purl.oclc.org/ooxml/officeDocument/relationships");
    }
    parts["xl/workbook.xml"] = replaceAll(parts["xl/workbook.xml"], "<sheets>",
                                          R"(<workbookPr dateCompatibility="0"/><sheets>)");
    parts["xl/workbook.xml"] =
        replaceAll(parts["xl/workbook.xml"], "<workbook ", R"(<workbook conformance="strict" )");
    return parts;
}

TEST(XlsxPackageVariants, StrictWorkbooksReadLikeTransitionalOnes) {
    TempFolder folder;
    const std::string path = folder.file("strict.xlsx");
    writeZip(path, strictWorkbook());
    const auto workbook = readWorkbook(path);
    ASSERT_EQ(workbook->sheets.size(), 2u);
    EXPECT_EQ(workbook->sheets[0]->name, "엄격");
    const Worksheet& sheet = *workbook->sheets[0];
    ASSERT_NE(sheet.cell(1, 1), nullptr);
    EXPECT_EQ(sheet.cell(1, 1)->value, CellValue::Text("가나다"));
    EXPECT_EQ(sheet.cell(1, 2)->value, CellValue::Number(42));
    EXPECT_EQ(sheet.cell(1, 3)->formula, "B1*2");
    EXPECT_EQ(sheet.cell(1, 4)->value, CellValue::Number(45352));
}

// Sets the record counts of the end of central directory record (no archive comment).
void setRecordCount(std::string& zipBytes, unsigned count) {
    const size_t end = zipBytes.size() - 22;
    ASSERT_EQ(zipBytes.substr(end, 4), std::string("PK\x05\x06", 4));
    for (size_t field : {end + 8, end + 10}) {
        zipBytes[field] = static_cast<char>(count & 0xFF);
        zipBytes[field + 1] = static_cast<char>(count >> 8);
    }
}

TEST(XlsxPackageVariants, AWrongRecordCountInTheCentralDirectoryStillReads) {
    TempFolder folder;
    PackageParts parts =
        minimalWorkbook({"Sheet1"}, {R"(<row r="1"><c r="A1"><v>5</v></c></row>)"});
    parts["zz/unused.xml"] = "<unused/>"; // last in the directory, left out of the count
    const std::string path = folder.file("count.xlsx");
    writeZip(path, parts);
    std::string bytes = readBytes(path);
    setRecordCount(bytes, static_cast<unsigned>(parts.size() - 1));
    writeBytes(path, bytes);
    const auto workbook = readWorkbook(path);
    EXPECT_EQ(workbook->sheets[0]->cell(1, 1)->value, CellValue::Number(5));
}

TEST(XlsxPackageVariants, StoredPartsInAnyOrderWithFolderEntriesAreNoEncryption) {
    TempFolder folder;
    const std::string path = folder.file("odd.xlsx");
    PackageParts parts =
        minimalWorkbook({"Sheet1"}, {R"(<row r="1"><c r="A1"><v>7</v></c></row>)"});
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    zip_dir_add(archive, "xl", ZIP_FL_ENC_UTF_8);
    zip_dir_add(archive, "xl/worksheets", ZIP_FL_ENC_UTF_8);
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        zip_source_t* source =
            zip_source_buffer(archive, part->second.data(), part->second.size(), 0);
        const zip_int64_t index = zip_file_add(archive, part->first.c_str(), source, 0);
        ASSERT_GE(index, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    const char comment[] = "written by another program";
    zip_set_archive_comment(archive, comment, sizeof comment - 1);
    ASSERT_EQ(zip_close(archive), 0);
    const auto workbook = readWorkbook(path);
    EXPECT_EQ(workbook->sheets[0]->cell(1, 1)->value, CellValue::Number(7));
}

TEST(XlsxPackageVariants, ADamagedPartFailsItsChecksum) {
    TempFolder folder;
    const std::string path = folder.file("crc.xlsx");
    PackageParts parts =
        minimalWorkbook({"Sheet1"}, {R"(<row r="1"><c r="A1"><v>123456</v></c></row>)"});
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
    std::string bytes = readBytes(path);
    const size_t at = bytes.find("123456");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = '9';
    writeBytes(path, bytes);
    try {
        readWorkbook(path);
        ADD_FAILURE() << "a part with a wrong checksum was read";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(io_messages::kCorruptZip), std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace sheet
