#include "sheet/formula_criteria.h"

#include "sheet/formula_coerce.h"

#include <algorithm>
#include <vector>

namespace sheet::embedded::formula {

namespace {

constexpr size_t kLongestPattern = 255;

std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> points;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length && at + k < text.size(); ++k)
            point = (point << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
        points.push_back(point);
        at += length;
    }
    return points;
}

struct PatternChar {
    char32_t point;
    bool wild; // '*' or '?' standing for others
};

std::vector<PatternChar> patternOf(std::string_view pattern) {
    std::vector<PatternChar> out;
    const auto points = codePoints(pattern);
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i] == U'~' && i + 1 < points.size() &&
            (points[i + 1] == U'*' || points[i + 1] == U'?' || points[i + 1] == U'~')) {
            out.push_back({points[++i], false});
            continue;
        }
        out.push_back({points[i], points[i] == U'*' || points[i] == U'?'});
    }
    return out;
}

} // namespace

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    const auto p = patternOf(foldCase(pattern));
    const auto t = codePoints(foldCase(text));
    // Spreadsheets refuse longer patterns; comparing them whole keeps matching linear.
    if (p.size() > kLongestPattern)
        return p.size() == t.size() &&
               std::equal(p.begin(), p.end(), t.begin(),
                          [](const PatternChar& a, char32_t b) { return a.point == b; });
    // Greedy matching that returns to the last star on a mismatch: linear in practice and
    // without recursion.
    size_t pi = 0, ti = 0, star = std::string::npos, resume = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi].wild && p[pi].point == U'*') {
            star = pi++;
            resume = ti;
        } else if (pi < p.size() && ((p[pi].wild && p[pi].point == U'?') || p[pi].point == t[ti])) {
            ++pi;
            ++ti;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ti = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi].wild && p[pi].point == U'*')
        ++pi;
    return pi == p.size();
}

Criterion::Criterion(const CellValue& criterion) {
    if (criterion.type != CellType::Text) {
        operand_ = criterion.empty() ? CellValue::Number(0) : criterion;
        return;
    }
    std::string_view text = criterion.text;
    static const std::pair<std::string_view, Op> prefixes[] = {
        {"<=", Op::LessOrEqual}, {">=", Op::GreaterOrEqual}, {"<>", Op::NotEqual},
        {"<", Op::Less},         {">", Op::Greater},         {"=", Op::Equal}};
    for (const auto& [prefix, op] : prefixes)
        if (text.starts_with(prefix)) {
            op_ = op;
            text.remove_prefix(prefix.size());
            break;
        }
    if (text.empty()) {
        operand_ = CellValue{};
        return;
    }
    if (auto number = numberInText(text)) {
        operand_ = CellValue::Number(*number);
        return;
    }
    const std::string word = foldCase(text);
    if (word == "TRUE" || word == "FALSE") {
        operand_ = CellValue::Boolean(word == "TRUE");
        return;
    }
    operand_ = CellValue::Text(std::string(text));
}

bool Criterion::holds(int order) const {
    switch (op_) {
    case Op::Equal:
        return order == 0;
    case Op::NotEqual:
        return order != 0;
    case Op::Less:
        return order < 0;
    case Op::LessOrEqual:
        return order <= 0;
    case Op::Greater:
        return order > 0;
    default:
        return order >= 0;
    }
}

bool Criterion::matches(const CellValue& cell) const {
    const bool blank = cell.empty() || (cell.type == CellType::Text && cell.text.empty());
    if (operand_.empty())
        return op_ == Op::Equal ? blank : op_ == Op::NotEqual ? !blank : false;
    const bool equality = op_ == Op::Equal || op_ == Op::NotEqual;
    if (cell.type == CellType::Error || (blank && !equality))
        return false;
    if (operand_.type == CellType::Text && equality && cell.type == CellType::Text)
        return wildcardMatch(operand_.text, cell.text) == (op_ == Op::Equal);
    CellValue compared = cell;
    // "=3" also matches the text "3", as a typed number in a text cell.
    if (operand_.type == CellType::Number && cell.type == CellType::Text && equality)
        if (auto number = numberInText(cell.text))
            compared = CellValue::Number(*number);
    if (compared.type != operand_.type && !(blank && equality))
        return op_ == Op::NotEqual;
    if (blank)
        return op_ == Op::NotEqual;
    return holds(compareValues(compared, operand_));
}

} // namespace sheet::embedded::formula
