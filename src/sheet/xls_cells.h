// The cell records of a worksheet: values, shared strings, formulas and their cached results,
// styled empty cells.
#pragma once

#include "sheet/model.h"
#include "sheet/xls_globals.h"
#include "sheet/xls_records.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sheet::xls {

class CellReader {
public:
    CellReader(Worksheet& sheet, const Globals& globals);

    // Reads the record when it is a cell record; false for any other. Throws Refusal.
    bool read(const Record& record, Cursor& in);
    // Gives formulas that share their text with another cell that text.
    void finish();

private:
    using Position = std::pair<long, long>; // 0-based row and column

    void readNumber(Cursor& in);
    void readRk(Cursor& in);
    void readMultipleRk(Cursor& in);
    void readSharedStringCell(Cursor& in);
    void readLabel(Cursor& in);
    void readBoolErr(Cursor& in);
    void readBlank(Cursor& in);
    void readMultipleBlank(Cursor& in);
    void readFormula(Cursor& in);
    void readString(Cursor& in);
    void readSharedFormula(Cursor& in);

    Cell* place(long row, long column, int xf);
    void placeValue(long row, long column, int xf, CellValue value);

    Worksheet& sheet_;
    const Globals& globals_;
    int defaultStyle_;
    std::optional<Position> awaitingString_;             // a formula whose text result comes next
    std::map<Position, std::string> sharedTokens_;       // first cell -> tokens
    std::vector<std::pair<Position, Position>> sharers_; // cell -> first cell of its formula
};

// The number an RK value packs: an integer or the top of a double, maybe divided by 100.
double numberOfRk(std::uint32_t rk);

} // namespace sheet::xls
