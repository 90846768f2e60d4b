// Workbooks built in code that use every part of the model the writer knows, and the carried
// parts of a drawing with a chart and a picture.
#pragma once

#include "sheet/model.h"

#include <memory>

namespace sheet::writer_fixtures {

// A drawing part that refers to a chart and a picture, as a reader keeps them.
std::shared_ptr<const PackagePart> drawingWithChartAndPicture();

// Three sheets ("양식" visible and active, "숨김" hidden, "아주숨김" very hidden); the first
// holds values of every type, rich text, styles, layout, view, protection, conditional formats,
// validations, notes, links, page setup with print titles, area and breaks, a carried drawing,
// table and form control. Workbook names, the 1904 date system and a carried theme.
std::unique_ptr<Workbook> everyFieldWorkbook();

} // namespace sheet::writer_fixtures
