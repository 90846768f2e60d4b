// Defined names of a workbook part. The print titles and print areas go to their sheets' page
// setup; every other name goes to Workbook::names.
#pragma once

#include "sheet/model.h"

#include <pugixml.hpp>
#include <vector>

namespace sheet {

// `sheetOfEntry[i]` is the model index of the i-th <sheet> of the workbook part, or -1 when that
// entry was not read (a chart sheet). Names local to an entry that was not read are left out.
void readDefinedNames(pugi::xml_node workbookRoot, const std::vector<int>& sheetOfEntry,
                      Workbook& workbook);

// The print titles or print area of a sheet from a built-in name's formula
// ("'표 1'!$1:$3,'표 1'!$A:$B", "Data!$A$1:$H$40").
void applyPrintTitles(std::string_view formula, PageSetup& setup);
void applyPrintArea(std::string_view formula, PageSetup& setup);

} // namespace sheet
