// Functions of text: LEFT, RIGHT, MID, LEN, TRIM, CONCATENATE and TEXT. Lengths count
// characters, not bytes.
#include "sheet/formula_coerce.h"
#include "sheet/formula_context.h"
#include "sheet/formula_functions.h"
#include "sheet/formula_text_format.h"

#include <array>

namespace sheet::embedded::formula {

namespace {

bool startsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

size_t characterCount(const std::string& text) {
    size_t count = 0;
    for (char c : text)
        count += startsCharacter(c);
    return count;
}

// The byte offset of character `index` (0-based), or the text's size past its end.
size_t byteOffset(const std::string& text, size_t index) {
    size_t seen = 0;
    for (size_t at = 0; at < text.size(); ++at)
        if (startsCharacter(text[at]) && seen++ == index)
            return at;
    return text.size();
}

std::string characters(const std::string& text, size_t first, size_t count) {
    const size_t from = byteOffset(text, first);
    const size_t to = byteOffset(text, first + count);
    return text.substr(from, to - from);
}

// A count argument: a number not below 0, or the error it gives.
std::optional<size_t> countOf(const CellValue& value, CellValue& failure) {
    const auto number = numberOf(value);
    if (!number || *number < 0) {
        failure = number ? errorOf(kWrongType) : failureOf(value);
        return std::nullopt;
    }
    return size_t(std::min(*number, 1e9));
}

CellValue left(const std::vector<CellValue>& arguments, Context&) {
    CellValue failure;
    const auto count = arguments.size() > 1 ? countOf(arguments[1], failure) : size_t(1);
    if (!count)
        return failure;
    return CellValue::Text(characters(textOf(arguments[0]), 0, *count));
}

CellValue right(const std::vector<CellValue>& arguments, Context&) {
    CellValue failure;
    const auto count = arguments.size() > 1 ? countOf(arguments[1], failure) : size_t(1);
    if (!count)
        return failure;
    const std::string text = textOf(arguments[0]);
    const size_t length = characterCount(text);
    const size_t taken = std::min(*count, length);
    return CellValue::Text(characters(text, length - taken, taken));
}

CellValue middle(const std::vector<CellValue>& arguments, Context&) {
    CellValue failure;
    const auto start = countOf(arguments[1], failure);
    if (!start)
        return failure;
    if (*start < 1)
        return errorOf(kWrongType);
    const auto count = countOf(arguments[2], failure);
    if (!count)
        return failure;
    return CellValue::Text(characters(textOf(arguments[0]), *start - 1, *count));
}

CellValue length(const std::vector<CellValue>& arguments, Context&) {
    return CellValue::Number(double(characterCount(textOf(arguments[0]))));
}

// Spaces at either end removed, runs of spaces inside cut to one.
CellValue trim(const std::vector<CellValue>& arguments, Context&) {
    std::string out;
    bool pendingSpace = false;
    for (char c : textOf(arguments[0])) {
        if (c == ' ') {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace)
            out += ' ';
        pendingSpace = false;
        out += c;
    }
    return CellValue::Text(out);
}

CellValue concatenate(const std::vector<CellValue>& arguments, Context&) {
    std::string out;
    for (const CellValue& argument : arguments) {
        out += textOf(argument);
        if (out.size() > kLongestText)
            return errorOf(kWrongType);
    }
    return CellValue::Text(out);
}

// TEXT(value, format): text that is no number comes back as it is.
CellValue text(const std::vector<CellValue>& arguments, Context& context) {
    const CellValue& value = arguments[0];
    const std::string format = textOf(arguments[1]);
    const auto number = value.type == CellType::Text ? numberInText(value.text) : numberOf(value);
    if (!number)
        return value.type == CellType::Text ? value : failureOf(value);
    if (format == "@")
        return CellValue::Text(textOf(value));
    auto shown = formatNumber(*number, format, context.dateShift());
    if (!shown) {
        context.markUncertain();
        return errorOf(kWrongType);
    }
    return CellValue::Text(*shown);
}

const std::array kFunctions = {
    FunctionInfo{"LEFT", 1, 2, left},  FunctionInfo{"RIGHT", 1, 2, right},
    FunctionInfo{"MID", 3, 3, middle}, FunctionInfo{"LEN", 1, 1, length},
    FunctionInfo{"TRIM", 1, 1, trim},  FunctionInfo{"CONCATENATE", 1, 255, concatenate},
    FunctionInfo{"TEXT", 2, 2, text},
};

} // namespace

std::span<const FunctionInfo> textFunctions() {
    return kFunctions;
}

} // namespace sheet::embedded::formula
