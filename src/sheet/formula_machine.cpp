#include "sheet/formula_machine.h"

#include "sheet/automation.h"
#include "sheet/embedded_messages.h"
#include "sheet/formula_functions.h"
#include "sheet/formula_operators.h"

#include <algorithm>

namespace sheet::embedded::formula {

namespace {

int sheetIndex(const Workbook& workbook, const std::string& name) {
    const int index = workbook.indexOf(name);
    if (index < 0)
        throw AutomationError(messages::kFormulaSheetMissing + name);
    return index;
}

Area areaOf(const ReferenceText& reference, Context& context) {
    Area area;
    area.rect = reference.rect;
    if (reference.firstSheet.empty()) {
        area.firstSheet = area.lastSheet = context.hostSheet();
        return area;
    }
    area.firstSheet = sheetIndex(context.workbook(), reference.firstSheet);
    area.lastSheet = sheetIndex(context.workbook(), reference.lastSheet);
    if (area.firstSheet > area.lastSheet)
        std::swap(area.firstSheet, area.lastSheet);
    return area;
}

// An operand as an operator or scalar function takes it: an array where blocks stand for
// arrays, else a single value.
Value operandOf(const Value& value, bool arrayContext, Context& context) {
    if (!std::holds_alternative<Area>(value))
        return value;
    if (!arrayContext || std::get<Area>(value).isCell())
        return context.scalar(value);
    auto array = context.array(value);
    if (auto* error = std::get_if<CellValue>(&array))
        return *error;
    return std::get<Array>(std::move(array));
}

// Applies `apply` to the operands, element by element when any is an array. Arrays of
// different sizes are matched as spreadsheets match them: a single row or column repeats,
// elements one array lacks are #N/A.
template <typename Apply>
Value elementwise(const std::vector<Value>& operands, Context& context, Apply apply) {
    long rows = 0, columns = 0;
    for (const Value& operand : operands)
        if (const auto* array = std::get_if<Array>(&operand)) {
            rows = std::max(rows, array->rows);
            columns = std::max(columns, array->columns);
        }
    std::vector<CellValue> single(operands.size());
    if (rows == 0) {
        for (size_t i = 0; i < operands.size(); ++i)
            single[i] = std::get<CellValue>(operands[i]);
        return apply(single);
    }
    if (size_t(rows) * size_t(columns) > kLargestArray) {
        context.markUncertain();
        return errorOf(kWrongType);
    }
    Array result{rows, columns, {}};
    result.cells.reserve(size_t(rows) * size_t(columns));
    for (long r = 0; r < rows; ++r)
        for (long c = 0; c < columns; ++c) {
            for (size_t i = 0; i < operands.size(); ++i) {
                const auto* array = std::get_if<Array>(&operands[i]);
                if (!array) {
                    single[i] = std::get<CellValue>(operands[i]);
                    continue;
                }
                const long ar = array->rows == 1 ? 0 : r, ac = array->columns == 1 ? 0 : c;
                single[i] = ar < array->rows && ac < array->columns ? array->at(ar, ac)
                                                                    : errorOf(kNotAvailable);
            }
            result.cells.push_back(apply(single));
        }
    return result;
}

CellValue callScalar(const FunctionInfo& function, const std::vector<CellValue>& arguments,
                     Context& context) {
    if (!function.seesErrors)
        for (const CellValue& argument : arguments)
            if (argument.type == CellType::Error)
                return argument;
    return function.scalar(arguments, context);
}

bool sameName(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

// The defined name a formula on `hostSheet` means: the sheet's own name of that spelling
// first, then the workbook's.
const DefinedName* findName(const Workbook& workbook, int hostSheet, std::string_view name) {
    const DefinedName* global = nullptr;
    for (const DefinedName& defined : workbook.names) {
        if (!sameName(defined.name, name))
            continue;
        if (defined.localSheet == hostSheet)
            return &defined;
        if (defined.localSheet < 0)
            global = &defined;
    }
    return global;
}

// Names defined through other names are followed this deep; a loop of names ends here.
constexpr int kDeepestNames = 16;

class Machine {
public:
    explicit Machine(Context& context, int nameDepth = 0)
        : context_(context), nameDepth_(nameDepth) {}

    Outcome run(const Program& program) {
        CellValue result = context_.scalar(valueOf(program));
        if (result.empty())
            result = CellValue::Number(0);
        return {std::move(result), context_.uncertain()};
    }

private:
    Context& context_;
    const int nameDepth_;
    std::vector<Value> stack_;

    // The program's value as it stands: a block stays a block.
    Value valueOf(const Program& program) {
        for (const Instruction& instruction : program.code)
            step(instruction);
        return stack_.empty() ? Value(errorOf(kWrongType)) : stack_.back();
    }

    Value nameValue(const std::string& name) {
        const DefinedName* defined = findName(context_.workbook(), context_.hostSheet(), name);
        if (!defined || nameDepth_ >= kDeepestNames) {
            context_.markUncertain();
            return errorOf(kUnknownName);
        }
        Program program;
        try {
            program = compile(defined->formula);
        } catch (const AutomationError&) {
            context_.markUncertain();
            return errorOf(kUnknownName);
        }
        return Machine(context_, nameDepth_ + 1).valueOf(program);
    }

    Value pop() {
        Value value = std::move(stack_.back());
        stack_.pop_back();
        return value;
    }

    std::vector<Value> popArguments(size_t count) {
        std::vector<Value> arguments(std::make_move_iterator(stack_.end() - long(count)),
                                     std::make_move_iterator(stack_.end()));
        stack_.resize(stack_.size() - count);
        return arguments;
    }

    void step(const Instruction& instruction) {
        context_.setArrayContext(instruction.arrayContext);
        switch (instruction.kind) {
        case Instruction::Kind::Literal:
            stack_.emplace_back(instruction.literal);
            return;
        case Instruction::Kind::Reference:
            stack_.emplace_back(areaOf(instruction.reference, context_));
            return;
        case Instruction::Kind::Name:
            stack_.push_back(nameValue(instruction.name));
            return;
        case Instruction::Kind::Negate:
        case Instruction::Kind::Percent:
            return unary(instruction);
        case Instruction::Kind::Binary:
            return binary(instruction);
        case Instruction::Kind::Call:
            return call(instruction);
        }
    }

    void unary(const Instruction& instruction) {
        std::vector<Value> operands{operandOf(pop(), instruction.arrayContext, context_)};
        const bool isNegate = instruction.kind == Instruction::Kind::Negate;
        stack_.push_back(elementwise(operands, context_, [&](const std::vector<CellValue>& v) {
            return isNegate ? negate(v[0]) : percent(v[0]);
        }));
    }

    void binary(const Instruction& instruction) {
        Value right = operandOf(pop(), instruction.arrayContext, context_);
        Value left = operandOf(pop(), instruction.arrayContext, context_);
        std::vector<Value> operands{std::move(left), std::move(right)};
        stack_.push_back(elementwise(operands, context_, [&](const std::vector<CellValue>& v) {
            return applyBinary(instruction.binary, v[0], v[1]);
        }));
    }

    void call(const Instruction& instruction) {
        std::vector<Value> arguments = popArguments(size_t(instruction.argumentCount));
        const FunctionInfo* function = instruction.function;
        if (!function) {
            context_.markUncertain();
            stack_.emplace_back(errorOf(kUnknownName));
            return;
        }
        if (function->block) {
            stack_.push_back(function->block(arguments, context_));
            return;
        }
        for (Value& argument : arguments)
            argument = operandOf(argument, instruction.arrayContext, context_);
        stack_.push_back(elementwise(arguments, context_, [&](const std::vector<CellValue>& v) {
            return callScalar(*function, v, context_);
        }));
    }
};

} // namespace

Outcome execute(const Program& program, Context& context) {
    return Machine(context).run(program);
}

} // namespace sheet::embedded::formula
