#include "sheet/a1_reference.h"
#include "sheet/xlsx_sheet_parts.h"
#include "sheet/xlsx_styles_writer.h"
#include "sheet/xlsx_xml_text.h"

#include <algorithm>
#include <pugixml.hpp>

namespace sheet {

namespace {

void appendProtection(std::string& out, const SheetProtection& protection) {
    if (!protection.on)
        return;
    out += "<sheetProtection";
    if (!protection.passwordHash.empty() && protection.algorithmName.empty()) {
        appendAttribute(out, "password", protection.passwordHash);
    } else if (!protection.passwordHash.empty()) {
        appendAttribute(out, "algorithmName", protection.algorithmName);
        appendAttribute(out, "hashValue", protection.passwordHash);
        appendAttribute(out, "saltValue", protection.saltValue);
        appendAttribute(out, "spinCount", static_cast<long>(protection.spinCount));
    }
    out += " sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
}

void appendMerges(std::string& out, const std::vector<CellRect>& merges) {
    std::vector<const CellRect*> written;
    for (const CellRect& merge : merges)
        if (merge.firstRow != merge.lastRow || merge.firstColumn != merge.lastColumn)
            written.push_back(&merge);
    if (written.empty())
        return;
    out += "<mergeCells";
    appendAttribute(out, "count", static_cast<long>(written.size()));
    out += '>';
    for (const CellRect* merge : written)
        out += "<mergeCell ref=\"" + rangeReference(*merge) + "\"/>";
    out += "</mergeCells>";
}

// Children the model keeps as XML text go out only when they are well-formed.
bool isWellFormed(const std::string& fragment) {
    pugi::xml_document document;
    return document.load_buffer(fragment.data(), fragment.size(), pugi::parse_default,
                                pugi::encoding_utf8);
}

void appendRule(std::string& out, const ConditionalRule& rule, StylesPart& styles) {
    out += "<cfRule";
    appendAttribute(out, "type", rule.type.empty() ? std::string("expression") : rule.type);
    if (rule.style)
        appendAttribute(out, "dxfId", static_cast<long>(styles.differentialOf(*rule.style)));
    appendAttribute(out, "priority", static_cast<long>(std::max(rule.priority, 1)));
    if (rule.stopIfTrue)
        out += " stopIfTrue=\"1\"";
    if (!rule.operatorName.empty())
        appendAttribute(out, "operator", rule.operatorName);
    if (!rule.text.empty())
        appendAttribute(out, "text", rule.text);
    const bool extra = !rule.extraXml.empty() && isWellFormed(rule.extraXml);
    if (rule.formulas.empty() && !extra) {
        out += "/>";
        return;
    }
    out += '>';
    for (std::size_t i = 0; i < rule.formulas.size() && i < 3; ++i) {
        out += "<formula>";
        appendElementText(out, rule.formulas[i]);
        out += "</formula>";
    }
    if (extra)
        out += rule.extraXml;
    out += "</cfRule>";
}

void appendConditionalFormats(std::string& out, const std::vector<ConditionalFormat>& formats,
                              StylesPart& styles) {
    for (const ConditionalFormat& format : formats) {
        const std::string ranges = rangeList(format.ranges);
        if (ranges.empty() || format.rules.empty())
            continue;
        out += "<conditionalFormatting sqref=\"" + ranges + "\">";
        for (const ConditionalRule& rule : format.rules)
            appendRule(out, rule, styles);
        out += "</conditionalFormatting>";
    }
}

void appendValidation(std::string& out, const DataValidation& validation) {
    out += "<dataValidation";
    if (!validation.type.empty())
        appendAttribute(out, "type", validation.type);
    if (!validation.errorStyle.empty())
        appendAttribute(out, "errorStyle", validation.errorStyle);
    if (!validation.operatorName.empty())
        appendAttribute(out, "operator", validation.operatorName);
    if (validation.allowBlank)
        out += " allowBlank=\"1\"";
    if (!validation.showDropDown)
        out += " showDropDown=\"1\""; // the file stores the arrow's absence
    if (validation.showInputMessage)
        out += " showInputMessage=\"1\"";
    if (validation.showErrorMessage)
        out += " showErrorMessage=\"1\"";
    const std::pair<const char*, const std::string*> texts[] = {
        {"errorTitle", &validation.errorTitle},
        {"error", &validation.error},
        {"promptTitle", &validation.promptTitle},
        {"prompt", &validation.prompt}};
    for (const auto& [name, text] : texts)
        if (!text->empty())
            appendAttribute(out, name, *text);
    out += " sqref=\"" + rangeList(validation.ranges) + "\">";
    const std::pair<const char*, const std::string*> formulas[] = {
        {"formula1", &validation.formula1}, {"formula2", &validation.formula2}};
    for (const auto& [name, formula] : formulas) {
        if (formula->empty())
            continue;
        out += std::string("<") + name + ">";
        appendElementText(out, *formula);
        out += std::string("</") + name + ">";
    }
    out += "</dataValidation>";
}

void appendValidations(std::string& out, const std::vector<DataValidation>& validations) {
    long count = 0;
    for (const DataValidation& validation : validations)
        count += !rangeList(validation.ranges).empty();
    if (count == 0)
        return;
    out += "<dataValidations";
    appendAttribute(out, "count", count);
    out += '>';
    for (const DataValidation& validation : validations)
        if (!rangeList(validation.ranges).empty())
            appendValidation(out, validation);
    out += "</dataValidations>";
}

bool isWritable(const Hyperlink& link) {
    return isOnSheet(link.range) && (!link.target.empty() || !link.location.empty());
}

void appendHyperlinks(std::string& out, const Worksheet& sheet, const SheetLinks& links) {
    if (std::none_of(sheet.hyperlinks.begin(), sheet.hyperlinks.end(), isWritable))
        return;
    out += "<hyperlinks>";
    for (std::size_t i = 0; i < sheet.hyperlinks.size(); ++i) {
        const Hyperlink& link = sheet.hyperlinks[i];
        if (!isWritable(link))
            continue;
        out += "<hyperlink ref=\"" + rangeReference(link.range) + "\"";
        if (i < links.hyperlinkIds.size() && !links.hyperlinkIds[i].empty())
            appendAttribute(out, "r:id", links.hyperlinkIds[i]);
        if (!link.location.empty())
            appendAttribute(out, "location", link.location);
        if (!link.tooltip.empty())
            appendAttribute(out, "tooltip", link.tooltip);
        if (!link.display.empty())
            appendAttribute(out, "display", link.display);
        out += "/>";
    }
    out += "</hyperlinks>";
}

void appendPrintOptions(std::string& out, const PageSetup& setup) {
    if (!setup.centerHorizontally && !setup.centerVertically && !setup.printHeadings &&
        !setup.printGridlines)
        return;
    out += "<printOptions";
    if (setup.centerHorizontally)
        out += " horizontalCentered=\"1\"";
    if (setup.centerVertically)
        out += " verticalCentered=\"1\"";
    if (setup.printHeadings)
        out += " headings=\"1\"";
    if (setup.printGridlines)
        out += " gridLines=\"1\"";
    out += "/>";
}

void appendMargins(std::string& out, const PageSetup& setup) {
    out += "<pageMargins";
    appendAttribute(out, "left", setup.leftMargin);
    appendAttribute(out, "right", setup.rightMargin);
    appendAttribute(out, "top", setup.topMargin);
    appendAttribute(out, "bottom", setup.bottomMargin);
    appendAttribute(out, "header", setup.headerMargin);
    appendAttribute(out, "footer", setup.footerMargin);
    out += "/>";
}

void appendPageSetup(std::string& out, const PageSetup& setup) {
    out += "<pageSetup";
    if (setup.paperSizeSet && setup.paperSize > 0 && setup.paperSize < 256)
        appendAttribute(out, "paperSize", static_cast<long>(setup.paperSize));
    if (setup.scale != 100 && setup.scale >= 10 && setup.scale <= 400)
        appendAttribute(out, "scale", static_cast<long>(setup.scale));
    if (setup.firstPageNumber > 0)
        appendAttribute(out, "firstPageNumber", static_cast<long>(setup.firstPageNumber));
    if (setup.fitToPages) {
        appendAttribute(out, "fitToWidth", static_cast<long>(std::clamp(setup.fitWidth, 0, 32767)));
        appendAttribute(out, "fitToHeight",
                        static_cast<long>(std::clamp(setup.fitHeight, 0, 32767)));
    }
    if (!setup.downThenOver)
        out += " pageOrder=\"overThenDown\"";
    out += setup.orientation == 2 ? " orientation=\"landscape\"" : " orientation=\"portrait\"";
    if (setup.blackAndWhite)
        out += " blackAndWhite=\"1\"";
    if (setup.draft)
        out += " draft=\"1\"";
    if (setup.firstPageNumber > 0)
        out += " useFirstPageNumber=\"1\"";
    out += "/>";
}

void appendHeaderFooter(std::string& out, const HeaderFooter& texts) {
    if (texts == HeaderFooter{})
        return;
    out += "<headerFooter";
    if (texts.differentOddEven)
        out += " differentOddEven=\"1\"";
    if (texts.differentFirst)
        out += " differentFirst=\"1\"";
    if (!texts.scaleWithDocument)
        out += " scaleWithDoc=\"0\"";
    if (!texts.alignWithMargins)
        out += " alignWithMargins=\"0\"";
    out += '>';
    const std::pair<const char*, const std::string*> parts[] = {
        {"oddHeader", &texts.oddHeader},     {"oddFooter", &texts.oddFooter},
        {"evenHeader", &texts.evenHeader},   {"evenFooter", &texts.evenFooter},
        {"firstHeader", &texts.firstHeader}, {"firstFooter", &texts.firstFooter}};
    for (const auto& [name, text] : parts) {
        if (text->empty())
            continue;
        out += std::string("<") + name + ">";
        appendElementText(out, *text);
        out += std::string("</") + name + ">";
    }
    out += "</headerFooter>";
}

void appendBreaks(std::string& out, const char* element, std::vector<long> breaks, long limit,
                  long across) {
    breaks.erase(std::remove_if(breaks.begin(), breaks.end(),
                                [&](long at) { return at < 1 || at >= limit; }),
                 breaks.end());
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    if (breaks.empty())
        return;
    out += '<';
    out += element;
    appendAttribute(out, "count", static_cast<long>(breaks.size()));
    appendAttribute(out, "manualBreakCount", static_cast<long>(breaks.size()));
    out += '>';
    for (long at : breaks) {
        out += "<brk";
        appendAttribute(out, "id", at);
        appendAttribute(out, "max", across);
        out += " man=\"1\"/>";
    }
    out += "</";
    out += element;
    out += '>';
}

std::string withId(const std::string& elementXml, const std::string& id) {
    std::string xml = elementXml;
    for (std::size_t at = xml.find("{rId}"); at != std::string::npos; at = xml.find("{rId}", at))
        xml.replace(at, 5, id), at += id.size();
    return xml;
}

// Single elements holding only a relationship id, in schema order; then the lists.
void appendAttachments(std::string& out, const SheetLinks& links) {
    const auto single = [&](const char* element, const std::string& id) {
        out += '<';
        out += element;
        appendAttribute(out, "r:id", id);
        out += "/>";
    };
    const auto firstOf = [&](std::string_view element) -> const std::string* {
        for (const auto& [attachment, id] : links.attachments)
            if (attachment->element == element)
                return &id;
        return nullptr;
    };
    if (const std::string* id = firstOf("drawing"))
        single("drawing", *id);
    if (!links.legacyDrawingId.empty())
        single("legacyDrawing", links.legacyDrawingId);
    else if (const std::string* id = firstOf("legacyDrawing"))
        single("legacyDrawing", *id);
    if (const std::string* id = firstOf("legacyDrawingHF"))
        single("legacyDrawingHF", *id);
    if (const std::string* id = firstOf("picture"))
        single("picture", *id);
    const auto list = [&](const char* listElement, std::string_view element) {
        std::string items;
        long count = 0;
        for (const auto& [attachment, id] : links.attachments) {
            if (attachment->element != element)
                continue;
            ++count;
            if (!attachment->elementXml.empty() &&
                isWellFormed(withId(attachment->elementXml, "x")))
                items += withId(attachment->elementXml, id);
            else
                items += "<" + std::string(element) + " r:id=\"" + id + "\"/>";
        }
        if (count == 0)
            return;
        out += '<';
        out += listElement;
        if (element == "tablePart")
            appendAttribute(out, "count", count);
        out += '>' + items + "</" + listElement + '>';
    };
    list("oleObjects", "oleObject");
    list("controls", "control");
    list("tableParts", "tablePart");
}

} // namespace

void appendSheetTail(std::string& out, const Worksheet& sheet, const SheetLinks& links,
                     StylesPart& styles) {
    appendProtection(out, sheet.protection);
    appendMerges(out, sheet.merges);
    appendConditionalFormats(out, sheet.conditionalFormats, styles);
    appendValidations(out, sheet.dataValidations);
    appendHyperlinks(out, sheet, links);
    const PageSetup& setup = sheet.pageSetup;
    appendPrintOptions(out, setup);
    appendMargins(out, setup);
    appendPageSetup(out, setup);
    appendHeaderFooter(out, setup.headerFooter);
    appendBreaks(out, "rowBreaks", setup.rowBreaks, kMaxRows, kMaxColumns - 1);
    appendBreaks(out, "colBreaks", setup.columnBreaks, kMaxColumns, kMaxRows - 1);
    appendAttachments(out, links);
    out += "</worksheet>";
}

} // namespace sheet
