// The workbooks of a data folder as the data-folder list shows them, and the paths and
// captions built from a folder and an entry name.
#pragma once

#include <QString>
#include <QStringList>

namespace files {

// Names (without folder) of the files in `folder` matching "*.xls*", in alphabetical order
// without regard to case. Lock and temporary files that spreadsheet applications leave beside
// an open workbook ("~$NAME", ".~lock.NAME#") are not workbooks and are left out. A folder
// that does not exist gives an empty list.
QStringList listWorkbooks(const QString& folder);

// True for the names of lock and temporary files of spreadsheet applications.
bool isLockFileName(const QString& name);

// Case-insensitive alphabetical order, case-sensitive between names equal without case, so
// that the order never depends on where the names came from.
bool lessIgnoringCase(const QString& left, const QString& right);
void sortIgnoringCase(QStringList& names);

// The entry's full path: the folder, one separator, the name, in the platform's notation.
QString fullPathOf(const QString& folder, const QString& name);

// "Data폴더(n)" after a refresh, delete or rename; "DATA폴더 (n)" on entering the page.
QString folderCaption(int count);
QString folderCaptionOnEntry(int count);
// "취합할 파일(n)".
QString listCaption(int count);

} // namespace files
