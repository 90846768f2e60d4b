#include "sheet/xlsx_string_items.h"

#include "sheet/xlsx_package_index.h"
#include "sheet/xlsx_styles_writer.h"
#include "sheet/xlsx_xml_text.h"

namespace sheet {

namespace {

bool needsPreserve(std::string_view text) {
    if (text.empty())
        return false;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return space(text.front()) || space(text.back());
}

void appendTextElement(std::string& out, std::string_view text) {
    out += needsPreserve(text) ? "<t xml:space=\"preserve\">" : "<t>";
    appendCellText(out, text);
    out += "</t>";
}

void appendRunFont(std::string& out, const Font& font) {
    out += "<rPr>";
    appendFontChildren(out, font, "rFont");
    out += "</rPr>";
}

} // namespace

void appendStringItem(std::string& out, std::string_view text, const RichText* runs) {
    if (!runs || runs->empty()) {
        appendTextElement(out, text);
        return;
    }
    for (const TextRun& run : *runs) {
        out += "<r>";
        if (run.font)
            appendRunFont(out, *run.font);
        appendTextElement(out, run.text);
        out += "</r>";
    }
}

long SharedStrings::indexOf(std::string_view text, const RichText* runs) {
    ++references_;
    const long next = static_cast<long>(items_.size());
    if (!runs || runs->empty()) {
        if (auto found = plain_.find(text); found != plain_.end())
            return found->second;
        plain_.emplace(std::string(text), next);
        std::string item;
        appendStringItem(item, text, nullptr);
        items_.push_back(std::move(item));
        return next;
    }
    std::string item;
    appendStringItem(item, text, runs);
    auto [found, added] = rich_.try_emplace(item, next);
    if (added)
        items_.push_back(std::move(item));
    return found->second;
}

std::string SharedStrings::xml() const {
    std::string out = kXmlDeclaration;
    out += "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    appendAttribute(out, "count", references_);
    appendAttribute(out, "uniqueCount", static_cast<long>(items_.size()));
    out += '>';
    for (const std::string& item : items_) {
        out += "<si>";
        out += item;
        out += "</si>";
    }
    out += "</sst>";
    return out;
}

} // namespace sheet
