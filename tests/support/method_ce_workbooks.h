// Workbooks for the tests of methods C and E and the sheet check: small forms written to a
// temporary data folder, and the result files read back.
#pragma once

#include "sheet/model.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using SheetFiller = std::function<void(sheet::Worksheet&)>;

struct SheetSpec {
    std::string name;
    SheetFiller fill;
};

// A data folder with its Result subfolder, removed with the object.
class DataFolder {
public:
    DataFolder();
    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString resultFolder() const;
    QString file(const QString& name) const;
    // Writes the workbook `name` (xlsx content whatever the extension) with the given sheets.
    void write(const QString& name, const std::vector<SheetSpec>& sheets) const;
    // Files in the Result subfolder.
    QStringList results() const;

private:
    QTemporaryDir dir_;
};

void setNumber(sheet::Worksheet& sheet, long row, long column, double value);
void setText(sheet::Worksheet& sheet, long row, long column, const std::string& value);

// Reads a workbook back from disk; fails the test (throws) when it cannot be read.
std::unique_ptr<sheet::Workbook> readBack(const QString& path);
std::vector<std::string> sheetNames(const sheet::Workbook& book);
// The cell's value as the file holds it (a formula's cached result); empty when absent.
sheet::CellValue valueAt(const sheet::Worksheet& sheet, long row, long column);

} // namespace testing_support
