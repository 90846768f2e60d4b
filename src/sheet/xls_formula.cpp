#include "sheet/xls_formula.h"

#include "sheet/a1_reference.h"
#include "sheet/xls_functions.h"

#include <charconv>
#include <cmath>

namespace sheet::xls {

namespace {

constexpr std::size_t kMaxStack = 4096;
// The longest formula text a cell may hold.
constexpr std::size_t kMaxFormulaLength = 8192;
constexpr long kLastRow = 65535;
constexpr long kLastColumn = 255;

class Unsupported {};

struct CellPart {
    long row = 0, column = 0;
    bool rowRelative = false, columnRelative = false;
};

std::string errorText(unsigned code) {
    if (auto text = errorValueOf(code))
        return *text;
    throw Unsupported();
}

std::string numberText(double value) {
    if (!std::isfinite(value))
        throw Unsupported();
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

std::string stringLiteral(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

class Decompiler {
public:
    Decompiler(std::string_view tokens, const FormulaContext& context, long row, long column)
        : record_{0, 0, tokens, {}}, in_(record_, context.biff, context.codePage),
          context_(context), row_(row), column_(column) {}

    std::string run() {
        while (in_.remaining() > 0)
            token(in_.u8());
        if (stack_.size() != 1)
            throw Unsupported();
        return stack_.back();
    }

private:
    bool biff8() const { return context_.biff == Biff::V8; }

    void push(std::string text) {
        if (stack_.size() >= kMaxStack || text.size() > kMaxFormulaLength ||
            text.size() > context_.budget)
            throw Unsupported();
        context_.budget -= text.size();
        stack_.push_back(std::move(text));
    }
    std::string pop() {
        if (stack_.empty())
            throw Unsupported();
        std::string top = std::move(stack_.back());
        stack_.pop_back();
        return top;
    }

    void binary(std::string_view op) {
        std::string right = pop();
        std::string left = pop();
        push(left + std::string(op) + right);
    }

    void token(std::uint8_t code) {
        if (code >= 0x20) {
            classified((code & 0x1F) | 0x20);
            return;
        }
        static constexpr std::string_view kOperators[] = {
            "+", "-", "*", "/", "^", "&", "<", "<=", "=", ">=", ">", "<>", " ", ",", ":"};
        if (code >= 0x03 && code <= 0x11) {
            binary(kOperators[code - 0x03]);
            return;
        }
        switch (code) {
        case 0x12:
            push("+" + pop());
            return;
        case 0x13:
            push("-" + pop());
            return;
        case 0x14:
            push(pop() + "%");
            return;
        case 0x15:
            push("(" + pop() + ")");
            return;
        case 0x16:
            push("");
            return;
        case 0x17:
            push(stringLiteral(in_.text8()));
            return;
        case 0x19:
            attribute();
            return;
        case 0x1C:
            push(errorText(in_.u8()));
            return;
        case 0x1D:
            push(in_.u8() ? "TRUE" : "FALSE");
            return;
        case 0x1E:
            push(std::to_string(in_.u16()));
            return;
        case 0x1F:
            push(numberText(in_.f64()));
            return;
        default:
            throw Unsupported(); // tExp, tTbl, tExtended and unknown codes
        }
    }

    void attribute() {
        const std::uint8_t kind = in_.u8();
        const std::uint16_t data = in_.u16();
        if (kind & 0x04) { // the jump table of CHOOSE
            in_.skip((static_cast<std::size_t>(data) + 1) * 2);
            return;
        }
        if (kind & 0x10) // SUM of a single argument
            push("SUM(" + pop() + ")");
    }

    void classified(std::uint8_t code) {
        switch (code) {
        case 0x21:
            function(in_.u16(), -1);
            return;
        case 0x22: {
            const int count = in_.u8() & 0x7F;
            function(in_.u16(), count);
            return;
        }
        case 0x23:
            name();
            return;
        case 0x24:
            push(cellText(cellPart(false)));
            return;
        case 0x25:
            push(areaText(false));
            return;
        case 0x26:
        case 0x27:
        case 0x28:
            in_.skip(6);
            return;
        case 0x29:
        case 0x2E:
        case 0x2F:
            in_.skip(2);
            return;
        case 0x2A:
            in_.skip(biff8() ? 4 : 3);
            push("#REF!");
            return;
        case 0x2B:
            in_.skip(biff8() ? 8 : 6);
            push("#REF!");
            return;
        case 0x2C:
            push(cellText(cellPart(true)));
            return;
        case 0x2D:
            push(areaText(true));
            return;
        case 0x3A:
            reference3d(false);
            return;
        case 0x3B:
            reference3d(true);
            return;
        case 0x3C:
            in_.skip(biff8() ? 6 : 17);
            push("#REF!");
            return;
        case 0x3D:
            in_.skip(biff8() ? 10 : 20);
            push("#REF!");
            return;
        default:
            throw Unsupported(); // array constants, external names and unknown codes
        }
    }

    void function(std::uint16_t id, int count) {
        if (id & 0x8000) // a command-equivalent function of macro sheets
            throw Unsupported();
        const FunctionInfo* info = functionById(id);
        if (!info)
            throw Unsupported();
        if (count < 0)
            count = info->arguments;
        if (count < 0 || static_cast<std::size_t>(count) > stack_.size())
            throw Unsupported();
        std::string arguments;
        for (auto it = stack_.end() - count; it != stack_.end(); ++it) {
            if (!arguments.empty() || it != stack_.end() - count)
                arguments += ',';
            arguments += *it;
        }
        stack_.resize(stack_.size() - static_cast<std::size_t>(count));
        push(std::string(info->name) + "(" + arguments + ")");
    }

    void name() {
        const std::size_t index = in_.u16();
        in_.skip(biff8() ? 2 : 12);
        if (index == 0 || index > context_.names.size() || context_.names[index - 1].empty())
            throw Unsupported();
        push(context_.names[index - 1]);
    }

    CellPart cellPart(bool relativeToCell) {
        CellPart part;
        std::uint16_t rowField = in_.u16();
        std::uint16_t columnField;
        if (biff8()) {
            columnField = in_.u16();
            part.rowRelative = columnField & 0x8000;
            part.columnRelative = columnField & 0x4000;
            columnField &= 0x3FFF;
        } else {
            part.rowRelative = rowField & 0x8000;
            part.columnRelative = rowField & 0x4000;
            rowField &= 0x3FFF;
            columnField = in_.u8();
        }
        part.row = rowField;
        part.column = columnField;
        if (relativeToCell)
            placeRelative(part);
        return part;
    }

    // Shared formulas and names keep relative parts as offsets from the cell that uses them.
    void placeRelative(CellPart& part) const {
        if (part.rowRelative) {
            const long offset = biff8() ? static_cast<std::int16_t>(part.row)
                                        : (part.row & 0x2000 ? part.row - 0x4000 : part.row);
            part.row = (row_ + offset) & kLastRow;
        }
        if (part.columnRelative)
            part.column = (column_ + static_cast<std::int8_t>(part.column & 0xFF)) & kLastColumn;
    }

    static std::string rowText(const CellPart& part) {
        return (part.rowRelative ? "" : "$") + std::to_string(part.row + 1);
    }
    static std::string columnText(const CellPart& part) {
        return (part.columnRelative ? "" : "$") + columnLetters(part.column + 1);
    }
    static std::string cellText(const CellPart& part) { return columnText(part) + rowText(part); }

    std::string areaText(bool relativeToCell) {
        CellPart first, last;
        if (biff8()) {
            const std::uint16_t firstRow = in_.u16();
            const std::uint16_t lastRow = in_.u16();
            const std::uint16_t firstColumn = in_.u16();
            const std::uint16_t lastColumn = in_.u16();
            first = {firstRow, firstColumn & 0x3FFF, (firstColumn & 0x8000) != 0,
                     (firstColumn & 0x4000) != 0};
            last = {lastRow, lastColumn & 0x3FFF, (lastColumn & 0x8000) != 0,
                    (lastColumn & 0x4000) != 0};
        } else {
            const std::uint16_t firstRow = in_.u16();
            const std::uint16_t lastRow = in_.u16();
            const std::uint8_t firstColumn = in_.u8();
            const std::uint8_t lastColumn = in_.u8();
            first = {firstRow & 0x3FFFL, firstColumn, (firstRow & 0x8000) != 0,
                     (firstRow & 0x4000) != 0};
            last = {lastRow & 0x3FFFL, lastColumn, (lastRow & 0x8000) != 0,
                    (lastRow & 0x4000) != 0};
        }
        if (relativeToCell) {
            placeRelative(first);
            placeRelative(last);
        }
        return rangeText(first, last);
    }

    static std::string rangeText(const CellPart& first, const CellPart& last) {
        const long lastRowOfSheet = kLastRow;
        if (first.row == 0 && last.row == lastRowOfSheet && !first.rowRelative && !last.rowRelative)
            return columnText(first) + ":" + columnText(last);
        if (first.column == 0 && last.column == kLastColumn && !first.columnRelative &&
            !last.columnRelative)
            return rowText(first) + ":" + rowText(last);
        if (first.row == last.row && first.column == last.column &&
            first.rowRelative == last.rowRelative && first.columnRelative == last.columnRelative)
            return cellText(first);
        return cellText(first) + ":" + cellText(last);
    }

    void reference3d(bool area) {
        std::string prefix;
        if (biff8()) {
            const std::size_t index = in_.u16();
            if (index >= context_.externSheets.size())
                throw Unsupported();
            const auto& range = context_.externSheets[index];
            if (!range.internal)
                throw Unsupported();
            prefix = sheetPrefix(range.first, range.last);
        } else {
            const std::int16_t externIndex = in_.s16();
            in_.skip(8);
            const std::int16_t first = in_.s16();
            const std::int16_t last = in_.s16();
            if (externIndex >= 0) // a reference into another file
                throw Unsupported();
            prefix = sheetPrefix(first, last);
        }
        push(prefix + (area ? areaText(false) : cellText(cellPart(false))));
    }

    std::string sheetPrefix(int first, int last) const {
        const int count = static_cast<int>(context_.sheetNames.size());
        if (first < 0 || first >= count || last < first || last >= count)
            throw Unsupported();
        if (first == last)
            return quotedSheetName(context_.sheetNames[static_cast<std::size_t>(first)]) + "!";
        const std::string both = context_.sheetNames[static_cast<std::size_t>(first)] + ":" +
                                 context_.sheetNames[static_cast<std::size_t>(last)];
        const std::string quoted =
            quotedSheetName(context_.sheetNames[static_cast<std::size_t>(first)]) +
            quotedSheetName(context_.sheetNames[static_cast<std::size_t>(last)]);
        if (quoted.find('\'') == std::string::npos)
            return both + "!";
        std::string escaped;
        for (char c : both) {
            escaped += c;
            if (c == '\'')
                escaped += '\'';
        }
        return "'" + escaped + "'!";
    }

    Record record_;
    Cursor in_;
    const FormulaContext& context_;
    long row_, column_;
    std::vector<std::string> stack_;
};

bool looksLikeCellAddress(const std::string& name) {
    return parseCellAddress(name).has_value();
}

} // namespace

std::string quotedSheetName(const std::string& name) {
    bool plain =
        !name.empty() && !(name[0] >= '0' && name[0] <= '9') && !looksLikeCellAddress(name);
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (!(std::isalnum(byte) || c == '_' || c == '.' || byte >= 0x80))
            plain = false;
    }
    if (plain)
        return name;
    std::string out = "'";
    for (char c : name) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::optional<std::string> decompileFormula(std::string_view tokens, const FormulaContext& context,
                                            long row, long column) {
    try {
        return Decompiler(tokens, context, row, column).run();
    } catch (const Unsupported&) {
        return std::nullopt;
    } catch (const Truncated&) {
        return std::nullopt;
    }
}

} // namespace sheet::xls
