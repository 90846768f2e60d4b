// The workbook globals of a BIFF stream: sheets, shared strings, formats, the references
// formulas use, defined names.
#pragma once

#include "sheet/model.h"
#include "sheet/xls_formula.h"
#include "sheet/xls_records.h"
#include "sheet/xls_styles.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::xls {

// Thrown for streams this reader refuses; the reader adds the file's path.
struct Refusal {
    const char* reason;
    std::string detail;
};

enum class SheetKind { Worksheet, Other };

struct SheetEntry {
    std::string name;
    std::uint32_t offset = 0; // of the sheet's BOF record in the stream
    bool hidden = false;
    bool veryHidden = false;
    SheetKind kind = SheetKind::Worksheet;
};

struct SharedString {
    SharedText text;
    std::shared_ptr<const RichText> richText; // null for plain text
};

struct NameEntry {
    std::string name; // "_xlnm.Print_Area" for built-in names
    int builtin = -1; // the built-in code (6 print area, 7 print titles); -1 for user names
    int sheet = -1;   // 0-based index in the sheet list for a sheet-level name
    bool hidden = false;
    std::string tokens;
};

struct Globals {
    Biff biff = Biff::V8;
    unsigned codePage = 1252;
    bool date1904 = false;
    int activeSheet = 0; // index in `sheets`
    std::vector<SheetEntry> sheets;
    std::vector<SharedString> strings;
    StyleBuilder styles;
    FormulaContext formulas;
    std::vector<NameEntry> names;
};

// Reads from the stream's first BOF to its EOF. Throws Refusal (encrypted, older versions,
// damage) and Truncated.
void readGlobals(std::string_view stream, Globals& globals);

// The version a BOF record body announces; throws Refusal for versions before BIFF5.
Biff biffOfBof(std::uint16_t recordType, std::string_view body);

} // namespace sheet::xls
