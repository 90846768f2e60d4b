// Formula text from the fuzzer: reading, respelling, moving and computing it must never crash,
// hang or overflow the stack; failures are AutomationError only.
#include "sheet/automation.h"
#include "sheet/formula.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace sheet;

namespace {

Workbook makeBook() {
    Workbook book;
    for (const char* name : {"자료", "가", "나", "1반"}) {
        book.sheets.push_back(std::make_unique<Worksheet>(name));
        Worksheet& sheet = *book.sheets.back();
        for (long r = 1; r <= 6; ++r) {
            sheet.cellAt(r, 1).value = CellValue::Number(double(r));
            sheet.cellAt(r, 2).value = CellValue::Text(r % 2 ? "사과" : "");
            sheet.cellAt(r, 3).value =
                r == 3 ? CellValue::Error("#N/A") : CellValue::Boolean(r % 2);
        }
    }
    return book;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Workbook book = makeBook();
    const Worksheet& host = *book.sheets.front();
    embedded::CellLookup lookup = [](const Worksheet& sheet, long row, long column) {
        const Cell* cell = sheet.cell(row, column);
        return cell ? cell->value : CellValue{};
    };
    try {
        const std::string canonical = embedded::canonicalFormula(text);
        embedded::shiftFormula(canonical, 3, 2);
        embedded::evaluateFormula(canonical, book, host, 4, 5, lookup);
    } catch (const AutomationError&) {
    }
    // The same text as a stored formula, in a chain with others, recomputed and computed on open.
    Worksheet& sheet = *book.sheets.front();
    sheet.cellAt(8, 1) = Cell{{}, text, 0};
    sheet.cellAt(9, 1) = Cell{CellValue::Number(1), "A8+1", 0};
    embedded::computeMissingResults(book);
    embedded::recalculate(book);
    return 0;
}
