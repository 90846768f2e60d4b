#include "sheet/xlsx_sheet_features.h"

#include "sheet/a1_reference.h"
#include "sheet/xml_part.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>

namespace sheet {

namespace {

std::optional<CellRect> parseRect(std::string_view text) {
    const size_t colon = text.find(':');
    const auto first = parseCellAddress(text.substr(0, colon));
    const auto last =
        colon == std::string_view::npos ? first : parseCellAddress(text.substr(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return CellRect{std::min(first->row, last->row), std::min(first->column, last->column),
                    std::max(first->row, last->row), std::max(first->column, last->column)};
}

std::string xmlText(pugi::xml_node node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

std::string formulaOf(pugi::xml_node node) {
    std::string_view text = node.child_value();
    if (!text.empty() && text.front() == '=')
        text.remove_prefix(1);
    return std::string(text);
}

class FeatureReader {
public:
    FeatureReader(const SheetFeatureSources& sources, Worksheet& sheet)
        : sources_(sources), sheet_(sheet) {
        for (const PackageRelation& relation : sources.relations)
            if (relation.external)
                externalTargets_.try_emplace(relation.id, relation.target);
    }

    void read(pugi::xml_node worksheet) {
        for (pugi::xml_node node = worksheet.first_child(); node; node = node.next_sibling()) {
            const std::string_view name = localName(node);
            if (name == "sheetPr")
                sheet_.view.tabColor = sources_.colors.resolve(childNamed(node, "tabColor"));
            else if (name == "sheetViews")
                readView(childNamed(node, "sheetView"));
            else if (name == "printOptions")
                readPrintOptions(node);
            else if (name == "pageSetup")
                readPageSetup(node);
            else if (name == "headerFooter")
                readHeaderFooter(node);
            else if (name == "rowBreaks")
                readBreaks(node, sheet_.pageSetup.rowBreaks, kMaxRows);
            else if (name == "colBreaks")
                readBreaks(node, sheet_.pageSetup.columnBreaks, kMaxColumns);
            else if (name == "conditionalFormatting")
                readConditionalFormat(node);
            else if (name == "dataValidations")
                readValidations(node);
            else if (name == "hyperlinks")
                readHyperlinks(node);
            else if (name == "extLst")
                readExtensions(node);
        }
    }

private:
    void readView(pugi::xml_node view) {
        if (!view)
            return;
        SheetView& target = sheet_.view;
        target.showGridLines = attributeFlag(view, "showGridLines", true);
        target.showZeros = attributeFlag(view, "showZeros", true);
        target.rightToLeft = attributeFlag(view, "rightToLeft", false);
        setTopLeft(attributeText(view, "topLeftCell"));
        pugi::xml_node pane = childNamed(view, "pane");
        const std::string_view state = attributeText(pane, "state");
        if (!pane || (state != "frozen" && state != "frozenSplit"))
            return;
        const long columns = attributeInteger(pane, "xSplit").value_or(0);
        const long rows = attributeInteger(pane, "ySplit").value_or(0);
        if (columns >= 0 && columns < kMaxColumns)
            target.frozenColumns = columns;
        if (rows >= 0 && rows < kMaxRows)
            target.frozenRows = rows;
        setTopLeft(attributeText(pane, "topLeftCell"));
    }

    void setTopLeft(std::string_view reference) {
        if (auto address = parseCellAddress(reference)) {
            sheet_.view.topLeftRow = address->row;
            sheet_.view.topLeftColumn = address->column;
        }
    }

    void readPrintOptions(pugi::xml_node node) {
        PageSetup& setup = sheet_.pageSetup;
        setup.centerHorizontally = attributeFlag(node, "horizontalCentered", false);
        setup.centerVertically = attributeFlag(node, "verticalCentered", false);
        setup.printHeadings = attributeFlag(node, "headings", false);
        // The file format prints gridlines only when both flags say so.
        setup.printGridlines =
            attributeFlag(node, "gridLines", false) && attributeFlag(node, "gridLinesSet", true);
    }

    void readPageSetup(pugi::xml_node node) {
        PageSetup& setup = sheet_.pageSetup;
        if (auto paper = attributeInteger(node, "paperSize"); paper && *paper > 0 && *paper < 256)
            setup.paperSizeSet = true;
        if (attributeFlag(node, "useFirstPageNumber", false))
            if (auto first = attributeInteger(node, "firstPageNumber");
                first && *first > 0 && *first < 32768)
                setup.firstPageNumber = static_cast<int>(*first);
        setup.downThenOver = attributeText(node, "pageOrder") != "overThenDown";
        setup.blackAndWhite = attributeFlag(node, "blackAndWhite", false);
        setup.draft = attributeFlag(node, "draft", false);
    }

    void readHeaderFooter(pugi::xml_node node) {
        HeaderFooter& texts = sheet_.pageSetup.headerFooter;
        texts.differentOddEven = attributeFlag(node, "differentOddEven", false);
        texts.differentFirst = attributeFlag(node, "differentFirst", false);
        texts.scaleWithDocument = attributeFlag(node, "scaleWithDoc", true);
        texts.alignWithMargins = attributeFlag(node, "alignWithMargins", true);
        auto text = [&](std::string_view name) {
            return decodeEscapes(childNamed(node, name).child_value());
        };
        texts.oddHeader = text("oddHeader");
        texts.oddFooter = text("oddFooter");
        texts.evenHeader = text("evenHeader");
        texts.evenFooter = text("evenFooter");
        texts.firstHeader = text("firstHeader");
        texts.firstFooter = text("firstFooter");
    }

    // Only manual breaks; the automatic ones some writers list follow from the layout.
    void readBreaks(pugi::xml_node node, std::vector<long>& breaks, long limit) {
        for (pugi::xml_node brk = node.first_child(); brk; brk = brk.next_sibling()) {
            if (!isNamed(brk, "brk") || !attributeFlag(brk, "man", false))
                continue;
            if (auto id = attributeInteger(brk, "id"); id && *id >= 1 && *id < limit)
                breaks.push_back(*id);
        }
        std::sort(breaks.begin(), breaks.end());
        breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    }

    void readConditionalFormat(pugi::xml_node node) {
        ConditionalFormat format;
        format.ranges = parseRectList(attributeText(node, "sqref"));
        for (pugi::xml_node rule = node.first_child(); rule; rule = rule.next_sibling())
            if (isNamed(rule, "cfRule"))
                format.rules.push_back(readRule(rule));
        if (!format.ranges.empty() && !format.rules.empty())
            sheet_.conditionalFormats.push_back(std::move(format));
    }

    ConditionalRule readRule(pugi::xml_node node) {
        ConditionalRule rule;
        rule.type = attributeText(node, "type");
        rule.operatorName = attributeText(node, "operator");
        rule.text = attributeText(node, "text");
        if (auto priority = attributeInteger(node, "priority"); priority && *priority > 0)
            rule.priority = static_cast<int>(std::min(*priority, 1L << 30));
        rule.stopIfTrue = attributeFlag(node, "stopIfTrue", false);
        const auto& styles = sources_.differentialStyles;
        if (auto dxf = attributeInteger(node, "dxfId");
            dxf && *dxf >= 0 && *dxf < static_cast<long>(styles.size()))
            rule.style = styles[static_cast<size_t>(*dxf)];
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (isNamed(child, "formula"))
                rule.formulas.push_back(formulaOf(child));
            else if (child.type() == pugi::node_element)
                rule.extraXml += xmlText(child);
        }
        return rule;
    }

    void readValidations(pugi::xml_node node) {
        for (pugi::xml_node item = node.first_child(); item; item = item.next_sibling()) {
            if (!isNamed(item, "dataValidation"))
                continue;
            DataValidation validation = readValidation(item);
            if (!validation.ranges.empty())
                sheet_.dataValidations.push_back(std::move(validation));
        }
    }

    // Validation lists that refer to other sheets are written in an extension by some writers.
    void readExtensions(pugi::xml_node extensions) {
        for (pugi::xml_node ext = extensions.first_child(); ext; ext = ext.next_sibling())
            if (pugi::xml_node validations = childNamed(ext, "dataValidations"))
                readValidations(validations);
    }

    // <formula1>A1</formula1>, or <x14:formula1><xm:f>A1</xm:f></x14:formula1> in an extension.
    static std::string validationFormula(pugi::xml_node node) {
        pugi::xml_node inner = childNamed(node, "f");
        return formulaOf(inner ? inner : node);
    }

    DataValidation readValidation(pugi::xml_node node) {
        DataValidation validation;
        const pugi::xml_node rangeNode = childNamed(node, "sqref");
        validation.ranges = parseRectList(rangeNode ? std::string_view(rangeNode.child_value())
                                                    : attributeText(node, "sqref"));
        validation.type = attributeText(node, "type");
        if (validation.type == "none")
            validation.type.clear();
        validation.operatorName = attributeText(node, "operator");
        if (validation.operatorName == "between")
            validation.operatorName.clear();
        validation.formula1 = validationFormula(childNamed(node, "formula1"));
        validation.formula2 = validationFormula(childNamed(node, "formula2"));
        // Some writers fill a second formula where it means nothing.
        const bool range =
            validation.operatorName.empty() || validation.operatorName == "notBetween";
        if (!range || validation.type == "list" || validation.type == "custom")
            validation.formula2.clear();
        validation.allowBlank = attributeFlag(node, "allowBlank", false);
        validation.showDropDown = !attributeFlag(node, "showDropDown", false);
        validation.showInputMessage = attributeFlag(node, "showInputMessage", false);
        validation.showErrorMessage = attributeFlag(node, "showErrorMessage", false);
        validation.errorStyle = attributeText(node, "errorStyle");
        if (validation.errorStyle == "stop")
            validation.errorStyle.clear();
        validation.errorTitle = attributeText(node, "errorTitle");
        validation.error = attributeText(node, "error");
        validation.promptTitle = attributeText(node, "promptTitle");
        validation.prompt = attributeText(node, "prompt");
        return validation;
    }

    void readHyperlinks(pugi::xml_node node) {
        for (pugi::xml_node item = node.first_child(); item; item = item.next_sibling()) {
            if (!isNamed(item, "hyperlink"))
                continue;
            auto range = parseRect(attributeText(item, "ref"));
            if (!range)
                continue;
            Hyperlink link;
            link.range = *range;
            link.location = attributeText(item, "location");
            link.tooltip = attributeText(item, "tooltip");
            link.display = attributeText(item, "display");
            link.target = externalTarget(attributeText(item, "r:id"));
            if (!link.target.empty() || !link.location.empty())
                sheet_.hyperlinks.push_back(std::move(link));
        }
    }

    std::string externalTarget(std::string_view id) const {
        auto found = externalTargets_.find(std::string(id));
        return found == externalTargets_.end() ? std::string() : found->second;
    }

    const SheetFeatureSources& sources_;
    Worksheet& sheet_;
    std::unordered_map<std::string, std::string> externalTargets_; // relationship id -> address
};

} // namespace

std::vector<CellRect> parseRectList(std::string_view text) {
    std::vector<CellRect> rects;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end > start)
            if (auto rect = parseRect(text.substr(start, end - start)))
                rects.push_back(*rect);
        start = end + 1;
    }
    return rects;
}

void readSheetFeatures(pugi::xml_node worksheet, const SheetFeatureSources& sources,
                       Worksheet& sheet) {
    FeatureReader(sources, sheet).read(worksheet);
}

} // namespace sheet
