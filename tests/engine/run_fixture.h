// Forms for the run tests: a data folder in a temporary directory filled with workbooks of one
// layout, built in code, and helpers to read a result back from disk.
#pragma once

#include "sheet/model.h"
#include "support/recording_run_host.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace run_test {

// The layout of a test form: a title block with a merged, styled heading, then data rows.
struct FormLayout {
    std::string sheetName = "자료";
    long titleFirstRow = 1; // the heading's row; the header row follows it
    long titleLastRow = 6;
    long titleFirstColumn = 1;
    long lastColumn = 16; // P
    long dataFirstRow = 7;
    long dataLastRow = 10;
    // Extra cells right of the last column, in every data row (to check whole rows travel).
    bool cellsRightOfTitle = false;
    // Another sheet, active when the file was saved.
    bool otherSheetActive = false;
};

// Value written in data cell (row, column) of workbook `number` (1-based).
double dataValue(int number, long row, long column);

// The styles a form's cells carry, so a result can be compared with them.
sheet::Style headingStyle();
sheet::Style dataStyle();

// A workbook holding one form; `number` varies its data values.
std::unique_ptr<sheet::Workbook> makeForm(const FormLayout& layout, int number);

class DataFolder {
public:
    DataFolder();

    QString path() const { return dataPath_; }
    QString resultFolder() const;
    QString file(const QString& name) const;
    // Writes form `number` as `name` into the data folder.
    void writeForm(const QString& name, const FormLayout& layout, int number) const;
    void write(const QString& name, const sheet::Workbook& book) const;
    // Writes form `number` with formulas in place of its last column's data,
    // "SUM(C<row>:O<row>)" in every data row, stored without results, as programs that do
    // not calculate write them.
    void writeFormWithoutResults(const QString& name, const FormLayout& layout, int number) const;

    // A host set up for this folder.
    void prepare(testing_support::RecordingRunHost& host) const;

private:
    QTemporaryDir dir_;
    QString dataPath_;
};

std::unique_ptr<sheet::Workbook> readBack(const QString& path);

// The last column's value in a data row of a form written by writeFormWithoutResults.
double rowSum(int number, long row, long lastColumn);

// Number in a cell of a sheet, or NaN when the cell holds none.
double numberAt(const sheet::Worksheet& sheet, long row, long column);
std::string textAt(const sheet::Worksheet& sheet, long row, long column);

} // namespace run_test
