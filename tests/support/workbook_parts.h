// Raw .xlsx packages built part by part in tests, the way other programs write them, and a
// temporary folder that cleans up after itself.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace test_support {

// Part name -> content, written in the order of the map unless `order` is given.
using PackageParts = std::map<std::string, std::string>;

// Writes the parts as a zip (deflated) at `path`.
void writeZip(const std::filesystem::path& path, const PackageParts& parts);

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
