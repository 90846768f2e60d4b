// Feeds one XML text to every reader of what a form carries besides cells (sheet features,
// notes, defined names, strings, differential styles) and the formula name rewriter.
#include "sheet/file_error.h"
#include "sheet/formula_names.h"
#include "sheet/xlsx_comments.h"
#include "sheet/xlsx_defined_names.h"
#include "sheet/xlsx_differential_styles.h"
#include "sheet/xlsx_rich_text.h"
#include "sheet/xlsx_sheet_data.h"
#include "sheet/xlsx_sheet_features.h"

#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_eol))
        return 0;
    const pugi::xml_node root = document.document_element();

    sheet::ColorResolver colors;
    const auto styles = sheet::readDifferentialStyles(root, colors);
    const std::vector<sheet::PackageRelation> relations{
        {"rId1", "http://x/relationships/hyperlink", "https://example.org", true}};
    sheet::Worksheet sheet("fuzz");
    sheet::readSheetFeatures(root, {colors, styles, relations}, sheet);
    sheet.comments = sheet::readComments(root, colors);
    try {
        (void)sheet::readSharedStrings(text, "fuzz", "sharedStrings.xml", 1 << 20, colors);
    } catch (const sheet::FileError&) {
    }

    sheet::Workbook workbook;
    workbook.sheets.push_back(std::make_unique<sheet::Worksheet>("a"));
    sheet::readDefinedNames(root, {0, -1}, workbook);

    const auto rename = [](std::string_view name) -> std::optional<std::string> {
        return std::string(name) + "_2";
    };
    for (const sheet::DefinedName& name : workbook.names) {
        (void)sheet::namesUsedIn(name.formula);
        (void)sheet::rewriteFormula(name.formula, rename, rename);
    }
    (void)sheet::rewriteFormula(text, rename, rename);
    return 0;
}
