#include "sheet/formula_operators.h"

#include "sheet/formula_coerce.h"

#include <cmath>

namespace sheet::embedded::formula {

namespace {

CellValue compare(BinaryOp op, const CellValue& left, const CellValue& right) {
    const int order = compareValues(left, right);
    switch (op) {
    case BinaryOp::Equal:
        return CellValue::Boolean(order == 0);
    case BinaryOp::NotEqual:
        return CellValue::Boolean(order != 0);
    case BinaryOp::Less:
        return CellValue::Boolean(order < 0);
    case BinaryOp::LessOrEqual:
        return CellValue::Boolean(order <= 0);
    case BinaryOp::Greater:
        return CellValue::Boolean(order > 0);
    default:
        return CellValue::Boolean(order >= 0);
    }
}

CellValue power(double base, double exponent) {
    if (base == 0 && exponent == 0)
        return errorOf(kBadNumber);
    if (base == 0 && exponent < 0)
        return errorOf(kDivideByZero);
    return finite(std::pow(base, exponent));
}

CellValue arithmetic(BinaryOp op, double x, double y) {
    switch (op) {
    case BinaryOp::Add:
        return finite(x + y);
    case BinaryOp::Subtract:
        return finite(x - y);
    case BinaryOp::Multiply:
        return finite(x * y);
    case BinaryOp::Divide:
        return y == 0 ? errorOf(kDivideByZero) : finite(x / y);
    default:
        return power(x, y);
    }
}

} // namespace

CellValue applyBinary(BinaryOp op, const CellValue& left, const CellValue& right) {
    if (left.type == CellType::Error)
        return left;
    if (right.type == CellType::Error)
        return right;
    if (op == BinaryOp::Join) {
        std::string joined = textOf(left) + textOf(right);
        if (joined.size() > kLongestText)
            return errorOf(kWrongType);
        return CellValue::Text(std::move(joined));
    }
    if (op >= BinaryOp::Equal)
        return compare(op, left, right);
    const auto x = numberOf(left);
    if (!x)
        return failureOf(left);
    const auto y = numberOf(right);
    if (!y)
        return failureOf(right);
    return arithmetic(op, *x, *y);
}

CellValue negate(const CellValue& operand) {
    const auto x = numberOf(operand);
    return x ? CellValue::Number(-*x) : failureOf(operand);
}

CellValue percent(const CellValue& operand) {
    const auto x = numberOf(operand);
    return x ? CellValue::Number(*x / 100) : failureOf(operand);
}

} // namespace sheet::embedded::formula
