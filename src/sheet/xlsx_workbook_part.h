// The workbook part: sheets with their states, the defined names (print titles and print areas
// among them) and the workbook's settings.
#pragma once

#include "sheet/model.h"

#include <string>
#include <vector>

namespace sheet {

struct WorkbookPartInput {
    const Workbook* workbook = nullptr;
    int activeSheet = 0;
    std::vector<std::string> sheetIds; // the relationship id of each sheet
    // Relationship ids of carried external link parts, in order.
    std::vector<std::string> externalReferenceIds;
};

std::string workbookPartXml(const WorkbookPartInput& input);

// The defined names a sheet's page setup stands for, as "'Sheet'!$1:$2,'Sheet'!$A:$B" and
// "'Sheet'!$A$1:$D$9"; empty when the sheet has none.
std::string printTitlesFormula(const Worksheet& sheet);
std::string printAreaFormula(const Worksheet& sheet);

} // namespace sheet
