#include "sheet/xlsx_cell_writer.h"

#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_string_items.h"
#include "sheet/xlsx_xml_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace sheet {

namespace {

constexpr std::size_t kMaxTextCharacters = 32767;
constexpr std::size_t kMaxFormulaCharacters = 8192;
constexpr std::string_view kNumberError = "#NUM!";

// A cell's markup gathered on the stack and appended to the part in one piece: most cells are
// a few dozen bytes, and appending each of their pieces to the part costs more than writing
// them. A piece longer than the room left goes through as it is, after what was gathered.
class CellMarkup {
public:
    explicit CellMarkup(std::string& out) : out_(out) {}

    void add(std::string_view text) {
        if (text.size() > kRoom - used_) {
            addPastRoom(text);
            return;
        }
        std::memcpy(buffer_ + used_, text.data(), text.size());
        used_ += text.size();
    }

    void addInteger(long value) {
        makeRoom(kNumberTextBytes);
        used_ = static_cast<std::size_t>(
            std::to_chars(buffer_ + used_, buffer_ + kRoom, value).ptr - buffer_);
    }

    void addNumber(double value) {
        makeRoom(kNumberTextBytes);
        used_ = static_cast<std::size_t>(writeNumber(buffer_ + used_, value) - buffer_);
    }

    // <c r="B7" s="3" t="n" without its closing bracket; no s for format 0, no t for no type.
    void openCell(std::string_view reference, int format, std::string_view type) {
        add("<c r=\"");
        add(reference);
        add("\"");
        if (format != 0) {
            add(" s=\"");
            addInteger(format);
            add("\"");
        }
        if (!type.empty()) {
            add(" t=\"");
            add(type);
            add("\"");
        }
    }

    // Appends what was gathered to the part; needed before writing to the part directly.
    void flush() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

private:
    static constexpr std::size_t kRoom = 160;

    void addPastRoom(std::string_view text) {
        flush();
        if (text.size() <= kRoom) {
            std::memcpy(buffer_, text.data(), text.size());
            used_ = text.size();
            return;
        }
        out_ += text;
    }

    void makeRoom(std::size_t bytes) {
        if (bytes > kRoom - used_)
            flush();
    }

    std::string& out_;
    char buffer_[kRoom];
    std::size_t used_ = 0;
};

// The type a value is written with: "" for a number, "s" or "inlineStr" or "str" for text.
std::string_view typeOf(const CellValue& value) {
    switch (value.type) {
    case CellType::Number:
        return std::isfinite(value.number) ? std::string_view() : "e";
    case CellType::Boolean:
        return "b";
    case CellType::Error:
        return isKnownErrorCode(value.text) ? "e" : "";
    case CellType::Text:
    case CellType::Empty:
        break;
    }
    return {};
}

// A value written as text: text, and error text that is no error code (damaged input, shown
// as the text it is, never read as anything else).
bool isTextValue(const CellValue& value) {
    return value.type == CellType::Text ||
           (value.type == CellType::Error && !isKnownErrorCode(value.text));
}

// The <v> text of a value that is no text; numbers, booleans and known error codes need no
// escaping. NaN and infinities are written as #NUM!.
void addPlainValue(CellMarkup& markup, const CellValue& value) {
    switch (value.type) {
    case CellType::Number:
        if (std::isfinite(value.number))
            markup.addNumber(value.number);
        else
            markup.add(kNumberError);
        return;
    case CellType::Boolean:
        markup.add(value.number != 0 ? "1" : "0");
        return;
    case CellType::Error:
        markup.add(value.text);
        return;
    case CellType::Text:
    case CellType::Empty:
        break;
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

// A text value: shared in `strings` when given, else inline.
void appendText(CellMarkup& markup, std::string& out, SharedStrings* strings,
                std::string_view reference, int format, std::string_view text,
                const RichText* runs) {
    if (text.empty()) {
        markup.openCell(reference, format, {});
        markup.add("/>");
        markup.flush();
        return;
    }
    if (strings) {
        markup.openCell(reference, format, "s");
        markup.add("><v>");
        markup.addInteger(strings->indexOf(text, runs));
        markup.add("</v></c>");
        markup.flush();
        return;
    }
    markup.openCell(reference, format, "inlineStr");
    markup.add("><is>");
    markup.flush();
    appendStringItem(out, text, runs);
    out += "</is></c>";
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
    CellMarkup markup(out);
    if (cell.formula.empty() && cell.value.empty()) {
        if (format == 0)
            return;
        markup.openCell(reference, format, {});
        markup.add("/>");
        markup.flush();
        return;
    }
    check(cell, reference, sheetName);
    const bool text = isTextValue(cell.value);
    if (!cell.formula.empty()) {
        markup.openCell(reference, format, text ? "str" : typeOf(cell.value));
        markup.add("><f>");
        markup.flush();
        appendElementText(out, cell.formula);
        if (cell.value.empty()) {
            out += "</f></c>";
            return;
        }
        out += "</f><v>";
        if (text) {
            appendCellText(out, cell.value.text);
        } else {
            addPlainValue(markup, cell.value);
            markup.flush();
        }
        out += "</v></c>";
        return;
    }
    if (text) {
        appendText(markup, out, strings_, reference, format, cell.value.text, runsOf(cell));
        return;
    }
    markup.openCell(reference, format, typeOf(cell.value));
    markup.add("><v>");
    addPlainValue(markup, cell.value);
    markup.add("</v></c>");
    markup.flush();
}

} // namespace sheet
