#include "sheet/xlsx_sheet_data.h"

#include "sheet/a1_reference.h"
#include "sheet/date_serial.h"
#include "sheet/file_error.h"
#include "sheet/io_messages.h"
#include "sheet/xml_part.h"
#include "sheet/xml_scanner.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <unordered_map>

namespace sheet {

namespace {

using Token = XmlScanner::Token;

// Everything of a worksheet but its cells: views, columns, merges, formats, page setup. A
// sound sheet's is a tiny fraction of this; it is read as a document tree.
constexpr std::size_t kMaxWorksheetRestBytes = std::size_t{16} << 20;
// Room a row may keep beyond its cells once read.
constexpr std::size_t kRoomLeftOver = 8;

constexpr std::array<std::string_view, 8> kErrorValues{
    "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "#GETTING_DATA"};

struct SharedFormula {
    long row = 0;
    long column = 0;
    std::string text;
};

// The parts of one <c> element found past its plain <v>, for the cells read by the general
// walk. Views point into the part's text or into the strings held here.
struct RawCell {
    std::string_view value;
    std::string valueRead; // the value when it had to be decoded
    bool hasValue = false;
    std::string formula;
    bool hasFormula = false;
    std::string formulaKind;
    std::string sharedIndex;
    StringItem inlineText;
    bool hasInline = false;
};

std::string decoded(std::string_view raw) {
    std::string out;
    appendDecodedXml(out, raw);
    return out;
}

// `raw` decoded, in `storage` only when decoding changes it.
std::string_view decodedView(std::string_view raw, std::string& storage) {
    if (raw.find('&') == std::string_view::npos && raw.find('\r') == std::string_view::npos)
        return raw;
    appendDecodedXml(storage, raw);
    return storage;
}

// "nan", "inf" and the like: spelled as a number, but no number a cell can hold.
bool isNonFiniteNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower == "nan" || lower == "inf" || lower == "infinity" ||
           (!lower.empty() && lower.find_first_not_of("0123456789.e+-") == std::string::npos &&
            std::isinf(std::strtod(lower.c_str(), nullptr)));
}

// Calls `onChild(localName)` for every child element of the element whose start tag was just
// read, then consumes its end tag. `onChild` consumes the child: reads it or skips it.
template <typename OnChild>
void forEachChild(XmlScanner& scanner, const char* notClosed, OnChild&& onChild) {
    if (scanner.selfClosing())
        return;
    const std::string_view name = scanner.qualifiedName();
    for (;;) {
        switch (scanner.next()) {
        case Token::StartTag:
            onChild(scanner.localName());
            break;
        case Token::EndTag:
            if (scanner.qualifiedName() != name)
                throw XmlSyntaxError{scanner.tokenStart(), "end tag does not match"};
            return;
        case Token::End:
            throw XmlSyntaxError{scanner.position(), notClosed};
        default:
            break;
        }
    }
}

// The font of a run, from its <rPr> element's text. Runs are few, so each is read as a small
// document of its own.
std::optional<Font> readRunFont(std::string_view element, const ColorResolver& colors) {
    pugi::xml_document doc;
    if (!doc.load_buffer(element.data(), element.size(), pugi::parse_default, pugi::encoding_utf8))
        throw XmlSyntaxError{0, "run properties malformed"};
    return readFontElement(doc.first_child(), colors);
}

// A rich-text run whose start tag was just read: the text of its first <t>, and its font.
TextRun readRun(XmlScanner& scanner, const ColorResolver& colors) {
    TextRun run;
    std::string raw;
    bool tookText = false;
    forEachChild(scanner, "run not closed", [&](std::string_view child) {
        if (child == "t" && !tookText) {
            scanner.appendElementText(raw);
            tookText = true;
        } else if (child == "rPr") {
            const std::size_t start = scanner.tokenStart();
            scanner.skipElement();
            run.font = readRunFont(scanner.source(start, scanner.position()), colors);
        } else {
            scanner.skipElement();
        }
    });
    run.text = decodeEscapes(raw);
    return run;
}

// One run without a font of its own is plain text.
bool isPlain(const RichText& runs) {
    return runs.empty() || (runs.size() == 1 && !runs.front().font);
}

// A shared or inline string whose start tag was just read: plain <t>, or the runs of rich
// text with their fonts; phonetic guides are left out.
StringItem readStringItem(XmlScanner& scanner, const ColorResolver& colors) {
    StringItem item;
    RichText runs;
    forEachChild(scanner, "string not closed", [&](std::string_view child) {
        if (child == "t") {
            std::string raw;
            scanner.appendElementText(raw);
            item.text += decodeEscapes(raw);
        } else if (child == "r") {
            runs.push_back(readRun(scanner, colors));
            item.text += runs.back().text;
        } else {
            scanner.skipElement();
        }
    });
    if (!isPlain(runs))
        item.runs = std::make_shared<const RichText>(std::move(runs));
    return item;
}

class SheetDataReader {
public:
    SheetDataReader(XmlScanner& scanner, const SheetDataContext& context, Worksheet& sheet)
        : scanner_(scanner), context_(context), sheet_(sheet) {}

    // Reads from just after <sheetData> up to and including its end tag.
    void read() {
        forEachChild(scanner_, "sheetData not closed", [this](std::string_view child) {
            if (child == "row")
                readRow();
            else
                scanner_.skipElement();
        });
    }

private:
    [[noreturn]] void outOfRange(std::string_view what) const {
        throwFileError(context_.path, io_messages::kOutOfRange,
                       context_.part + ": " + std::string(what));
    }
    [[noreturn]] void damaged(const char* reason, std::string_view what) const {
        throwFileError(context_.path, reason, context_.part + ": " + std::string(what));
    }

    // The cell format index written in an "s" attribute; a number that is no index at all is
    // damage.
    long formatIndex(std::string_view text) const {
        auto index = parseInteger(text);
        if (!index || *index < 0)
            damaged(io_messages::kBadNumber, "s=\"" + std::string(text) + '"');
        return *index;
    }

    // The model style of a cell format index; one past the formats falls back to the default.
    int styleOfFormat(long index) const {
        const auto& styles = context_.styleOfFormat;
        if (index >= static_cast<long>(styles.size()))
            return styles.front();
        return styles[static_cast<std::size_t>(index)];
    }

    int styleOf(std::string_view text) const { return styleOfFormat(formatIndex(text)); }

    void readRow() {
        const auto [r, ht, hidden, customFormat, s, spans] =
            scanner_.attributes({"r", "ht", "hidden", "customFormat", "s", "spans"});
        if (r) {
            auto number = parseInteger(*r);
            if (!number || *number < 1 || *number > kMaxRows)
                outOfRange("row " + std::string(*r));
            row_ = *number;
        } else if (++row_ > kMaxRows) {
            outOfRange("row");
        }
        readRowLayout(ht, hidden, customFormat, s);
        column_ = 0;
        cells_ = nullptr;
        expectedCells_ = expectedCells(spans);
        forEachChild(scanner_, "row not closed", [this](std::string_view child) {
            if (child == "c")
                readCell();
            else
                scanner_.skipElement();
        });
        // A row that claimed more cells than it held gives the room back.
        if (cells_ && cells_->capacity() > cells_->size() + kRoomLeftOver)
            cells_->shrink_to_fit();
    }

    // The cells a row's "spans" ("1:16") announces, as room to make before its first cell;
    // capped, since nothing holds a file to what it announces.
    static std::size_t expectedCells(std::optional<std::string_view> spans) {
        constexpr long kMostAnnounced = 64;
        if (!spans)
            return 0;
        const std::size_t colon = spans->find(':');
        if (colon == std::string_view::npos)
            return 0;
        const auto first = parseInteger(spans->substr(0, colon));
        const auto last = parseInteger(spans->substr(colon + 1));
        if (!first || !last || *last < *first)
            return 0;
        return static_cast<std::size_t>(std::min(*last - *first + 1, kMostAnnounced));
    }

    using Attribute = std::optional<std::string_view>;

    void readRowLayout(Attribute ht, Attribute hidden, Attribute customFormat, Attribute s) {
        if (ht) {
            if (auto height = parseNumber(*ht); height && *height >= 0 && *height <= 409.5)
                sheet_.rowHeights[row_] = *height;
        }
        if (isTrue(hidden))
            sheet_.hiddenRows.push_back(row_);
        if (isTrue(customFormat))
            sheet_.rowStyles[row_] = s ? styleOf(*s) : context_.styleOfFormat.front();
    }

    static bool isTrue(std::optional<std::string_view> value) {
        return value && (*value == "1" || *value == "true" || *value == "on");
    }

    void readCell() {
        const auto [r, styleText, typeText] = scanner_.attributes({"r", "s", "t"});
        if (r) {
            auto address = parseCellAddress(*r);
            // The row element is authoritative; a cell naming another row is misplaced.
            if (!address || address->row != row_)
                damaged(io_messages::kBadReference, *r);
            column_ = address->column;
        } else if (++column_ > kMaxColumns) {
            outOfRange("column");
        }
        const long format = styleText ? formatIndex(*styleText) : 0;
        Cell cell;
        cell.style = styleOfFormat(format);
        std::string typeDecoded;
        const std::string_view type = decodedView(typeText.value_or(""), typeDecoded);
        readContent(type, cell);
        if (cell.value.empty() && cell.formula.empty() && format == 0)
            return;
        if (--context_.cellsLeft < 0)
            damaged(io_messages::kTooManyCells, cellAddressText(row_, column_));
        if (!cells_) {
            cells_ = &sheet_.rows()[row_];
            if (cells_->empty())
                cells_->reserve(expectedCells_);
        }
        cells_->insert_or_assign(cells_->end(), column_, std::move(cell));
    }

    // Reads the cell's children, from just after its start tag up to and including its end
    // tag, into `cell`. The common cell whose only child is a plain <v> is read past the
    // general walk.
    void readContent(std::string_view type, Cell& cell) {
        if (scanner_.selfClosing())
            return;
        const std::optional<std::string_view> value = scanner_.takePlainElement("v");
        if (value && scanner_.takeEndTag(scanner_.qualifiedName())) {
            fillValue(type, true, *value, cell);
            return;
        }
        RawCell raw;
        if (value) {
            raw.hasValue = true;
            raw.value = *value;
        }
        forEachChild(scanner_, "cell not closed",
                     [this, &raw](std::string_view child) { readCellChild(raw, child); });
        fillCell(raw, type, cell);
    }

    void readCellChild(RawCell& raw, std::string_view name) {
        if (name == "v") {
            raw.hasValue = true;
            raw.valueRead.clear();
            scanner_.appendElementText(raw.valueRead);
            raw.value = raw.valueRead;
        } else if (name == "f") {
            raw.hasFormula = true;
            raw.formulaKind = decoded(scanner_.attribute("t").value_or(""));
            raw.sharedIndex = decoded(scanner_.attribute("si").value_or(""));
            raw.formula.clear();
            scanner_.appendElementText(raw.formula);
        } else if (name == "is") {
            raw.hasInline = true;
            raw.inlineText = readStringItem(scanner_, context_.colors);
        } else {
            scanner_.skipElement();
        }
    }

    void fillCell(RawCell& raw, std::string_view type, Cell& cell) {
        if (raw.hasFormula)
            cell.formula = formulaText(raw);
        if (type == "inlineStr" && raw.hasInline) {
            cell.value = CellValue::Text(std::move(raw.inlineText.text));
            cell.richText = std::move(raw.inlineText.runs);
            return;
        }
        fillValue(type, raw.hasValue, raw.value, cell);
    }

    void fillValue(std::string_view type, bool hasValue, std::string_view text, Cell& cell) {
        // An inline string's value is its <is>; an empty <v/> holds no value whatever the
        // cell's type says.
        if (type == "inlineStr" || !hasValue || (text.empty() && type != "str"))
            return;
        if (type.empty() || type == "n") {
            if (auto number = parseNumber(text))
                cell.value = CellValue::Number(*number);
            else if (isNonFiniteNumber(text))
                cell.value = CellValue::Error("#NUM!");
        } else if (type == "s") {
            auto index = parseInteger(text);
            const auto& strings = context_.strings;
            if (!index || *index < 0 || *index >= static_cast<long>(strings.texts.size()))
                damaged(io_messages::kTooManyStrings, cellAddressText(row_, column_));
            const auto at = static_cast<std::size_t>(*index);
            cell.value = CellValue::Text(strings.texts[at]);
            cell.richText = strings.runs[at];
        } else if (type == "str") {
            cell.value = CellValue::Text(decodeEscapes(text));
        } else if (type == "b") {
            cell.value = CellValue::Boolean(text == "1" || text == "true");
        } else if (type == "e") {
            if (!isKnownErrorValue(text))
                damaged(io_messages::kUnknownErrorValue, cellAddressText(row_, column_));
            cell.value = CellValue::Error(text);
        } else if (type == "d") {
            if (auto serial = serialFromIsoText(text, context_.date1904))
                cell.value = CellValue::Number(*serial);
            else
                cell.value = CellValue::Text(text);
        }
    }

    std::string formulaText(RawCell& raw) {
        std::string_view text = raw.formula;
        if (!text.empty() && text.front() == '=')
            text.remove_prefix(1);
        if (raw.formulaKind == "dataTable")
            return {};
        if (raw.formulaKind != "shared" || raw.sharedIndex.empty())
            return std::string(text);
        if (!text.empty()) {
            sharedFormulas_[raw.sharedIndex] = SharedFormula{row_, column_, std::string(text)};
            return std::string(text);
        }
        auto master = sharedFormulas_.find(raw.sharedIndex);
        if (master == sharedFormulas_.end())
            return {};
        return shiftFormula(master->second.text, row_ - master->second.row,
                            column_ - master->second.column);
    }

    XmlScanner& scanner_;
    const SheetDataContext& context_;
    Worksheet& sheet_;
    long row_ = 0;
    long column_ = 0;
    CellRow* cells_ = nullptr;
    std::size_t expectedCells_ = 0; // as the row's spans announce
    std::unordered_map<std::string, SharedFormula> sharedFormulas_;
};

struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    std::string emptyElement;
};

// Walks the part's elements and reads each <sheetData> child of the root as it comes.
std::vector<Span> readAllSheetData(std::string_view text, const SheetDataContext& context,
                                   Worksheet& sheet) {
    std::vector<Span> spans;
    XmlScanner scanner(text);
    long depth = 0;
    for (;;) {
        switch (scanner.next()) {
        case Token::StartTag:
            if (scanner.selfClosing())
                break;
            if (depth == 1 && scanner.localName() == "sheetData") {
                Span span;
                span.start = scanner.tokenStart();
                span.emptyElement = '<' + std::string(scanner.qualifiedName()) + "/>";
                SheetDataReader(scanner, context, sheet).read();
                span.end = scanner.position();
                spans.push_back(std::move(span));
                break;
            }
            ++depth;
            break;
        case Token::EndTag:
            --depth;
            break;
        case Token::End:
            return spans;
        default:
            break;
        }
    }
}

} // namespace

bool isKnownErrorValue(std::string_view code) {
    for (std::string_view known : kErrorValues)
        if (code == known)
            return true;
    return false;
}

std::string readSheetData(std::string text, const SheetDataContext& context, Worksheet& sheet) {
    std::vector<Span> spans;
    try {
        spans = readAllSheetData(text, context, sheet);
    } catch (const XmlSyntaxError& error) {
        throwFileError(context.path, io_messages::kMalformedXml,
                       context.part + ": " + error.what + " @" + std::to_string(error.offset));
    } catch (const XmlDoctypeError&) {
        throwFileError(context.path, io_messages::kDoctype, context.part);
    }
    for (auto span = spans.rbegin(); span != spans.rend(); ++span)
        text.replace(span->start, span->end - span->start, span->emptyElement);
    if (text.size() > kMaxWorksheetRestBytes)
        throwFileError(context.path, io_messages::kWorksheetRestTooLarge,
                       context.part + ", " + std::to_string(kMaxWorksheetRestBytes >> 20) + " MB");
    text.shrink_to_fit();
    return text;
}

SharedStrings readSharedStrings(const std::string& text, const std::string& path,
                                const std::string& part, long itemsAllowed,
                                const ColorResolver& colors) {
    SharedStrings strings;
    try {
        XmlScanner scanner(text);
        long depth = 0;
        for (Token token = scanner.next(); token != Token::End; token = scanner.next()) {
            if (token == Token::StartTag && depth == 1 && scanner.localName() == "si") {
                if (static_cast<long>(strings.texts.size()) >= itemsAllowed)
                    throwFileError(path, io_messages::kTooManyCells, part);
                StringItem item = readStringItem(scanner, colors);
                strings.texts.push_back(std::move(item.text));
                strings.runs.push_back(std::move(item.runs));
            } else if (token == Token::StartTag && !scanner.selfClosing()) {
                ++depth;
            } else if (token == Token::EndTag) {
                --depth;
            }
        }
        if (depth != 0)
            throw XmlSyntaxError{text.size(), "element not closed"};
    } catch (const XmlSyntaxError& error) {
        throwFileError(path, io_messages::kMalformedXml,
                       part + ": " + error.what + " @" + std::to_string(error.offset));
    } catch (const XmlDoctypeError&) {
        throwFileError(path, io_messages::kDoctype, part);
    }
    return strings;
}

} // namespace sheet
