// Builds a workbook from the input's bytes (sheet names, cell text, error text, formulas,
// number format codes, font names, numbers of any bit pattern), saves it and parses every part
// of the saved package as XML: a part that is not well-formed is a finding.
#include "sheet/file_error.h"
#include "sheet/workbook_io.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace {

std::vector<std::string> fieldsOf(const uint8_t* data, size_t size) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < size && fields.size() < 64; ++i) {
        if (data[i] == 0)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(data[i]);
    }
    return fields;
}

double numberOf(const std::string& field) {
    double value = 0;
    std::memcpy(&value, field.data(), std::min(field.size(), sizeof value));
    return value;
}

std::unique_ptr<sheet::Workbook> workbookOf(const std::vector<std::string>& fields) {
    auto workbook = std::make_unique<sheet::Workbook>();
    workbook->sheets.push_back(std::make_unique<sheet::Worksheet>(fields[0]));
    sheet::Worksheet& sheet = *workbook->sheets[0];
    for (size_t i = 1; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        const long row = static_cast<long>(i);
        sheet::Cell& cell = sheet.cellAt(row, 1 + static_cast<long>(i % 5));
        switch (i % 6) {
        case 0:
            cell.value = sheet::CellValue::Text(field);
            break;
        case 1:
            cell.value = sheet::CellValue::Error(field);
            break;
        case 2:
            cell.formula = field;
            cell.value = sheet::CellValue::Number(numberOf(field));
            break;
        case 3: {
            sheet::Style style;
            style.numberFormatId = 164;
            style.numberFormatCode = field;
            style.font.name = field;
            cell.style = workbook->styles.intern(style);
            cell.value = sheet::CellValue::Number(numberOf(field));
            break;
        }
        case 4:
            sheet.comments.push_back(sheet::Comment{row, 1, field, field, nullptr, false});
            sheet.pageSetup.headerFooter.oddHeader = field;
            break;
        default:
            sheet.hyperlinks.push_back(
                sheet::Hyperlink{sheet::CellRect{row, 1, row, 1}, field, field, field, field});
            workbook->names.push_back(sheet::DefinedName{"n" + std::to_string(i), field});
        }
    }
    return workbook;
}

void parseEveryPart(const std::string& path) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive)
        std::abort();
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (!file)
            std::abort();
        std::string data;
        char chunk[1 << 14];
        zip_int64_t got = 0;
        while ((got = zip_fread(file, chunk, sizeof chunk)) > 0)
            data.append(chunk, static_cast<size_t>(got));
        zip_fclose(file);
        pugi::xml_document document;
        if (!document.load_buffer(data.data(), data.size(), pugi::parse_default,
                                  pugi::encoding_utf8))
            std::abort();
    }
    zip_discard(archive);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/xlsx_write_fuzz-" + std::to_string(::getpid()) + ".xlsx";
    const auto workbook = workbookOf(fieldsOf(data, size));
    try {
        sheet::writeWorkbook(*workbook, path);
    } catch (const sheet::FileError&) {
        return 0; // refused: a bad sheet name, a text or formula too long
    }
    parseEveryPart(path);
    return 0;
}
