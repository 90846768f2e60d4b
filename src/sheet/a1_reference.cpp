#include "sheet/a1_reference.h"

#include "sheet/model.h"

namespace sheet {

namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_' || c == '.' || c == '\\' || c == '?' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// One part of a reference: "$AB", "12", "$C$7".
struct RefPart {
    bool columnAbsolute = false;
    long column = 0; // 0 when the part has no column
    bool rowAbsolute = false;
    long row = 0; // 0 when the part has no row
};

std::optional<RefPart> parseRefPart(std::string_view text) {
    RefPart part;
    size_t i = 0;
    if (i < text.size() && text[i] == '$') {
        part.columnAbsolute = true;
        ++i;
    }
    size_t letters = 0;
    while (i < text.size() && isLetter(text[i]) && letters < 4) {
        part.column = part.column * 26 + ((text[i] | 0x20) - 'a' + 1);
        ++i;
        ++letters;
    }
    if (letters == 0 && part.columnAbsolute) {
        part.columnAbsolute = false;
        part.rowAbsolute = true; // "$12": the '$' belongs to the row
    } else if (i < text.size() && text[i] == '$') {
        part.rowAbsolute = true;
        ++i;
    }
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i]) && digits < 8) {
        part.row = part.row * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    if (i != text.size() || letters > 3 || (letters == 0 && digits == 0))
        return std::nullopt;
    if ((letters == 0 && part.columnAbsolute) || (digits == 0 && part.rowAbsolute))
        return std::nullopt;
    if (part.column > kMaxColumns || part.row > kMaxRows || (digits > 0 && part.row == 0))
        return std::nullopt;
    return part;
}

bool hasColumn(const RefPart& part) {
    return part.column > 0;
}
bool hasRow(const RefPart& part) {
    return part.row > 0;
}
bool isCell(const RefPart& part) {
    return hasColumn(part) && hasRow(part);
}

// Moves a part; false when it leaves the sheet.
bool shiftPart(RefPart& part, long rowOffset, long columnOffset) {
    const bool column = hasColumn(part);
    const bool row = hasRow(part);
    if (column && !part.columnAbsolute)
        part.column += columnOffset;
    if (row && !part.rowAbsolute)
        part.row += rowOffset;
    return (!column || (part.column >= 1 && part.column <= kMaxColumns)) &&
           (!row || (part.row >= 1 && part.row <= kMaxRows));
}

void appendPart(std::string& out, const RefPart& part) {
    if (part.column > 0) {
        if (part.columnAbsolute)
            out += '$';
        out += columnLetters(part.column);
    }
    if (part.row > 0) {
        if (part.rowAbsolute)
            out += '$';
        out += std::to_string(part.row);
    }
}

// Copies a quoted run ("text" or 'sheet') starting at `i`, doubled quotes included.
size_t copyQuoted(std::string_view formula, size_t i, std::string& out) {
    const char quote = formula[i];
    out += quote;
    ++i;
    while (i < formula.size()) {
        out += formula[i];
        if (formula[i] == quote) {
            if (i + 1 < formula.size() && formula[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

size_t copyBracketed(std::string_view formula, size_t i, std::string& out) {
    int depth = 0;
    while (i < formula.size()) {
        const char c = formula[i];
        out += c;
        ++i;
        if (c == '[')
            ++depth;
        else if (c == ']' && --depth == 0)
            break;
    }
    return i;
}

size_t tokenEnd(std::string_view formula, size_t i) {
    while (i < formula.size() && isNameChar(formula[i]))
        ++i;
    return i;
}

// "B7": capital letters then digits, the way files write a cell's own address; nullopt for
// anything else, left to the general parse.
std::optional<CellAddress> plainCellAddress(std::string_view text) {
    std::size_t i = 0;
    long column = 0;
    for (; i < text.size() && i < 3 && text[i] >= 'A' && text[i] <= 'Z'; ++i)
        column = column * 26 + (text[i] - 'A' + 1);
    const std::size_t letters = i;
    long row = 0;
    for (; i < text.size() && i - letters < 7 && isDigit(text[i]); ++i)
        row = row * 10 + (text[i] - '0');
    if (letters == 0 || i == letters || i != text.size())
        return std::nullopt;
    if (column > kMaxColumns || row < 1 || row > kMaxRows)
        return std::nullopt;
    return CellAddress{row, column};
}

} // namespace

std::optional<CellAddress> parseCellAddress(std::string_view text) {
    if (auto address = plainCellAddress(text))
        return address;
    auto part = parseRefPart(text);
    if (!part || !isCell(*part))
        return std::nullopt;
    return CellAddress{part->row, part->column};
}

std::string columnLetters(long column) {
    std::string letters;
    while (column > 0) {
        const long digit = (column - 1) % 26;
        letters.insert(letters.begin(), static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

std::string cellAddressText(long row, long column) {
    return columnLetters(column) + std::to_string(row);
}

std::string shiftFormula(std::string_view formula, long rowOffset, long columnOffset) {
    std::string out;
    out.reserve(formula.size() + 8);
    size_t i = 0;
    while (i < formula.size()) {
        const char c = formula[i];
        if (c == '"' || c == '\'') {
            i = copyQuoted(formula, i, out);
            continue;
        }
        if (c == '[') {
            i = copyBracketed(formula, i, out);
            continue;
        }
        if (!isNameChar(c)) {
            out += c;
            ++i;
            continue;
        }
        const size_t end = tokenEnd(formula, i);
        const std::string_view token = formula.substr(i, end - i);
        const char next = end < formula.size() ? formula[end] : '\0';
        auto part = parseRefPart(token);
        if (!part || next == '(' || next == '!') {
            out += token;
            i = end;
            continue;
        }
        if (!isCell(*part)) {
            // A whole-column or whole-row reference only stands as one side of "A:C" or "2:5".
            const size_t otherEnd = next == ':' ? tokenEnd(formula, end + 1) : end;
            auto other = next == ':' ? parseRefPart(formula.substr(end + 1, otherEnd - end - 1))
                                     : std::nullopt;
            if (!other || isCell(*other) || hasColumn(*other) != hasColumn(*part)) {
                out += token;
                i = end;
                continue;
            }
            if (shiftPart(*part, rowOffset, columnOffset) &&
                shiftPart(*other, rowOffset, columnOffset)) {
                appendPart(out, *part);
                out += ':';
                appendPart(out, *other);
            } else {
                out += "#REF!";
            }
            i = otherEnd;
            continue;
        }
        if (shiftPart(*part, rowOffset, columnOffset))
            appendPart(out, *part);
        else
            out += "#REF!";
        i = end;
    }
    return out;
}

} // namespace sheet
