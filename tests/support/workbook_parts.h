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
