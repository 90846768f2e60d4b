// Converting workbooks with the office suite, when it is installed, for tests that compare our
// reading of files another program wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

bool officeSuiteInstalled();

// Converts `source` to `format` ("xls", "xlsx", "csv") into `folder`; returns the new file's
// path, or an empty path when the conversion failed.
std::filesystem::path convertWithOffice(const std::filesystem::path& source,
                                        const std::string& format,
                                        const std::filesystem::path& folder);

// Converts several files in one run of the suite; true when every converted file is there.
bool convertAllWithOffice(const std::vector<std::filesystem::path>& sources,
                          const std::string& format, const std::filesystem::path& folder);

} // namespace test_support
