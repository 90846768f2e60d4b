#include "fuzz_support.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>
#include <zip.h>

namespace fuzz {

namespace {

std::string folder() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/tabrinel-fuzz-" + std::to_string(getpid());
}

} // namespace

std::string outputPath(const std::string& suffix) {
    return folder() + suffix;
}

std::string writeInput(const std::uint8_t* data, std::size_t size, const std::string& suffix) {
    const std::string path = outputPath(suffix);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

Parts soundWorkbook() {
    const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    Parts parts;
    parts["[Content_Types].xml"] =
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="xml" ContentType="application/xml"/></Types>)";
    parts["_rels/.rels"] =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type=")" +
        rel + R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    parts["xl/workbook.xml"] = "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                               "\"><sheets><sheet name=\"현황\" sheetId=\"1\" r:id=\"rId1\"/>"
                               "<sheet name=\"Sheet2\" sheetId=\"2\" r:id=\"rId2\"/></sheets>"
                               "</workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type=")" +
        rel + R"(/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type=")" +
        rel + R"(/worksheet" Target="worksheets/sheet2.xml"/><Relationship Id="rId3" Type=")" +
        rel + R"(/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId4" Type=")" +
        rel + R"(/styles" Target="styles.xml"/></Relationships>)";
    parts["xl/worksheets/sheet1.xml"] =
        "<worksheet xmlns=\"" + main +
        "\"><cols><col min=\"1\" max=\"2\" width=\"12\"/></cols><sheetData><row r=\"1\">"
        "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>2.5</v></c>"
        "<c r=\"C1\"><f>B1*2</f><v>5</v></c></row></sheetData>"
        "<mergeCells><mergeCell ref=\"A3:B4\"/></mergeCells></worksheet>";
    parts["xl/worksheets/sheet2.xml"] =
        "<worksheet xmlns=\"" + main + "\"><sheetData/></worksheet>";
    parts["xl/sharedStrings.xml"] =
        "<sst xmlns=\"" + main + "\"><si><t>제목</t></si><si><r><t>굵</t></r></si></sst>";
    parts["xl/styles.xml"] =
        "<styleSheet xmlns=\"" + main +
        "\"><numFmts><numFmt numFmtId=\"164\" formatCode=\"0.00\"/></numFmts>"
        "<fonts><font><sz val=\"11\"/><name val=\"맑은 고딕\"/></font></fonts>"
        "<fills><fill><patternFill patternType=\"none\"/></fill></fills>"
        "<borders><border/></borders><cellXfs><xf fontId=\"0\"/><xf numFmtId=\"164\"/>"
        "</cellXfs></styleSheet>";
    return parts;
}

std::string zipBytes(const Parts& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot build a zip in memory");
    zip_source_keep(buffer);
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    }
    zip_close(archive);
    std::string bytes;
    zip_stat_t stat;
    if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        bytes.resize(stat.size);
        zip_source_read(buffer, bytes.data(), stat.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

} // namespace fuzz
