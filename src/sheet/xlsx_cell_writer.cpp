#include "sheet/xlsx_cell_writer.h"

#include "sheet/a1_reference.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xlsx_string_items.h"
#include "sheet/xlsx_xml_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace sheet {

namespace {

constexpr std::size_t kMaxTextCharacters = 32767;
constexpr std::size_t kMaxFormulaCharacters = 8192;
constexpr std::string_view kNumberError = "#NUM!";
constexpr std::string_view kCellOpening = "<c r=\"";

MarkupPiece pieceOf(std::string_view first, std::string_view second = {}) {
    MarkupPiece piece;
    for (std::string_view part : {first, second}) {
        const std::size_t taken = std::min(part.size(), MarkupPiece::kRoom - piece.size);
        part.copy(piece.bytes + piece.size, taken);
        piece.size = static_cast<unsigned char>(piece.size + taken);
    }
    return piece;
}

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

    void add(const MarkupPiece& piece) {
        makeRoom(MarkupPiece::kRoom);
        std::memcpy(buffer_ + used_, piece.bytes, MarkupPiece::kRoom);
        used_ += piece.size;
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

    // Appends what was gathered to the part; needed before writing to the part directly.
    void flush() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

private:
    static constexpr std::size_t kRoom = 192;

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

// The t attribute a cell is written with.
enum class CellTypeAttribute { None, SharedString, InlineString, FormulaString, Boolean, Error };

void addType(CellMarkup& markup, CellTypeAttribute type) {
    switch (type) {
    case CellTypeAttribute::None:
        return;
    case CellTypeAttribute::SharedString:
        markup.add(" t=\"s\"");
        return;
    case CellTypeAttribute::InlineString:
        markup.add(" t=\"inlineStr\"");
        return;
    case CellTypeAttribute::FormulaString:
        markup.add(" t=\"str\"");
        return;
    case CellTypeAttribute::Boolean:
        markup.add(" t=\"b\"");
        return;
    case CellTypeAttribute::Error:
        markup.add(" t=\"e\"");
        return;
    }
}

// A value written as text: text, and error text that is no error code (damaged input, shown
// as the text it is, never read as anything else).
bool isTextValue(const CellValue& value) {
    return value.type == CellType::Text ||
           (value.type == CellType::Error && !isKnownErrorCode(value.text));
}

// The type of a value that is no text; NaN and infinities are written as #NUM!.
CellTypeAttribute typeOfPlainValue(const CellValue& value) {
    switch (value.type) {
    case CellType::Number:
        return std::isfinite(value.number) ? CellTypeAttribute::None : CellTypeAttribute::Error;
    case CellType::Boolean:
        return CellTypeAttribute::Boolean;
    case CellType::Error:
        return CellTypeAttribute::Error;
    case CellType::Text:
    case CellType::Empty:
        break;
    }
    return CellTypeAttribute::None;
}

// The <v> text of a value that is no text; numbers, booleans and known error codes need no
// escaping.
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

// The start of a cell's tag up to its type: `<c r="B7" s="3" t="s"`.
struct CellOpening {
    const MarkupPiece& column;
    const MarkupPiece& row;
    const MarkupPiece& format;

    void addTo(CellMarkup& markup, CellTypeAttribute type) const {
        markup.add(column);
        markup.add(row);
        markup.add(format);
        addType(markup, type);
    }
};

// A text value: shared when `sharedIndex` gives its index, else inline.
template <typename SharedIndex>
void appendText(CellMarkup& markup, std::string& out, const SharedIndex& sharedIndex,
                const CellOpening& opening, std::string_view text, const RichText* runs) {
    if (text.empty()) {
        opening.addTo(markup, CellTypeAttribute::None);
        markup.add("/>");
        markup.flush();
        return;
    }
    if (const std::optional<long> index = sharedIndex()) {
        opening.addTo(markup, CellTypeAttribute::SharedString);
        markup.add("><v>");
        markup.addInteger(*index);
        markup.add("</v></c>");
        markup.flush();
        return;
    }
    opening.addTo(markup, CellTypeAttribute::InlineString);
    markup.add("><is>");
    markup.flush();
    appendStringItem(out, text, runs);
    out += "</is></c>";
}

// A cell with a formula: the formula, then its cached result when it has one.
void appendFormulaCell(CellMarkup& markup, std::string& out, const CellOpening& opening,
                       const Cell& cell) {
    const bool text = isTextValue(cell.value);
    opening.addTo(markup, text ? CellTypeAttribute::FormulaString : typeOfPlainValue(cell.value));
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

long CellWriter::indexText(const Cell& cell, SharedStrings& strings) {
    if (!cell.formula.empty() || !isTextValue(cell.value) || cell.value.text.empty())
        return -1;
    return strings.indexOf(cell.value.text, runsOf(cell));
}

void CellWriter::startRow(long row) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, row).ptr;
    rowEnding_ = pieceOf(std::string_view(digits, static_cast<std::size_t>(end - digits)), "\"");
}

const MarkupPiece& CellWriter::columnOpening(long column) {
    const auto at = static_cast<std::size_t>(column);
    if (at >= columnOpenings_.size())
        columnOpenings_.resize(at + 1);
    MarkupPiece& opening = columnOpenings_[at];
    if (opening.size == 0)
        opening = pieceOf(kCellOpening, columnLetters(column));
    return opening;
}

const MarkupPiece& CellWriter::formatAttribute(int format) {
    // Formats are indices into the written cell formats, so the cache is as long as they are
    // many; a negative one, which no index is, is left out as the default is.
    static const MarkupPiece kNone;
    if (format <= 0)
        return kNone;
    const auto at = static_cast<std::size_t>(format);
    if (at >= formatAttributes_.size())
        formatAttributes_.resize(at + 1);
    MarkupPiece& attribute = formatAttributes_[at];
    if (attribute.size == 0) {
        char digits[16];
        char* end = std::to_chars(digits, digits + sizeof digits, format).ptr;
        attribute = pieceOf(" s=\"", std::string(digits, end) + '"');
    }
    return attribute;
}

std::string CellWriter::reference(long column) const {
    std::string text(columnOpenings_[static_cast<std::size_t>(column)].view());
    text.erase(0, kCellOpening.size());
    const std::string_view row = rowEnding_.view();
    text += row.substr(0, row.size() - 1);
    return text;
}

void CellWriter::checkLengths(const Cell& cell, long column, std::string_view sheetName) const {
    const auto where = [&] { return std::string(sheetName) + "!" + reference(column); };
    const bool textValue = cell.value.type == CellType::Text || cell.value.type == CellType::Error;
    if (textValue && cell.value.text.size() > kMaxTextCharacters &&
        characterCount(cell.value.text) > kMaxTextCharacters)
        throwFileError(path_, io_messages::kTextTooLong, where());
    if (cell.formula.size() > kMaxFormulaCharacters &&
        characterCount(cell.formula) > kMaxFormulaCharacters)
        throwFileError(path_, io_messages::kFormulaTooLong, where());
}

void CellWriter::append(std::string& out, long column, const Cell& cell, int format,
                        std::string_view sheetName) {
    const bool noFormula = cell.formula.empty();
    if (noFormula && cell.value.empty() && format == 0)
        return;
    const CellOpening opening{columnOpening(column), rowEnding_, formatAttribute(format)};
    CellMarkup markup(out);
    if (noFormula && cell.value.empty()) {
        opening.addTo(markup, CellTypeAttribute::None);
        markup.add("/>");
        markup.flush();
        return;
    }
    const bool mayBeTooLong =
        cell.value.type == CellType::Text || cell.value.type == CellType::Error || !noFormula;
    if (mayBeTooLong && (cell.value.text.size() > kMaxTextCharacters ||
                         cell.formula.size() > kMaxFormulaCharacters))
        checkLengths(cell, column, sheetName);
    if (!noFormula) {
        appendFormulaCell(markup, out, opening, cell);
        return;
    }
    if (isTextValue(cell.value)) {
        const RichText* runs = runsOf(cell);
        const auto sharedIndex = [&]() -> std::optional<long> {
            if (!strings_)
                return std::nullopt;
            if (!indices_)
                return strings_->indexOf(cell.value.text, runs);
            if (nextIndex_ >= indices_->size())
                throw std::logic_error("a text cell was written that was not indexed");
            return (*indices_)[nextIndex_++];
        };
        appendText(markup, out, sharedIndex, opening, cell.value.text, runs);
        return;
    }
    opening.addTo(markup, typeOfPlainValue(cell.value));
    markup.add("><v>");
    addPlainValue(markup, cell.value);
    markup.add("</v></c>");
    markup.flush();
}

} // namespace sheet
