// Raw .xlsx packages built part by part in tests, the way other programs write them, and a
// temporary folder that cleans up after itself.
#pragma once

#include "sheet/model.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace test_support {

// Part name -> content, written in the order of the map unless `order` is given.
using PackageParts = std::map<std::string, std::string>;

// Writes the parts as a zip (deflated) at `path`.
void writeZip(const std::filesystem::path& path, const PackageParts& parts);

// The parts written as an .xlsx in a temporary folder and read back by the component's reader,
// which may throw its FileError.
std::unique_ptr<sheet::Workbook> readPackageParts(const PackageParts& parts);

// The smallest set of parts of a valid workbook with the given sheet parts
// ("xl/worksheets/sheetN.xml" bodies inside <sheetData>...), to be extended by a test.
// `sheetNames[i]` goes with "xl/worksheets/sheet{i+1}.xml".
PackageParts minimalWorkbook(const std::vector<std::string>& sheetNames,
                             const std::vector<std::string>& sheetBodies);

// The worksheet part around `body` (the children of <worksheet>).
std::string worksheetXml(const std::string& body);

// A legacy .xls file (BIFF8 in a compound file) holding the given cells, the way old
// versions of the spreadsheet application save them. Values only: numbers, text (shared
// strings) and date serials shown with the built-in date format.
struct XlsCell {
    int row = 0;    // 0-based
    int column = 0; // 0-based
    enum Kind { Number, Text, Date } kind = Number;
    double number = 0;
    std::string text;
};
struct XlsSheet {
    std::string name;
    std::vector<XlsCell> cells;
};
std::string legacyXls(const std::vector<XlsSheet>& sheets, bool date1904 = false);

// Building blocks for .xls files with records of a test's own.
void putLittleEndian16(std::string& out, unsigned value);
void putLittleEndian32(std::string& out, unsigned value);
void putLittleEndianDouble(std::string& out, double value);
std::string xlsRecord(unsigned type, const std::string& body);
// A 16-bit character count, the option byte and the text in UTF-16 (BMP only).
std::string xlsWideText(const std::string& text);
struct XlsSubstream {
    std::string name;
    std::string records;    // between the sheet's BOF and EOF
    unsigned sheetType = 0; // BOUNDSHEET: 0 worksheet, 2 chart
    unsigned bofKind = 0x0010;
    unsigned state = 0; // 0 visible, 1 hidden, 2 very hidden
};
// A workbook stream: the globals (BOF, `globals`, a BOUNDSHEET per sheet, EOF), then the
// sheets. BIFF8, or BIFF5 with 8-bit sheet names.
std::string xlsStream(const std::string& globals, const std::vector<XlsSubstream>& sheets,
                      bool biff8 = true);
// A version 3 compound file holding one stream of at most 63 KB.
std::string compoundFile(std::string stream, const std::u16string& streamName = u"Workbook");

void writeBytes(const std::filesystem::path& path, const std::string& bytes);
std::string readBytes(const std::filesystem::path& path);

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Names of the entries in the folder.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

} // namespace test_support
