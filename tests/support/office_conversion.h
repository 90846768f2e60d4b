// Converting workbooks with the office suite, when it is installed, for tests that compare our
// reading of files another program wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

bool officeSuiteInstalled();

// Whether the suite trusts the results stored in a file or computes every formula again on
// loading it (to compare our results with its own).
enum class StoredResults { Kept, Recomputed };

// Converts `source` to `format` ("xls", "xlsx", "csv", or a filter with options) into `folder`;
// returns the new file's path, or an empty path when the conversion failed.
std::filesystem::path convertWithOffice(const std::filesystem::path& source,
                                        const std::string& format,
                                        const std::filesystem::path& folder,
                                        StoredResults results = StoredResults::Kept);

// Converts several files in one run of the suite; true when every converted file is there.
bool convertAllWithOffice(const std::vector<std::filesystem::path>& sources,
                          const std::string& format, const std::filesystem::path& folder,
                          StoredResults results = StoredResults::Kept);

} // namespace test_support
