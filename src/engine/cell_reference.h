// Cell references as the user types them in the project fields (A1 notation): column letters,
// row numbers and range texts, with the column-name table the methods index by number.
#pragma once

#include <QString>
#include <QStringList>

namespace engine {

// Column letters A..IV for the column numbers 1..256; entries 0 and 257 are empty.
class ColumnNames {
public:
    static constexpr int kCount = 258;
    static constexpr int kNotFound = 257;

    static const QStringList& table();
    static QString at(int index); // empty outside 0..257
};

// Column number 1..256 of the letters (any case), or 257 when they name no column.
int ColumnIndexOf(const QString& letters);

// The digits and points of a text, in order.
QString fGetNum(QString strIn);
// The ASCII letters of a text, in order, case kept.
QString fGetchar(QString strIn);

// A range text split at its first colon. Without a colon `first` is empty and `last` is the
// whole text.
struct RangeText {
    QString first;
    QString last;
    static RangeText split(const QString& text);
};

// Thrown when a cell part's row number cannot be read (no digits, a point, a row past the
// sheet's last one).
class ConversionError : public std::exception {
public:
    const char* what() const noexcept override { return "not a row number"; }
};

// One cell part read into its row number and column letters.
struct CellPart {
    int row = 0;
    QString letters;
    // Throws ConversionError when the row number cannot be read.
    static CellPart read(const QString& part);
};

// The row number of a cell part, at most the sheet's last row; throws ConversionError.
int rowNumberOf(const QString& part);

// True when the cell part's digits name a row past the sheet's last one.
bool isPastLastRow(const QString& part);

} // namespace engine
