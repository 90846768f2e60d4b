// One cell of a written sheet: its value as the type it is, its formula with the cached result.
#pragma once

#include "sheet/model.h"

#include <string>
#include <string_view>

namespace sheet {

class SharedStrings;

// The error codes a cell may hold; any other text of an error cell is not an error value.
bool isKnownErrorCode(std::string_view code);

class CellWriter {
public:
    // Text goes into `strings` when given, else inline in the cell. `path` names the file
    // in errors.
    CellWriter(const std::string& path, SharedStrings* strings) : path_(path), strings_(strings) {}

    // Appends <c> for the cell at `reference` ("B7") with cell format `format`; nothing for an
    // empty cell in the default format. Throws FileError for text or a formula too long to keep.
    void append(std::string& out, std::string_view reference, const Cell& cell, int format,
                std::string_view sheetName);

private:
    void check(const Cell& cell, std::string_view reference, std::string_view sheetName) const;

    const std::string& path_;
    SharedStrings* strings_;
};

} // namespace sheet
