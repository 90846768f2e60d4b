// A formula read into postfix order: the computer works through the instructions with a stack
// of values, so no formula, however long or deeply nested, costs more than a bounded stack.
#pragma once

#include "sheet/formula_value.h"

#include <string>
#include <vector>

namespace sheet::embedded::formula {

struct FunctionInfo;

enum class BinaryOp {
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Join,
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
};

// A reference as written: sheet names (both empty for the host sheet) and the block.
struct ReferenceText {
    std::string firstSheet, lastSheet;
    CellRect rect;
};

struct Instruction {
    // Name: a defined name of the workbook, or #NAME? where it has none of that spelling.
    enum class Kind { Literal, Reference, Name, Negate, Percent, Binary, Call };
    Kind kind = Kind::Literal;
    // Whether blocks met here stand for arrays (inside SUMPRODUCT) rather than for the cell
    // of the host's row or column.
    bool arrayContext = false;
    CellValue literal; // Literal; an omitted argument is an empty value
    ReferenceText reference;
    BinaryOp binary = BinaryOp::Add;
    std::string name;                       // Name
    const FunctionInfo* function = nullptr; // Call; null for a function nobody knows
    int argumentCount = 0;
};

// One cell reference of the text, for respelling (moving, upper case). Row 0 is one end of a
// whole-column reference (A:C), written without a row.
struct CellRefText {
    long row = 0, column = 0;
    bool absoluteRow = false, absoluteColumn = false;
};

// A stretch of the text that respelling rewrites: a function name or a cell reference.
struct Span {
    size_t at = 0, length = 0;
    bool isFunction = false;
    CellRefText ref;
};

struct Program {
    std::vector<Instruction> code;
    std::vector<Span> spans;
};

// Reads a formula (without its '='). Throws AutomationError when the text is no formula, is
// longer than spreadsheet applications allow or nests too deeply.
Program compile(const std::string& text);

} // namespace sheet::embedded::formula
