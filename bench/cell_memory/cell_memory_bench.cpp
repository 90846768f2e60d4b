// Memory per stored cell of the workbook model: fills one sheet the way a method B result is
// filled (rows of numbers and short texts, each cell styled) and prints what the heap grew by,
// per cell, beside the size of one cell. It fills the sheet twice: once with every text made
// on its own, once with the texts taken from a string table, as a workbook reader gives them.
//
//   cell_memory_bench [ROWS] [COLUMNS]     (default 61000 x 16: about a result of 1000 forms)
#include "sheet/model.h"

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

// Every fourth cell holds a short text (a name, a code), the others numbers, as in the forms.
template <typename TextOf>
void fill(sheet::Worksheet& sheet, long rows, long columns, TextOf textOf) {
    for (long r = 1; r <= rows; ++r) {
        for (long c = 1; c <= columns; ++c) {
            sheet::Cell& cell = sheet.cellAt(r, c);
            cell.style = static_cast<int>(c % 7);
            if (c % 4 == 1)
                cell.value = sheet::CellValue::Text(textOf(r % 97));
            else
                cell.value = sheet::CellValue::Number(static_cast<double>(r * c));
        }
    }
}

std::string name(long n) {
    return "학교 " + std::to_string(n);
}

// Bytes per cell of a sheet filled with texts from textOf.
template <typename TextOf> double bytesPerCell(long rows, long columns, TextOf textOf) {
    const std::size_t before = heapInUse();
    auto sheet = std::make_unique<sheet::Worksheet>("결과");
    fill(*sheet, rows, columns, textOf);
    const std::size_t grown = heapInUse() - before;
    return static_cast<double>(grown) / (static_cast<double>(rows) * static_cast<double>(columns));
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 61000;
    const long columns = argc > 2 ? std::atol(argv[2]) : 16;
    if (rows <= 0 || columns <= 0) {
        std::fprintf(stderr, "usage: cell_memory_bench [ROWS] [COLUMNS]\n");
        return 2;
    }
    std::vector<sheet::SharedText> table;
    for (long n = 0; n < 97; ++n)
        table.emplace_back(name(n));

    const double distinct = bytesPerCell(rows, columns, name);
    const double shared = bytesPerCell(rows, columns, [&](long n) { return table[n]; });
    std::printf("cells stored:        %ld (%ld rows x %ld columns)\n", rows * columns, rows,
                columns);
    std::printf("bytes per cell:      %.1f (texts from a string table)\n", shared);
    std::printf("bytes per cell:      %.1f (every text made on its own)\n", distinct);
    std::printf("sizeof(Cell):        %zu (CellValue %zu with the style in its padding, "
                "formula %zu, rich text %zu)\n",
                sizeof(sheet::Cell), sizeof(sheet::CellValue), sizeof(sheet::SharedText),
                sizeof(std::shared_ptr<const sheet::RichText>));
    return 0;
}
