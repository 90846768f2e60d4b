#include "sheet/xlsx_cell_writer.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_string_items.h"
#include "sheet/xlsx_xml_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace sheet {

namespace {

constexpr std::size_t kMaxTextCharacters = 32767;
constexpr std::size_t kMaxFormulaCharacters = 8192;
constexpr std::string_view kNumberError = "#NUM!";

// The type and the <v> text a value is written with.
struct WrittenValue {
    std::string_view type; // "" for a number
    std::string_view text;
    bool isText = false; // text value, written as a string item
};

WrittenValue writtenValue(const CellValue& value, std::string& numberBuffer) {
    switch (value.type) {
    case CellType::Number:
        if (!std::isfinite(value.number))
            return {"e", kNumberError};
        appendNumber(numberBuffer, value.number);
        return {"", numberBuffer};
    case CellType::Boolean:
        return {"b", value.number != 0 ? "1" : "0"};
    case CellType::Error:
        if (isKnownErrorCode(value.text))
            return {"e", value.text};
        // Damaged input: shown as the text it is, never read as anything else.
        return {"", value.text, true};
    case CellType::Text:
        return {"", value.text, true};
    case CellType::Empty:
        break;
    }
    return {};
}

void openCell(std::string& out, std::string_view reference, int format, std::string_view type) {
    out += "<c r=\"";
    out += reference;
    out += '"';
    if (format != 0) {
        char buffer[16];
        out += " s=\"";
        out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, format).ptr);
        out += '"';
    }
    if (!type.empty()) {
        out += " t=\"";
        out += type;
        out += '"';
    }
}

// The runs of a rich-text value, when they still spell the value.
const RichText* runsOf(const Cell& cell) {
    if (cell.value.type != CellType::Text || !cell.richText || cell.richText->empty())
        return nullptr;
    std::size_t length = 0;
    for (const TextRun& run : *cell.richText)
        length += run.text.size();
    if (length != cell.value.text.size())
        return nullptr;
    std::size_t at = 0;
    for (const TextRun& run : *cell.richText) {
        if (cell.value.text.str().compare(at, run.text.size(), run.text) != 0)
            return nullptr;
        at += run.text.size();
    }
    return cell.richText.get();
}

} // namespace

bool isKnownErrorCode(std::string_view code) {
    static constexpr std::array<std::string_view, 8> kCodes{
        "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "#GETTING_DATA"};
    for (std::string_view known : kCodes)
        if (code == known)
            return true;
    return false;
}

void CellWriter::check(const Cell& cell, std::string_view reference,
                       std::string_view sheetName) const {
    const auto where = [&] { return std::string(sheetName) + "!" + std::string(reference); };
    const bool textValue = cell.value.type == CellType::Text || cell.value.type == CellType::Error;
    if (textValue && cell.value.text.size() > kMaxTextCharacters &&
        characterCount(cell.value.text) > kMaxTextCharacters)
        throwFileError(path_, io_messages::kTextTooLong, where());
    if (cell.formula.size() > kMaxFormulaCharacters &&
        characterCount(cell.formula) > kMaxFormulaCharacters)
        throwFileError(path_, io_messages::kFormulaTooLong, where());
}

void CellWriter::append(std::string& out, std::string_view reference, const Cell& cell, int format,
                        std::string_view sheetName) {
    if (cell.formula.empty() && cell.value.empty()) {
        if (format == 0)
            return;
        openCell(out, reference, format, {});
        out += "/>";
        return;
    }
    check(cell, reference, sheetName);
    if (!cell.formula.empty()) {
        std::string number;
        const WrittenValue value = writtenValue(cell.value, number);
        openCell(out, reference, format, value.isText ? "str" : value.type);
        appendFormula(out, cell);
        if (cell.value.empty()) {
            out += "</c>";
            return;
        }
        out += "<v>";
        appendCellText(out, value.text);
        out += "</v></c>";
        return;
    }
    std::string number;
    const WrittenValue value = writtenValue(cell.value, number);
    if (value.isText) {
        appendText(out, reference, format, value.text, runsOf(cell));
        return;
    }
    openCell(out, reference, format, value.type);
    out += "><v>";
    out += value.text; // numbers, booleans and known error codes need no escaping
    out += "</v></c>";
}

void CellWriter::appendFormula(std::string& out, const Cell& cell) {
    out += "><f>";
    appendElementText(out, cell.formula);
    out += "</f>";
}

void CellWriter::appendText(std::string& out, std::string_view reference, int format,
                            std::string_view text, const RichText* runs) {
    if (text.empty()) {
        openCell(out, reference, format, {});
        out += "/>";
        return;
    }
    if (strings_) {
        openCell(out, reference, format, "s");
        char buffer[24];
        const long index = strings_->indexOf(text, runs);
        out += "><v>";
        out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, index).ptr);
        out += "</v></c>";
        return;
    }
    openCell(out, reference, format, "inlineStr");
    out += "><is>";
    appendStringItem(out, text, runs);
    out += "</is></c>";
}

} // namespace sheet
