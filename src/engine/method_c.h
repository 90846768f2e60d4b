// Method C: every workbook's sheet is copied whole into the result as a sheet of its own, named
// after the workbook, behind an optional summary sheet whose sum range adds the same cell over
// all of them.
#pragma once

#include "engine/run_host.h"

#include <QString>

namespace engine {

// The first cell of a sum range (D11 of D11:P47): its column letters as typed and its row.
struct SumStart {
    QString column;
    int row = 0;

    // Throws ConversionError when the part before the first colon has no row number, which
    // includes a range without a colon.
    static SumStart of(const QString& sumRange);
};

// "=SUM(<first>:<last>!<column><row>)": the start cell summed over a span of sheets, the
// span quoted where a name needs it.
QString sumFormula(const QString& firstSheet, const QString& lastSheet, const SumStart& start);

// The summary sheet's name: the consolidated sheet name when given, else the sheet name and
// "집계", both trimmed.
QString summarySheetName(const QString& existingSheet, const QString& sheetName);

// Runs method C on the consolidation list and saves the result, or cancels on the first
// workbook that cannot be opened, lacks the sheet or cannot be copied.
void combination_c(RunHost& host);

} // namespace engine
