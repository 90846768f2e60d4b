#include "sheet/xls_cells.h"

#include "sheet/io_messages.h"

#include <cstring>

namespace sheet::xls {

namespace {

constexpr int kDefaultCellXf = 15;
constexpr std::size_t kMaxSharers = 4'000'000;

namespace record {
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kRString = 0x00D6;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kBlank = 0x0201;
constexpr std::uint16_t kMulBlank = 0x00BE;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kSharedFormula = 0x04BC;
} // namespace record

// A cell's error code; a code that names no error reads as #N/A.
std::string errorCode(unsigned code) {
    return errorValueOf(code).value_or("#N/A");
}

} // namespace

double numberOfRk(std::uint32_t rk) {
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 0x01 ? value / 100 : value;
}

CellReader::CellReader(Worksheet& sheet, const Globals& globals)
    : sheet_(sheet), globals_(globals), defaultStyle_(globals.styles.styleOf(kDefaultCellXf)) {}

bool CellReader::read(const Record& record, Cursor& in) {
    if (record.type != record::kString && record.type != record::kSharedFormula &&
        record.type != 0x0221 /* ARRAY */)
        awaitingString_.reset();
    switch (record.type) {
    case record::kNumber:
        readNumber(in);
        return true;
    case record::kRk:
        readRk(in);
        return true;
    case record::kMulRk:
        readMultipleRk(in);
        return true;
    case record::kLabelSst:
        readSharedStringCell(in);
        return true;
    case record::kLabel:
    case record::kRString:
        readLabel(in);
        return true;
    case record::kBoolErr:
        readBoolErr(in);
        return true;
    case record::kBlank:
        readBlank(in);
        return true;
    case record::kMulBlank:
        readMultipleBlank(in);
        return true;
    case record::kFormula:
        readFormula(in);
        return true;
    case record::kString:
        readString(in);
        return true;
    case record::kSharedFormula:
        readSharedFormula(in);
        return true;
    default:
        return false;
    }
}

Cell* CellReader::place(long row, long column, int xf) {
    if (column >= kMaxColumns)
        return nullptr;
    Cell& cell = sheet_.rows()[row + 1][column + 1];
    cell = Cell{};
    cell.style = globals_.styles.styleOf(xf);
    return &cell;
}

void CellReader::placeValue(long row, long column, int xf, CellValue value) {
    if (Cell* cell = place(row, column, xf))
        cell->value = std::move(value);
}

void CellReader::readNumber(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    placeValue(row, column, xf, CellValue::Number(in.f64()));
}

void CellReader::readRk(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    placeValue(row, column, xf, CellValue::Number(numberOfRk(in.u32())));
}

void CellReader::readMultipleRk(Cursor& in) {
    const long row = in.u16();
    long column = in.u16();
    // Six bytes per cell, then the last column.
    while (in.remaining() >= 8) {
        const int xf = in.u16();
        placeValue(row, column++, xf, CellValue::Number(numberOfRk(in.u32())));
    }
}

void CellReader::readSharedStringCell(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    const std::uint32_t index = in.u32();
    if (index >= globals_.strings.size())
        throw Refusal{io_messages::kTooManyStrings, std::to_string(index)};
    const SharedString& text = globals_.strings[index];
    if (Cell* cell = place(row, column, xf)) {
        cell->value = CellValue::Text(text.text);
        cell->richText = text.richText;
    }
}

void CellReader::readLabel(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    placeValue(row, column, xf, CellValue::Text(in.text16()));
}

void CellReader::readBoolErr(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    const unsigned value = in.u8();
    const bool error = in.u8() != 0;
    placeValue(row, column, xf,
               error ? CellValue::Error(errorCode(value)) : CellValue::Boolean(value != 0));
}

void CellReader::readBlank(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    // An empty cell in the default format is no cell at all.
    if (globals_.styles.styleOf(xf) != defaultStyle_)
        place(row, column, xf);
}

void CellReader::readMultipleBlank(Cursor& in) {
    const long row = in.u16();
    long column = in.u16();
    while (in.remaining() >= 4) {
        const int xf = in.u16();
        if (globals_.styles.styleOf(xf) != defaultStyle_)
            place(row, column, xf);
        ++column;
    }
}

void CellReader::readFormula(Cursor& in) {
    const long row = in.u16();
    const long column = in.u16();
    const int xf = in.u16();
    const std::string_view result = in.bytes(8);
    in.skip(2 + 4); // options, cache
    const std::size_t length = in.u16();
    const std::string_view tokens = in.bytes(std::min(length, in.remaining()));
    Cell* cell = place(row, column, xf);
    if (!cell)
        return;

    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(result[i]); };
    if (byteAt(6) == 0xFF && byteAt(7) == 0xFF) {
        switch (byteAt(0)) {
        case 0x00:
            awaitingString_ = Position{row, column};
            break;
        case 0x01:
            cell->value = CellValue::Boolean(byteAt(2) != 0);
            break;
        case 0x02:
            cell->value = CellValue::Error(errorCode(byteAt(2)));
            break;
        case 0x03:
            cell->value = CellValue::Text("");
            break;
        default:
            break;
        }
    } else {
        Record number{0, 0, result, {}};
        Cursor numberIn(number, in.biff(), 0);
        cell->value = CellValue::Number(numberIn.f64());
    }

    if (!tokens.empty() && tokens[0] == 0x01 && tokens.size() >= 5) {
        // The text lives with the first cell of a shared or array formula.
        Record first{0, 0, tokens.substr(1), {}};
        Cursor at(first, in.biff(), 0);
        const long firstRow = at.u16();
        const long firstColumn = in.biff() == Biff::V8 ? at.u16() : at.u8();
        if (sharers_.size() < kMaxSharers)
            sharers_.push_back({{row, column}, {firstRow, firstColumn}});
        return;
    }
    if (auto text = decompileFormula(tokens, globals_.formulas, row, column))
        cell->formula = std::move(*text);
}

void CellReader::readString(Cursor& in) {
    if (!awaitingString_)
        return;
    const auto [row, column] = *awaitingString_;
    awaitingString_.reset();
    // The formula placed its cell before asking for the text.
    sheet_.rows()[row + 1][column + 1].value = CellValue::Text(in.text16());
}

void CellReader::readSharedFormula(Cursor& in) {
    const long firstRow = in.u16();
    in.skip(2);
    const long firstColumn = in.u8();
    in.skip(1 + 2); // last column, reserved, use count
    const std::size_t length = in.u16();
    sharedTokens_[{firstRow, firstColumn}] =
        std::string(in.bytes(std::min(length, in.remaining())));
}

void CellReader::finish() {
    for (const auto& [position, first] : sharers_) {
        const auto tokens = sharedTokens_.find(first);
        if (tokens == sharedTokens_.end())
            continue; // an array formula: its cells keep their results
        auto text =
            decompileFormula(tokens->second, globals_.formulas, position.first, position.second);
        if (!text)
            continue;
        auto row = sheet_.rows().find(position.first + 1);
        if (row == sheet_.rows().end())
            continue;
        auto cell = row->second.find(position.second + 1);
        if (cell != row->second.end())
            cell->second.formula = std::move(*text);
    }
}

} // namespace sheet::xls
