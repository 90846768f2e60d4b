#include "sheet/range_text.h"

#include <cctype>

namespace sheet::embedded {

namespace {

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// One side of a range text: letters, digits or both, each optionally after a '$'.
struct Part {
    long column = 0; // 0 when the part holds no letters
    long row = 0;    // 0 when the part holds no digits
};

std::optional<long> readNumber(const std::string& text, size_t& at) {
    size_t start = at;
    long value = 0;
    while (at < text.size() && isDigit(text[at])) {
        value = value * 10 + (text[at] - '0');
        if (value > kMaxRows)
            return std::nullopt;
        ++at;
    }
    if (at == start)
        return 0;
    if (value == 0)
        return std::nullopt; // row 0 does not exist
    return value;
}

std::optional<Part> readPart(const std::string& text) {
    Part part;
    size_t at = 0;
    if (at < text.size() && text[at] == '$')
        ++at;
    size_t lettersStart = at;
    while (at < text.size() && isLetter(text[at]))
        ++at;
    if (at > lettersStart) {
        part.column = columnNumber(text.substr(lettersStart, at - lettersStart));
        if (part.column == 0)
            return std::nullopt;
        if (at < text.size() && text[at] == '$')
            ++at;
    }
    auto row = readNumber(text, at);
    if (!row || at != text.size())
        return std::nullopt;
    part.row = *row;
    if (part.column == 0 && part.row == 0)
        return std::nullopt;
    // "$7" or "A$" are no parts; a '$' must precede something.
    if (text.back() == '$')
        return std::nullopt;
    return part;
}

} // namespace

CellArea CellArea::cell(long row, long column) {
    return {AreaKind::Cells, {row, column, row, column}};
}

CellArea CellArea::rows(long first, long last) {
    return {AreaKind::Rows, {first, 1, last, kMaxColumns}};
}

CellArea CellArea::columns(long first, long last) {
    return {AreaKind::Columns, {1, first, kMaxRows, last}};
}

CellArea CellArea::wholeSheet() {
    return {AreaKind::Sheet, {1, 1, kMaxRows, kMaxColumns}};
}

std::string columnLetters(long column) {
    std::string letters;
    while (column > 0) {
        long digit = (column - 1) % 26;
        letters.insert(letters.begin(), static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

long columnNumber(const std::string& letters) {
    if (letters.empty() || letters.size() > 3)
        return 0;
    long number = 0;
    for (char c : letters) {
        if (!isLetter(c))
            return 0;
        number = number * 26 + (std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
    }
    return number <= kMaxColumns ? number : 0;
}

std::optional<CellArea> parseRangeText(const std::string& text) {
    size_t colon = text.find(':');
    std::string firstText = colon == std::string::npos ? text : text.substr(0, colon);
    std::string lastText = colon == std::string::npos ? text : text.substr(colon + 1);
    if (firstText.empty() || lastText.empty())
        return std::nullopt;
    auto first = readPart(firstText);
    auto last = readPart(lastText);
    if (!first || !last)
        return std::nullopt;

    bool firstIsCell = first->column && first->row;
    bool lastIsCell = last->column && last->row;
    auto ordered = [](long a, long b) { return std::pair{std::min(a, b), std::max(a, b)}; };
    if (firstIsCell && lastIsCell) {
        auto [top, bottom] = ordered(first->row, last->row);
        auto [left, right] = ordered(first->column, last->column);
        return CellArea{AreaKind::Cells, {top, left, bottom, right}};
    }
    // Whole rows and columns need both sides and the colon: "7" alone or "A" alone is no range.
    if (colon == std::string::npos)
        return std::nullopt;
    if (!first->column && !last->column) {
        auto [top, bottom] = ordered(first->row, last->row);
        return CellArea::rows(top, bottom);
    }
    if (!first->row && !last->row) {
        auto [left, right] = ordered(first->column, last->column);
        return CellArea::columns(left, right);
    }
    return std::nullopt;
}

std::string rangeTextOf(const CellArea& area) {
    const CellRect& r = area.rect;
    switch (area.kind) {
    case AreaKind::Rows:
        return std::to_string(r.firstRow) + ":" + std::to_string(r.lastRow);
    case AreaKind::Columns:
        return columnLetters(r.firstColumn) + ":" + columnLetters(r.lastColumn);
    case AreaKind::Sheet:
        return "1:" + std::to_string(kMaxRows);
    case AreaKind::Cells:
        break;
    }
    std::string first = columnLetters(r.firstColumn) + std::to_string(r.firstRow);
    if (r.firstRow == r.lastRow && r.firstColumn == r.lastColumn)
        return first;
    return first + ":" + columnLetters(r.lastColumn) + std::to_string(r.lastRow);
}

} // namespace sheet::embedded
