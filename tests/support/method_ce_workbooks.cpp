#include "support/method_ce_workbooks.h"

#include "sheet/workbook_io.h"

#include <QDir>

namespace testing_support {

DataFolder::DataFolder() {
    QDir(dir_.path()).mkpath(QStringLiteral("Result"));
}

QString DataFolder::resultFolder() const {
    return QDir(dir_.path()).filePath("Result");
}

QString DataFolder::file(const QString& name) const {
    return QDir(dir_.path()).filePath(name);
}

void DataFolder::write(const QString& name, const std::vector<SheetSpec>& sheets) const {
    sheet::Workbook book;
    for (const SheetSpec& wanted : sheets) {
        auto sheet = std::make_unique<sheet::Worksheet>(wanted.name);
        if (wanted.fill)
            wanted.fill(*sheet);
        book.sheets.push_back(std::move(sheet));
    }
    sheet::writeWorkbook(book, file(name).toStdString());
}

QStringList DataFolder::results() const {
    return QDir(resultFolder()).entryList(QDir::Files, QDir::Name);
}

void setNumber(sheet::Worksheet& sheet, long row, long column, double value) {
    sheet.cellAt(row, column).value = sheet::CellValue::Number(value);
}

void setText(sheet::Worksheet& sheet, long row, long column, const std::string& value) {
    sheet.cellAt(row, column).value = sheet::CellValue::Text(value);
}

std::unique_ptr<sheet::Workbook> readBack(const QString& path) {
    return sheet::readWorkbook(path.toStdString());
}

std::vector<std::string> sheetNames(const sheet::Workbook& book) {
    std::vector<std::string> names;
    for (const auto& sheet : book.sheets)
        names.push_back(sheet->name);
    return names;
}

sheet::CellValue valueAt(const sheet::Worksheet& sheet, long row, long column) {
    const sheet::Cell* cell = sheet.cell(row, column);
    return cell ? cell->value : sheet::CellValue{};
}

} // namespace testing_support
