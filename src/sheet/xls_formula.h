// Formula text from the parsed token form (RPN) that BIFF files store.
#pragma once

#include "sheet/xls_records.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::xls {

// What tokens refer to outside themselves: sheets, the external sheet table, defined names.
struct FormulaContext {
    Biff biff = Biff::V8;
    unsigned codePage = 1252;
    std::vector<std::string> sheetNames; // every sheet in BOUNDSHEET order
    struct SheetRange {
        bool internal = false; // within this workbook
        int first = -1, last = -1;
    };
    std::vector<SheetRange> externSheets; // BIFF8: EXTERNSHEET entries
    std::vector<std::string> names;       // NAME records in order
    // Characters all formulas of the workbook may still produce; a hostile file of formulas
    // nested thousands deep would otherwise cost quadratic time. Past it formulas keep their
    // cached values only.
    mutable std::size_t budget = std::size_t{256} << 20;
};

// The formula as the cell shows it, without '=', or nullopt when a token is not supported
// (array constants, add-in functions, references into other files) or the tokens are
// malformed. `row` and `column` (0-based) place relative references of shared formulas.
std::optional<std::string> decompileFormula(std::string_view tokens, const FormulaContext& context,
                                            long row = 0, long column = 0);

// A sheet name as a reference writes it: quoted when it holds anything but letters, digits,
// underscores and dots, starts with a digit, or reads as a cell address.
std::string quotedSheetName(const std::string& name);

} // namespace sheet::xls
