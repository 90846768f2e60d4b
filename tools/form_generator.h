// Builds the workbooks of a Korean report form, as the reporting bodies would send them back:
// a merged title, a two-row header, bordered data rows with number formats and row-sum
// formulas with their results. The examples shipped with the program and the benchmarks use it.
#pragma once

#include "sheet/model.h"

#include <memory>
#include <random>
#include <string>

namespace tools {

struct FormOptions {
    std::string sheetName = "현황";
    std::string bodyName; // the reporting body, written into the title block
    int dataRows = 10;    // rows below the six title rows
    int columns = 16;     // A..P
    unsigned seed = 1;
};

// Title A1:P6 (row 1 merged title, row 3 the body's name, rows 5-6 a merged two-row header),
// data from row 7: column A a running number, B a text, C.. numbers, the last column the sum
// of C to the column before it.
std::unique_ptr<sheet::Workbook> buildForm(const FormOptions& options);

} // namespace tools
