#include "sheet/xlsx_styles_writer.h"

#include "sheet/number_formats.h"
#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_xml_text.h"

#include <cstdio>

namespace sheet {

namespace {

void appendColor(std::string& out, const char* element, Rgb color) {
    char text[16];
    std::snprintf(text, sizeof text, "FF%06X", static_cast<unsigned>(color & 0xFFFFFF));
    out += '<';
    out += element;
    out += " rgb=\"";
    out += text;
    out += "\"/>";
}

const char* underlineName(Underline underline) {
    switch (underline) {
    case Underline::Single:
        return "single";
    case Underline::Double:
        return "double";
    case Underline::SingleAccounting:
        return "singleAccounting";
    case Underline::DoubleAccounting:
        return "doubleAccounting";
    case Underline::None:
        break;
    }
    return nullptr;
}

void appendUnderline(std::string& out, Underline underline) {
    const char* name = underlineName(underline);
    if (!name)
        return;
    out += "<u";
    if (underline != Underline::Single)
        appendAttribute(out, "val", std::string_view(name));
    out += "/>";
}

std::string fontXml(const Font& font) {
    std::string out = "<font>";
    appendFontChildren(out, font, "name");
    return out + "</font>";
}

std::string fillXml(const Fill& fill) {
    const std::string& pattern = fill.pattern.empty() ? std::string("none") : fill.pattern;
    std::string out = "<fill><patternFill";
    appendAttribute(out, "patternType", pattern);
    if (pattern == "none" || (!fill.foreground && !fill.background))
        return out + "/></fill>";
    out += '>';
    if (fill.foreground)
        appendColor(out, "fgColor", *fill.foreground);
    if (fill.background)
        appendColor(out, "bgColor", *fill.background);
    return out + "</patternFill></fill>";
}

void appendBorderSide(std::string& out, const char* element, const BorderSide& side) {
    out += '<';
    out += element;
    if (side.style.empty() || side.style == "none") {
        out += "/>";
        return;
    }
    appendAttribute(out, "style", side.style);
    if (!side.color) {
        out += "/>";
        return;
    }
    out += '>';
    appendColor(out, "color", *side.color);
    out += "</";
    out += element;
    out += '>';
}

std::string borderXml(const Border& border) {
    std::string out = "<border";
    if (border.diagonalUp)
        out += " diagonalUp=\"1\"";
    if (border.diagonalDown)
        out += " diagonalDown=\"1\"";
    out += '>';
    appendBorderSide(out, "left", border.left);
    appendBorderSide(out, "right", border.right);
    appendBorderSide(out, "top", border.top);
    appendBorderSide(out, "bottom", border.bottom);
    appendBorderSide(out, "diagonal", border.diagonal);
    return out + "</border>";
}

std::string alignmentXml(const Alignment& alignment) {
    if (alignment == Alignment{})
        return {};
    std::string out = "<alignment";
    if (!alignment.horizontal.empty())
        appendAttribute(out, "horizontal", alignment.horizontal);
    if (!alignment.vertical.empty())
        appendAttribute(out, "vertical", alignment.vertical);
    if (alignment.rotation != 0)
        appendAttribute(out, "textRotation", static_cast<long>(alignment.rotation));
    if (alignment.wrap)
        out += " wrapText=\"1\"";
    if (alignment.indent > 0)
        appendAttribute(out, "indent", static_cast<long>(alignment.indent));
    if (alignment.shrinkToFit)
        out += " shrinkToFit=\"1\"";
    return out + "/>";
}

std::string protectionXml(const CellProtection& protection) {
    if (protection == CellProtection{})
        return {};
    std::string out = "<protection";
    if (!protection.locked)
        out += " locked=\"0\"";
    if (protection.hidden)
        out += " hidden=\"1\"";
    return out + "/>";
}

void appendList(std::string& out, const char* element, const std::vector<std::string>& items) {
    out += '<';
    out += element;
    appendAttribute(out, "count", static_cast<long>(items.size()));
    out += '>';
    for (const std::string& item : items)
        out += item;
    out += "</";
    out += element;
    out += '>';
}

std::string differentialFontXml(const DifferentialStyle& style) {
    std::string out;
    const auto flag = [&](const std::optional<bool>& value, const char* element) {
        if (!value)
            return;
        out += '<';
        out += element;
        out += *value ? "/>" : " val=\"0\"/>";
    };
    flag(style.bold, "b");
    flag(style.italic, "i");
    flag(style.strike, "strike");
    if (style.underline) {
        if (*style.underline == Underline::None)
            out += "<u val=\"none\"/>";
        else
            appendUnderline(out, *style.underline);
    }
    if (style.fontColor)
        appendColor(out, "color", *style.fontColor);
    return out.empty() ? out : "<font>" + out + "</font>";
}

// A solid differential fill shows its colour as the pattern's background.
std::string differentialFillXml(const Fill& fill) {
    if (fill.pattern != "solid")
        return fillXml(fill);
    std::string out = "<fill><patternFill>";
    if (auto color = fill.foreground ? fill.foreground : fill.background)
        appendColor(out, "bgColor", *color);
    return out + "</patternFill></fill>";
}

} // namespace

void appendFontChildren(std::string& out, const Font& font, const char* faceElement) {
    if (font.bold)
        out += "<b/>";
    if (font.italic)
        out += "<i/>";
    if (font.strike)
        out += "<strike/>";
    appendUnderline(out, font.underline);
    out += "<sz";
    appendAttribute(out, "val", font.size > 0 ? font.size : 11.0);
    out += "/>";
    if (font.color)
        appendColor(out, "color", *font.color);
    out += '<';
    out += faceElement;
    appendAttribute(out, "val", font.name.empty() ? std::string_view("Calibri") : font.name);
    out += "/>";
}

int StylesPart::indexOf(std::vector<std::string>& items, std::map<std::string, int>& index,
                        std::string item) {
    auto [found, added] = index.try_emplace(item, static_cast<int>(items.size()));
    if (added)
        items.push_back(std::move(item));
    return found->second;
}

StylesPart::StylesPart(const StyleTable& styles) {
    indexOf(fills_, fillIndex_, fillXml(Fill{}));
    indexOf(fills_, fillIndex_, fillXml(Fill{"gray125", std::nullopt, std::nullopt}));
    formatOfStyle_.reserve(static_cast<std::size_t>(styles.size()));
    for (int i = 0; i < styles.size(); ++i) {
        const Style& style = styles.at(i);
        const int numberFormat = numberFormatOf(style);
        const int font = indexOf(fonts_, fontIndex_, fontXml(style.font));
        const int fill = indexOf(fills_, fillIndex_, fillXml(style.fill));
        const int border = indexOf(borders_, borderIndex_, borderXml(style.border));
        const std::string alignment = alignmentXml(style.alignment);
        const std::string protection = protectionXml(style.protection);
        std::string xf = "<xf";
        appendAttribute(xf, "numFmtId", static_cast<long>(numberFormat));
        appendAttribute(xf, "fontId", static_cast<long>(font));
        appendAttribute(xf, "fillId", static_cast<long>(fill));
        appendAttribute(xf, "borderId", static_cast<long>(border));
        xf += " xfId=\"0\"";
        if (numberFormat != 0)
            xf += " applyNumberFormat=\"1\"";
        if (font != 0)
            xf += " applyFont=\"1\"";
        if (fill != 0)
            xf += " applyFill=\"1\"";
        if (border != 0)
            xf += " applyBorder=\"1\"";
        if (!alignment.empty())
            xf += " applyAlignment=\"1\"";
        if (!protection.empty())
            xf += " applyProtection=\"1\"";
        if (alignment.empty() && protection.empty())
            xf += "/>";
        else
            xf += ">" + alignment + protection + "</xf>";
        formatOfStyle_.push_back(indexOf(formats_, formatIndex_, std::move(xf)));
    }
    if (fonts_.empty())
        indexOf(fonts_, fontIndex_, fontXml(Font{}));
    if (borders_.empty())
        indexOf(borders_, borderIndex_, borderXml(Border{}));
}

int StylesPart::numberFormatOfCode(const std::string& code) {
    std::string escaped;
    appendAttribute(escaped, firstCharacters(code, kMaxNumberFormatCharacters));
    auto [found, added] = numberFormatIds_.try_emplace(
        escaped, kFirstCustomNumberFormat + static_cast<int>(numberFormats_.size()));
    if (added)
        numberFormats_.emplace_back(found->second, escaped);
    return found->second;
}

int StylesPart::numberFormatOf(const Style& style) {
    if (!style.numberFormatCode.empty())
        return numberFormatOfCode(style.numberFormatCode);
    if (style.numberFormatId > 0 && style.numberFormatId < kFirstCustomNumberFormat)
        return style.numberFormatId;
    return 0;
}

int StylesPart::formatOf(int styleIndex) const {
    if (styleIndex < 0 || styleIndex >= static_cast<int>(formatOfStyle_.size()))
        return formatOfStyle_.empty() ? 0 : formatOfStyle_.front();
    return formatOfStyle_[static_cast<std::size_t>(styleIndex)];
}

int StylesPart::differentialOf(const DifferentialStyle& style) {
    std::string out = "<dxf>" + differentialFontXml(style);
    if (!style.numberFormatCode.empty() || style.numberFormatId) {
        const int id = !style.numberFormatCode.empty() ? numberFormatOfCode(style.numberFormatCode)
                                                       : *style.numberFormatId;
        std::string_view code = style.numberFormatCode;
        if (code.empty())
            code = builtinNumberFormatCode(id);
        out += "<numFmt";
        appendAttribute(out, "numFmtId", static_cast<long>(id));
        appendAttribute(out, "formatCode", firstCharacters(code, kMaxNumberFormatCharacters));
        out += "/>";
    }
    if (style.fill)
        out += differentialFillXml(*style.fill);
    if (style.border)
        out += borderXml(*style.border);
    out += "</dxf>";
    return indexOf(differentials_, differentialIndex_, std::move(out));
}

std::string StylesPart::xml() const {
    std::string out = kXmlDeclaration;
    out += "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    if (!numberFormats_.empty()) {
        out += "<numFmts";
        appendAttribute(out, "count", static_cast<long>(numberFormats_.size()));
        out += '>';
        for (const auto& [id, escapedCode] : numberFormats_)
            out += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + escapedCode +
                   "\"/>";
        out += "</numFmts>";
    }
    appendList(out, "fonts", fonts_);
    appendList(out, "fills", fills_);
    appendList(out, "borders", borders_);
    out += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs>";
    appendList(out, "cellXfs", formats_);
    out += "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
           "builtinId=\"0\"/></cellStyles>";
    appendList(out, "dxfs", differentials_);
    out += "<tableStyles count=\"0\"/></styleSheet>";
    return out;
}

} // namespace sheet
