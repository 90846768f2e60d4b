// Names derived from a consolidation-list entry (a workbook's file name without folder).
#pragma once

#include <QString>

namespace engine {

// The entry without its extension: only the part after the last dot goes, whatever its length,
// so 2019학교A.xls and 2019학교A.xlsx both give 2019학교A and 1.5.xlsx gives 1.5. An entry
// without a dot is kept whole. Used for method C's data sheet names and method E's column A.
QString entryWithoutExtension(const QString& entry);

} // namespace engine
