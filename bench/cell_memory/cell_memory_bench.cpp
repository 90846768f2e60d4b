// Memory per stored cell of the workbook model: fills one sheet the way a method B result is
// filled (rows of numbers and short texts, each cell styled) and prints what the heap grew by,
// per cell, beside the size of one cell and of the containers around it.
//
//   cell_memory_bench [ROWS] [COLUMNS]     (default 61000 x 16: about a result of 1000 forms)
#include "sheet/model.h"

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>

namespace {

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

// Every fourth cell holds a short text (a name, a code), the others numbers, as in the forms.
void fill(sheet::Worksheet& sheet, long rows, long columns) {
    for (long r = 1; r <= rows; ++r) {
        for (long c = 1; c <= columns; ++c) {
            sheet::Cell& cell = sheet.cellAt(r, c);
            cell.style = static_cast<int>(c % 7);
            if (c % 4 == 1)
                cell.value = sheet::CellValue::Text("학교 " + std::to_string(r % 97));
            else
                cell.value = sheet::CellValue::Number(static_cast<double>(r * c));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 61000;
    const long columns = argc > 2 ? std::atol(argv[2]) : 16;
    if (rows <= 0 || columns <= 0) {
        std::fprintf(stderr, "usage: cell_memory_bench [ROWS] [COLUMNS]\n");
        return 2;
    }
    const std::size_t before = heapInUse();
    auto sheet = std::make_unique<sheet::Worksheet>("결과");
    fill(*sheet, rows, columns);
    const std::size_t after = heapInUse();
    const double cells = static_cast<double>(rows) * static_cast<double>(columns);
    std::printf("cells stored:        %.0f (%ld rows x %ld columns)\n", cells, rows, columns);
    std::printf("heap grown by:       %.1f MB\n", static_cast<double>(after - before) / 1e6);
    std::printf("bytes per cell:      %.1f\n", static_cast<double>(after - before) / cells);
    std::printf("sizeof(Cell):        %zu (CellValue %zu, formula %zu, rich text %zu)\n",
                sizeof(sheet::Cell), sizeof(sheet::CellValue), sizeof(std::string),
                sizeof(std::shared_ptr<const sheet::RichText>));
    return 0;
}
