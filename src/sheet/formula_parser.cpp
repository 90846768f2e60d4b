// Reads formula tokens into postfix instructions by precedence climbing. Chains of operators
// are read in a loop; only parentheses and function calls nest, and their depth is bounded.
#include "sheet/automation.h"
#include "sheet/embedded_messages.h"
#include "sheet/formula_functions.h"
#include "sheet/formula_lexer.h"
#include "sheet/formula_program.h"
#include "sheet/range_text.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace sheet::embedded::formula {

namespace {

// Deeper nesting of parentheses and calls than spreadsheet applications accept (64 levels).
constexpr int kDeepestNesting = 100;
constexpr int kComparisonLevel = 1;
constexpr int kJoinLevel = 2;
constexpr int kSumLevel = 3;
constexpr int kProductLevel = 4;
constexpr int kPowerLevel = 5;

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "C" or "$C": one end of a whole-column reference.
std::optional<CellRefText> readColumnRef(const std::string& word) {
    CellRefText ref;
    size_t at = 0;
    if (at < word.size() && word[at] == '$') {
        ref.absoluteColumn = true;
        ++at;
    }
    const std::string letters = word.substr(at);
    if (letters.empty() || letters.size() > 3 ||
        !std::all_of(letters.begin(), letters.end(),
                     [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    ref.column = columnNumber(letters);
    if (ref.column == 0)
        return std::nullopt;
    return ref;
}

std::optional<CellRefText> readCellRef(const std::string& word) {
    CellRefText ref;
    size_t at = 0;
    if (at < word.size() && word[at] == '$') {
        ref.absoluteColumn = true;
        ++at;
    }
    size_t letters = at;
    while (at < word.size() && std::isalpha(static_cast<unsigned char>(word[at])))
        ++at;
    if (at - letters > 3)
        return std::nullopt;
    ref.column = columnNumber(word.substr(letters, at - letters));
    if (ref.column == 0)
        return std::nullopt;
    if (at < word.size() && word[at] == '$') {
        ref.absoluteRow = true;
        ++at;
    }
    size_t digits = at;
    long row = 0;
    while (at < word.size() && std::isdigit(static_cast<unsigned char>(word[at]))) {
        row = row * 10 + (word[at] - '0');
        if (row > kMaxRows)
            return std::nullopt;
        ++at;
    }
    if (at == digits || at != word.size() || row == 0)
        return std::nullopt;
    ref.row = row;
    return ref;
}

struct OperatorInfo {
    int level;
    BinaryOp op;
};

std::optional<OperatorInfo> binaryOperator(const Token& token) {
    if (token.kind != Token::Kind::Operator)
        return std::nullopt;
    const std::string& t = token.text;
    if (t == "+")
        return OperatorInfo{kSumLevel, BinaryOp::Add};
    if (t == "-")
        return OperatorInfo{kSumLevel, BinaryOp::Subtract};
    if (t == "*")
        return OperatorInfo{kProductLevel, BinaryOp::Multiply};
    if (t == "/")
        return OperatorInfo{kProductLevel, BinaryOp::Divide};
    if (t == "^")
        return OperatorInfo{kPowerLevel, BinaryOp::Power};
    if (t == "&")
        return OperatorInfo{kJoinLevel, BinaryOp::Join};
    if (t == "=")
        return OperatorInfo{kComparisonLevel, BinaryOp::Equal};
    if (t == "<>")
        return OperatorInfo{kComparisonLevel, BinaryOp::NotEqual};
    if (t == "<")
        return OperatorInfo{kComparisonLevel, BinaryOp::Less};
    if (t == "<=")
        return OperatorInfo{kComparisonLevel, BinaryOp::LessOrEqual};
    if (t == ">")
        return OperatorInfo{kComparisonLevel, BinaryOp::Greater};
    if (t == ">=")
        return OperatorInfo{kComparisonLevel, BinaryOp::GreaterOrEqual};
    return std::nullopt;
}

class Parser {
public:
    Parser(const std::string& text, std::vector<Token> tokens)
        : text_(text), tokens_(std::move(tokens)) {}

    Program run() {
        // Instructions and respelt spans come of the tokens, nearly one each: reserving for
        // them spares a long formula the copies of a growing array.
        program_.code.reserve(tokens_.size() + 1);
        program_.spans.reserve(tokens_.size());
        expression(kComparisonLevel);
        if (peek().kind != Token::Kind::End)
            unreadable();
        return std::move(program_);
    }

private:
    const std::string& text_;
    std::vector<Token> tokens_;
    size_t at_ = 0;
    int depth_ = 0;
    int arrayDepth_ = 0;
    Program program_;

    [[noreturn]] void unreadable() const { throw AutomationError(messages::kBadFormula + text_); }

    const Token& peek(size_t ahead = 0) const {
        return tokens_[std::min(at_ + ahead, tokens_.size() - 1)];
    }
    const Token& advance() { return tokens_[std::min(at_++, tokens_.size() - 1)]; }
    bool isOperator(const Token& token, const char* text) const {
        return token.kind == Token::Kind::Operator && token.text == text;
    }
    void expect(Token::Kind kind) {
        if (advance().kind != kind)
            unreadable();
    }

    Instruction& emit(Instruction::Kind kind) {
        Instruction instruction;
        instruction.kind = kind;
        instruction.arrayContext = arrayDepth_ > 0;
        program_.code.push_back(std::move(instruction));
        return program_.code.back();
    }
    void emitLiteral(CellValue value) {
        emit(Instruction::Kind::Literal).literal = std::move(value);
    }

    // Operands joined by operators of at least `level`; each level's chain is a loop.
    void expression(int level) {
        if (level > kPowerLevel) {
            operand();
            return;
        }
        expression(level + 1);
        while (auto op = binaryOperator(peek())) {
            if (op->level != level)
                break;
            advance();
            expression(level + 1);
            emit(Instruction::Kind::Binary).binary = op->op;
        }
    }

    // Signs, then the primary, then percent signs; a minus binds before the percent.
    void operand() {
        size_t negations = 0;
        while (isOperator(peek(), "-") || isOperator(peek(), "+"))
            if (advance().text == "-")
                ++negations;
        primary();
        while (isOperator(peek(), "%")) {
            advance();
            emit(Instruction::Kind::Percent);
        }
        for (size_t i = 0; i < negations; ++i)
            emit(Instruction::Kind::Negate);
    }

    void enter() {
        if (++depth_ > kDeepestNesting)
            throw AutomationError(messages::kFormulaTooDeep + text_.substr(0, 80));
    }

    void primary() {
        const Token& token = advance();
        switch (token.kind) {
        case Token::Kind::Number:
            return emitLiteral(CellValue::Number(token.number));
        case Token::Kind::String:
            return emitLiteral(CellValue::Text(token.text));
        case Token::Kind::Error:
            return emitLiteral(CellValue::Error(token.text));
        case Token::Kind::Open:
            enter();
            expression(kComparisonLevel);
            expect(Token::Kind::Close);
            --depth_;
            return;
        case Token::Kind::QuotedName:
            return quotedReference(token);
        case Token::Kind::Word:
            return word(token);
        default:
            unreadable();
        }
    }

    void word(const Token& token) {
        const Token& next = peek();
        if (next.kind == Token::Kind::Open && !next.spaceBefore)
            return call(token);
        if (next.kind == Token::Kind::Bang)
            return sheetReference(token.text, token.text);
        if (next.kind == Token::Kind::Colon && peek(1).kind == Token::Kind::Word &&
            peek(2).kind == Token::Kind::Bang) {
            advance();
            const std::string last = advance().text;
            return sheetReference(token.text, last);
        }
        const std::string name = upper(token.text);
        if (name == "TRUE" || name == "FALSE")
            return emitLiteral(CellValue::Boolean(name == "TRUE"));
        if (readCellRef(token.text) || startsColumns()) {
            --at_;
            return cells({});
        }
        emit(Instruction::Kind::Name).name = token.text;
    }

    void quotedReference(const Token& token) {
        const std::string& name = token.text;
        const size_t colon = name.find(':');
        const std::string first = name.substr(0, colon);
        const std::string last = colon == std::string::npos ? first : name.substr(colon + 1);
        if (peek().kind != Token::Kind::Bang || first.empty() || last.empty() ||
            last.find(':') != std::string::npos)
            unreadable();
        sheetReference(first, last);
    }

    void sheetReference(const std::string& first, const std::string& last) {
        expect(Token::Kind::Bang);
        ReferenceText reference;
        reference.firstSheet = first;
        reference.lastSheet = last;
        cells(std::move(reference));
    }

    CellRefText cellRef() {
        const Token& token = advance();
        std::optional<CellRefText> ref;
        if (token.kind == Token::Kind::Word)
            ref = readCellRef(token.text);
        if (!ref)
            unreadable();
        program_.spans.push_back({token.at, token.length, false, *ref});
        return *ref;
    }

    // Whether the word just read begins a whole-column reference: "A:C", "$A:$A".
    bool startsColumns() const {
        const Token& word = tokens_[at_ - 1];
        return readColumnRef(word.text) && peek().kind == Token::Kind::Colon &&
               peek(1).kind == Token::Kind::Word && readColumnRef(peek(1).text);
    }

    void columns(ReferenceText reference) {
        const Token& firstToken = advance();
        const CellRefText first = *readColumnRef(firstToken.text);
        program_.spans.push_back({firstToken.at, firstToken.length, false, first});
        expect(Token::Kind::Colon);
        const Token& lastToken = advance();
        const std::optional<CellRefText> last = readColumnRef(lastToken.text);
        if (!last)
            unreadable();
        program_.spans.push_back({lastToken.at, lastToken.length, false, *last});
        reference.rect = {1, std::min(first.column, last->column), kMaxRows,
                          std::max(first.column, last->column)};
        emit(Instruction::Kind::Reference).reference = std::move(reference);
    }

    void cells(ReferenceText reference) {
        if (peek().kind == Token::Kind::Word && !readCellRef(peek().text) &&
            readColumnRef(peek().text) && peek(1).kind == Token::Kind::Colon)
            return columns(std::move(reference));
        CellRefText first = cellRef();
        CellRefText last = first;
        if (peek().kind == Token::Kind::Colon) {
            advance();
            last = cellRef();
        }
        reference.rect = {std::min(first.row, last.row), std::min(first.column, last.column),
                          std::max(first.row, last.row), std::max(first.column, last.column)};
        emit(Instruction::Kind::Reference).reference = std::move(reference);
    }

    void call(const Token& name) {
        const FunctionInfo* function = findFunction(upper(name.text));
        program_.spans.push_back({name.at, name.length, true, {}});
        advance(); // '('
        enter();
        const bool arrays = function && function->arrayArguments;
        arrayDepth_ += arrays;
        int count = 0;
        if (peek().kind == Token::Kind::Close) {
            advance();
        } else {
            Token::Kind after;
            do {
                argument();
                ++count;
                after = advance().kind;
            } while (after == Token::Kind::Comma);
            if (after != Token::Kind::Close)
                unreadable();
        }
        arrayDepth_ -= arrays;
        --depth_;
        if (function && (count < function->fewest || count > function->most))
            unreadable();
        Instruction& instruction = emit(Instruction::Kind::Call);
        instruction.function = function;
        instruction.argumentCount = count;
    }

    // An argument left out (SUM(A1,,2)) is an empty value.
    void argument() {
        const Token::Kind next = peek().kind;
        if (next == Token::Kind::Comma || next == Token::Kind::Close)
            return emitLiteral(CellValue{});
        expression(kComparisonLevel);
    }
};

} // namespace

Program compile(const std::string& text) {
    // The limit counts characters, not the bytes of their UTF-8 form.
    const size_t length = size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
    if (length > kLongestFormula)
        throw AutomationError(messages::kFormulaTooLong + std::to_string(length));
    return Parser(text, tokenize(text)).run();
}

} // namespace sheet::embedded::formula
