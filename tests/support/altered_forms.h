// Report forms for the form check's tests, and the edits a reporting body makes to its copy:
// a row inserted, a column deleted, a heading retyped, the numbers changed.
#pragma once

#include "sheet/model.h"

#include <QString>
#include <memory>
#include <string>

namespace testing_support {

// The examples' report form: title A1:P6 (merged title A1:P1, the body's name in B3, headings
// in rows 5 and 6), ten data rows 7..16 with "1학년 1과정".. labels in column B and numbers.
std::unique_ptr<sheet::Workbook> reportForm(const std::string& body, unsigned seed = 1);
sheet::Worksheet& firstSheet(sheet::Workbook& book);

// Moves every cell, merge and row height below `row` one row down (a row inserted below it).
void insertRowBelow(sheet::Worksheet& sheet, long row);
// Removes column `column` and moves the columns right of it one to the left, merges too.
void deleteColumn(sheet::Worksheet& sheet, long column);
// Adds `delta` to every number of the sheet.
void changeNumbers(sheet::Worksheet& sheet, double delta);

void writeForm(const sheet::Workbook& book, const QString& path);

} // namespace testing_support
