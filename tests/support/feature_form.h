// A form written part by part the way spreadsheet applications write one, carrying everything a
// form holds besides its cells: rich text, a raw line break, hidden rows and columns, a 15-point
// row on a sheet of lower default height, print layout (fitted 1 page wide, no paper named,
// header and footer, centring, print titles and area, a page break), frozen panes, gridlines,
// tab colour, conditional formats, a validation list, a note, hyperlinks, defined names, a
// picture, a table, and a very hidden second sheet.
//
// Sheet "자료" (A..D): row 1 the merged title "붉은 글자" whose first word is red and bold; row
// 2 the headers, A2 linked to an address; rows 3..6 the data: A "학교<n>-<row>", B
// n * 100 + row, C a text, D "=B<row>*Rate". Row 4 and column C are hidden, row 5 is 15 pt on a
// 13.5-pt sheet. B3 has a note, A6 links to A1. B3:B6 is red where above 102, A3:A6 bold where
// its B is above 103; C3:C6 offers "가,나,다". C3 holds "첫줄\r\n둘째줄" as a raw CR LF.
#pragma once

#include "workbook_parts.h"

#include <string>

namespace test_support {

struct FeatureFormOptions {
    int number = 1;      // varies the data: B = number * 100 + row
    double rate = 0.5;   // the workbook name Rate
    bool picture = true; // a drawing with a picture and a table
};

PackageParts featureForm(const FeatureFormOptions& options = {});

// The bytes of the picture the form's drawing shows.
std::string featurePictureBytes();

} // namespace test_support
