#include "sheet/xlsx_workbook_part.h"

#include "sheet/a1_reference.h"
#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_xml_text.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace sheet {

namespace {

constexpr const char* kPrintTitles = "_xlnm.Print_Titles";
constexpr const char* kPrintArea = "_xlnm.Print_Area";

std::string quotedSheet(const std::string& name) {
    std::string quoted = "'";
    for (char c : name) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + "'!";
}

bool validRows(long first, long last) {
    return first >= 1 && last >= first && last <= kMaxRows;
}

bool validColumns(long first, long last) {
    return first >= 1 && last >= first && last <= kMaxColumns;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct NameEntry {
    std::string name;
    std::string formula;
    int localSheet = -1;
    bool hidden = false;
    std::string comment;
};

void appendName(std::string& out, const NameEntry& entry) {
    out += "<definedName";
    appendAttribute(out, "name", entry.name);
    if (!entry.comment.empty())
        appendAttribute(out, "comment", entry.comment);
    if (entry.localSheet >= 0)
        appendAttribute(out, "localSheetId", static_cast<long>(entry.localSheet));
    if (entry.hidden)
        out += " hidden=\"1\"";
    out += '>';
    appendElementText(out, entry.formula);
    out += "</definedName>";
}

// Print titles and areas from the sheets' page setups, then the workbook's own names; one
// name per scope, the first one kept.
std::vector<NameEntry> definedNames(const Workbook& workbook) {
    std::vector<NameEntry> entries;
    const int sheetCount = static_cast<int>(workbook.sheets.size());
    for (int i = 0; i < sheetCount; ++i) {
        const Worksheet& sheet = *workbook.sheets[static_cast<std::size_t>(i)];
        if (std::string titles = printTitlesFormula(sheet); !titles.empty())
            entries.push_back({kPrintTitles, std::move(titles), i, false, {}});
        if (std::string area = printAreaFormula(sheet); !area.empty())
            entries.push_back({kPrintArea, std::move(area), i, false, {}});
    }
    for (const DefinedName& name : workbook.names) {
        if (name.name.empty() || name.formula.empty() || name.localSheet >= sheetCount)
            continue;
        entries.push_back(
            {name.name, name.formula, std::max(name.localSheet, -1), name.hidden, name.comment});
    }
    std::set<std::pair<int, std::string>> seen;
    std::vector<NameEntry> unique;
    for (NameEntry& entry : entries)
        if (seen.emplace(entry.localSheet, lowered(entry.name)).second)
            unique.push_back(std::move(entry));
    return unique;
}

} // namespace

std::string printTitlesFormula(const Worksheet& sheet) {
    const PageSetup& setup = sheet.pageSetup;
    const std::string prefix = quotedSheet(sheet.name);
    std::string formula;
    if (validRows(setup.titleFirstRow, setup.titleLastRow))
        formula = prefix + "$" + std::to_string(setup.titleFirstRow) + ":$" +
                  std::to_string(setup.titleLastRow);
    if (validColumns(setup.titleFirstColumn, setup.titleLastColumn)) {
        if (!formula.empty())
            formula += ',';
        formula += prefix + "$" + columnLetters(setup.titleFirstColumn) + ":$" +
                   columnLetters(setup.titleLastColumn);
    }
    return formula;
}

std::string printAreaFormula(const Worksheet& sheet) {
    const std::string prefix = quotedSheet(sheet.name);
    std::string formula;
    for (const CellRect& rect : sheet.pageSetup.printArea) {
        if (!validRows(rect.firstRow, rect.lastRow) ||
            !validColumns(rect.firstColumn, rect.lastColumn))
            continue;
        if (!formula.empty())
            formula += ',';
        formula += prefix + "$" + columnLetters(rect.firstColumn) + "$" +
                   std::to_string(rect.firstRow) + ":$" + columnLetters(rect.lastColumn) + "$" +
                   std::to_string(rect.lastRow);
    }
    return formula;
}

std::string workbookPartXml(const WorkbookPartInput& input) {
    const Workbook& workbook = *input.workbook;
    std::string out = kXmlDeclaration;
    out += "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    out += workbook.date1904 ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>";
    out += "<bookViews><workbookView";
    appendAttribute(out, "activeTab", static_cast<long>(input.activeSheet));
    out += "/></bookViews><sheets>";
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        const Worksheet& sheet = *workbook.sheets[i];
        out += "<sheet";
        appendAttribute(out, "name", sheet.name);
        appendAttribute(out, "sheetId", static_cast<long>(i + 1));
        if (static_cast<int>(i) != input.activeSheet && (sheet.veryHidden || sheet.hidden))
            out += sheet.veryHidden ? " state=\"veryHidden\"" : " state=\"hidden\"";
        appendAttribute(out, "r:id", input.sheetIds[i]);
        out += "/>";
    }
    out += "</sheets>";
    if (!input.externalReferenceIds.empty()) {
        out += "<externalReferences>";
        for (const std::string& id : input.externalReferenceIds) {
            out += "<externalReference";
            appendAttribute(out, "r:id", id);
            out += "/>";
        }
        out += "</externalReferences>";
    }
    const std::vector<NameEntry> names = definedNames(workbook);
    if (!names.empty()) {
        out += "<definedNames>";
        for (const NameEntry& entry : names)
            appendName(out, entry);
        out += "</definedNames>";
    }
    out += "<calcPr calcId=\"191029\"/></workbook>";
    return out;
}

} // namespace sheet
