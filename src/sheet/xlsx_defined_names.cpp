#include "sheet/xlsx_defined_names.h"

#include "sheet/range_text.h"
#include "sheet/xml_part.h"

#include <optional>

namespace sheet {

namespace {

constexpr std::string_view kPrintTitles = "_xlnm.Print_Titles";
constexpr std::string_view kPrintArea = "_xlnm.Print_Area";

// The comma-separated areas of a reference list, each without its sheet prefix and '$' signs.
std::vector<embedded::CellArea> areasOf(std::string_view formula) {
    std::vector<embedded::CellArea> areas;
    std::string piece;
    bool quoted = false;
    auto finish = [&] {
        if (auto area = embedded::parseRangeText(piece))
            areas.push_back(*area);
        piece.clear();
    };
    for (char c : formula) {
        if (c == '\'') {
            quoted = !quoted;
            piece += c;
        } else if (!quoted && c == ',') {
            finish();
        } else if (!quoted && c == '!') {
            piece.clear(); // what came before was the sheet's name
        } else if (c != '$') {
            piece += c;
        }
    }
    finish();
    return areas;
}

std::string formulaOf(pugi::xml_node node) {
    std::string_view text = node.child_value();
    if (!text.empty() && text.front() == '=')
        text.remove_prefix(1);
    return std::string(text);
}

std::optional<int> sheetOf(pugi::xml_node node, const std::vector<int>& sheetOfEntry) {
    pugi::xml_attribute local = node.attribute("localSheetId");
    if (!local)
        return -1;
    auto entry = parseInteger(local.value());
    if (!entry || *entry < 0 || *entry >= static_cast<long>(sheetOfEntry.size()) ||
        sheetOfEntry[static_cast<size_t>(*entry)] < 0)
        return std::nullopt;
    return sheetOfEntry[static_cast<size_t>(*entry)];
}

} // namespace

void applyPrintTitles(std::string_view formula, PageSetup& setup) {
    for (const embedded::CellArea& area : areasOf(formula)) {
        if (area.kind == embedded::AreaKind::Rows) {
            setup.titleFirstRow = area.rect.firstRow;
            setup.titleLastRow = area.rect.lastRow;
        } else if (area.kind == embedded::AreaKind::Columns) {
            setup.titleFirstColumn = area.rect.firstColumn;
            setup.titleLastColumn = area.rect.lastColumn;
        }
    }
}

void applyPrintArea(std::string_view formula, PageSetup& setup) {
    setup.printArea.clear();
    for (const embedded::CellArea& area : areasOf(formula))
        setup.printArea.push_back(area.rect);
}

void readDefinedNames(pugi::xml_node workbookRoot, const std::vector<int>& sheetOfEntry,
                      Workbook& workbook) {
    for (pugi::xml_node node = childNamed(workbookRoot, "definedNames").first_child(); node;
         node = node.next_sibling()) {
        if (!isNamed(node, "definedName"))
            continue;
        const std::optional<int> sheet = sheetOf(node, sheetOfEntry);
        const std::string_view name = attributeText(node, "name");
        if (!sheet || name.empty())
            continue;
        const std::string formula = formulaOf(node);
        if (name == kPrintTitles || name == kPrintArea) {
            if (*sheet < 0)
                continue;
            PageSetup& setup = workbook.sheets[static_cast<size_t>(*sheet)]->pageSetup;
            if (name == kPrintTitles)
                applyPrintTitles(formula, setup);
            else
                applyPrintArea(formula, setup);
            continue;
        }
        workbook.names.push_back(DefinedName{std::string(name), formula, *sheet,
                                             attributeFlag(node, "hidden", false),
                                             std::string(attributeText(node, "comment"))});
    }
}

} // namespace sheet
