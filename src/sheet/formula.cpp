#include "sheet/formula.h"

#include "sheet/automation.h"
#include "sheet/embedded_messages.h"
#include "sheet/range_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace sheet::embedded {

namespace {

struct CellRef {
    long row = 0, column = 0;
    bool absoluteRow = false, absoluteColumn = false;
};

// A stretch of the source text that shifting or canonical spelling rewrites.
struct Span {
    size_t at = 0, length = 0;
    bool isFunction = false;
    CellRef ref;
};

struct Node {
    enum class Kind { Number, Reference, Negate, Binary, Sum };
    Kind kind = Kind::Number;
    double number = 0;
    char op = 0;
    std::vector<Node> children;
    // Reference: the sheets (empty = the host sheet) and the cells.
    std::string firstSheet, lastSheet;
    CellRect rect;
    bool isBlock = false;
};

[[noreturn]] void unreadable(const std::string& text) {
    throw AutomationError(messages::kBadFormula + text);
}

bool isWordChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '.' || c == '$' || u >= 0x80;
}

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::optional<CellRef> readCellRef(const std::string& word) {
    CellRef ref;
    size_t at = 0;
    if (at < word.size() && word[at] == '$') {
        ref.absoluteColumn = true;
        ++at;
    }
    size_t letters = at;
    while (at < word.size() && std::isalpha(static_cast<unsigned char>(word[at])))
        ++at;
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

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    Node parse() {
        Node root = expression();
        skipBlanks();
        if (at_ != text_.size())
            unreadable(text_);
        return root;
    }
    const std::vector<Span>& spans() const { return spans_; }

private:
    const std::string& text_;
    size_t at_ = 0;
    std::vector<Span> spans_;
    int depth_ = 0;

    void skipBlanks() {
        while (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }
    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!take(c))
            unreadable(text_);
    }
    char peekRaw() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    Node expression() {
        if (++depth_ > 200)
            unreadable(text_);
        Node left = term();
        while (true) {
            skipBlanks();
            char c = peekRaw();
            if (c != '+' && c != '-')
                break;
            ++at_;
            left = binary(c, std::move(left), term());
        }
        --depth_;
        return left;
    }

    Node term() {
        Node left = unary();
        while (true) {
            skipBlanks();
            char c = peekRaw();
            if (c != '*' && c != '/')
                break;
            ++at_;
            left = binary(c, std::move(left), unary());
        }
        return left;
    }

    static Node binary(char op, Node left, Node right) {
        Node node;
        node.kind = Node::Kind::Binary;
        node.op = op;
        node.children.push_back(std::move(left));
        node.children.push_back(std::move(right));
        return node;
    }

    Node unary() {
        if (++depth_ > 200)
            unreadable(text_);
        Node result = signedPrimary();
        --depth_;
        return result;
    }

    Node signedPrimary() {
        if (take('-')) {
            Node node;
            node.kind = Node::Kind::Negate;
            node.children.push_back(unary());
            return node;
        }
        if (take('+'))
            return unary();
        return primary();
    }

    Node primary() {
        skipBlanks();
        char c = peekRaw();
        if (c == '(') {
            ++at_;
            Node inner = expression();
            expect(')');
            return inner;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.')
            return number();
        if (c == '\'')
            return quotedReference();
        if (c != '\0' && isWordChar(c))
            return wordItem();
        unreadable(text_);
    }

    Node number() {
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        double value = std::strtod(start, &end);
        if (end == start)
            unreadable(text_);
        at_ += static_cast<size_t>(end - start);
        if (at_ < text_.size() && (isWordChar(text_[at_]) || text_[at_] == ':'))
            unreadable(text_);
        Node node;
        node.number = value;
        return node;
    }

    std::string word() {
        size_t start = at_;
        while (at_ < text_.size() && isWordChar(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    Node quotedReference() {
        ++at_; // opening quote
        std::string name;
        while (true) {
            if (at_ >= text_.size())
                unreadable(text_);
            if (text_[at_] == '\'') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
                    name += '\'';
                    at_ += 2;
                    continue;
                }
                ++at_;
                break;
            }
            name += text_[at_++];
        }
        if (peekRaw() != '!' || name.empty())
            unreadable(text_);
        ++at_;
        Node node;
        size_t colon = name.find(':');
        node.firstSheet = name.substr(0, colon);
        node.lastSheet = colon == std::string::npos ? node.firstSheet : name.substr(colon + 1);
        if (node.firstSheet.empty() || node.lastSheet.empty() ||
            node.lastSheet.find(':') != std::string::npos)
            unreadable(text_);
        cells(node);
        return node;
    }

    Node wordItem() {
        size_t start = at_;
        std::string first = word();
        char next = peekRaw();
        if (next == '(')
            return function(first, start);
        Node node;
        if (next == '!') {
            ++at_;
            node.firstSheet = node.lastSheet = first;
            cells(node);
            return node;
        }
        if (next == ':') {
            size_t afterColon = at_ + 1;
            at_ = afterColon;
            std::string second = word();
            if (peekRaw() == '!') {
                ++at_;
                node.firstSheet = first;
                node.lastSheet = second;
                cells(node);
                return node;
            }
        }
        at_ = start;
        cells(node);
        return node;
    }

    Node function(const std::string& name, size_t start) {
        if (upper(name) != "SUM")
            unreadable(text_);
        spans_.push_back({start, name.size(), true, {}});
        ++at_; // '('
        Node node;
        node.kind = Node::Kind::Sum;
        do {
            node.children.push_back(expression());
        } while (take(','));
        expect(')');
        return node;
    }

    CellRef cellRef() {
        size_t start = at_;
        std::string text = word();
        auto ref = readCellRef(text);
        if (!ref)
            unreadable(text_);
        spans_.push_back({start, text.size(), false, *ref});
        return *ref;
    }

    void cells(Node& node) {
        node.kind = Node::Kind::Reference;
        CellRef first = cellRef();
        CellRef last = first;
        if (peekRaw() == ':') {
            ++at_;
            last = cellRef();
            node.isBlock = true;
        }
        node.rect = {std::min(first.row, last.row), std::min(first.column, last.column),
                     std::max(first.row, last.row), std::max(first.column, last.column)};
    }
};

std::string spell(const CellRef& ref) {
    std::string text;
    if (ref.absoluteColumn)
        text += '$';
    text += columnLetters(ref.column);
    if (ref.absoluteRow)
        text += '$';
    return text + std::to_string(ref.row);
}

std::string rewrite(const std::string& text, long rows, long columns) {
    Parser parser(text);
    parser.parse();
    std::string out;
    size_t copied = 0;
    for (const Span& span : parser.spans()) {
        out += text.substr(copied, span.at - copied);
        copied = span.at + span.length;
        if (span.isFunction) {
            out += upper(text.substr(span.at, span.length));
            continue;
        }
        CellRef ref = span.ref;
        if (!ref.absoluteRow)
            ref.row += rows;
        if (!ref.absoluteColumn)
            ref.column += columns;
        if (ref.row < 1 || ref.row > kMaxRows || ref.column < 1 || ref.column > kMaxColumns)
            throw AutomationError(messages::kFormulaOutside + text);
        out += spell(ref);
    }
    return out + text.substr(copied);
}

CellValue errorValue(const char* code) {
    return CellValue::Error(code);
}

// A number of a value met in arithmetic, or the error that arithmetic gives.
std::variant<double, CellValue> arithmeticNumber(const CellValue& value) {
    switch (value.type) {
    case CellType::Empty:
        return 0.0;
    case CellType::Number:
    case CellType::Boolean:
        return value.number;
    case CellType::Error:
        return value;
    case CellType::Text:
        break;
    }
    const char* start = value.text.c_str();
    char* end = nullptr;
    double number = std::strtod(start, &end);
    while (end && *end == ' ')
        ++end;
    if (end == start || *end != '\0')
        return errorValue("#VALUE!");
    return number;
}

class Evaluator {
public:
    Evaluator(const std::string& text, const Workbook& workbook, const Worksheet& host,
              const CellLookup& lookup)
        : text_(text), workbook_(workbook), host_(host), lookup_(lookup) {}

    CellValue value(const Node& node) {
        switch (node.kind) {
        case Node::Kind::Number:
            return CellValue::Number(node.number);
        case Node::Kind::Reference:
            return referenceValue(node);
        case Node::Kind::Negate:
            return negate(value(node.children[0]));
        case Node::Kind::Binary:
            return binary(node.op, value(node.children[0]), value(node.children[1]));
        case Node::Kind::Sum:
            return sum(node);
        }
        return errorValue("#VALUE!");
    }

private:
    const std::string& text_;
    const Workbook& workbook_;
    const Worksheet& host_;
    const CellLookup& lookup_;

    std::vector<const Worksheet*> sheetsOf(const Node& node) {
        if (node.firstSheet.empty())
            return {&host_};
        int first = workbook_.indexOf(node.firstSheet);
        int last = workbook_.indexOf(node.lastSheet);
        if (first < 0)
            throw AutomationError(messages::kFormulaSheetMissing + node.firstSheet);
        if (last < 0)
            throw AutomationError(messages::kFormulaSheetMissing + node.lastSheet);
        if (first > last)
            std::swap(first, last);
        std::vector<const Worksheet*> sheets;
        for (int i = first; i <= last; ++i)
            sheets.push_back(workbook_.sheets[static_cast<size_t>(i)].get());
        return sheets;
    }

    CellValue referenceValue(const Node& node) {
        auto sheets = sheetsOf(node);
        if (node.isBlock || sheets.size() != 1)
            return errorValue("#VALUE!");
        CellValue cell = lookup_(*sheets.front(), node.rect.firstRow, node.rect.firstColumn);
        return cell.empty() ? CellValue::Number(0) : cell;
    }

    static CellValue negate(const CellValue& operand) {
        auto number = arithmeticNumber(operand);
        if (auto* error = std::get_if<CellValue>(&number))
            return *error;
        return CellValue::Number(-std::get<double>(number));
    }

    static CellValue binary(char op, const CellValue& a, const CellValue& b) {
        auto left = arithmeticNumber(a);
        if (auto* error = std::get_if<CellValue>(&left))
            return *error;
        auto right = arithmeticNumber(b);
        if (auto* error = std::get_if<CellValue>(&right))
            return *error;
        double x = std::get<double>(left), y = std::get<double>(right);
        switch (op) {
        case '+':
            return finite(x + y);
        case '-':
            return finite(x - y);
        case '*':
            return finite(x * y);
        default:
            if (y == 0)
                return errorValue("#DIV/0!");
            return finite(x / y);
        }
    }

    static CellValue finite(double value) {
        return std::isfinite(value) ? CellValue::Number(value) : errorValue("#NUM!");
    }

    CellValue sum(const Node& node) {
        double total = 0;
        for (const Node& argument : node.children) {
            if (argument.kind == Node::Kind::Reference) {
                std::optional<CellValue> error = sumCells(argument, total);
                if (error)
                    return *error;
                continue;
            }
            auto number = arithmeticNumber(value(argument));
            if (auto* error = std::get_if<CellValue>(&number))
                return *error;
            total += std::get<double>(number);
        }
        return finite(total);
    }

    // Adds the numbers of the referenced cells; text, booleans and blanks are skipped there.
    std::optional<CellValue> sumCells(const Node& node, double& total) {
        const CellRect& rect = node.rect;
        for (const Worksheet* sheet : sheetsOf(node)) {
            const auto& rows = sheet->rows();
            for (auto row = rows.lower_bound(rect.firstRow);
                 row != rows.end() && row->first <= rect.lastRow; ++row) {
                const auto& cells = row->second;
                for (auto cell = cells.lower_bound(rect.firstColumn);
                     cell != cells.end() && cell->first <= rect.lastColumn; ++cell) {
                    CellValue value = lookup_(*sheet, row->first, cell->first);
                    if (value.type == CellType::Error)
                        return value;
                    if (value.type == CellType::Number)
                        total += value.number;
                }
            }
        }
        return std::nullopt;
    }
};

// Computes formula cells on demand, each once, following references into other formulas.
class Recalculator {
public:
    explicit Recalculator(Workbook& workbook) : workbook_(workbook) {}

    void run() {
        // Each pass follows chains kDeepestChain deep; a longer chain needs further passes.
        for (int pass = 0; pass < kMostPasses; ++pass) {
            cut_ = false;
            done_.clear();
            for (auto& sheet : workbook_.sheets)
                for (auto& [row, cells] : sheet->rows())
                    for (auto& [column, cell] : cells)
                        if (!cell.formula.empty())
                            resolve(*sheet, row, column);
            if (!cut_)
                return;
        }
    }

private:
    using Key = std::tuple<const Worksheet*, long, long>;
    static constexpr size_t kDeepestChain = 1000;
    static constexpr int kMostPasses = 100;
    Workbook& workbook_;
    bool cut_ = false;
    std::set<Key> done_;
    std::set<Key> active_;

    CellValue resolve(const Worksheet& sheet, long row, long column) {
        const Cell* found = sheet.cell(row, column);
        if (!found)
            return {};
        Key key{&sheet, row, column};
        // A circular reference keeps its last result; so does a chain too deep to follow
        // without exhausting the stack (it is met again, shallower, from its own cells).
        if (found->formula.empty() || done_.count(key) || active_.count(key))
            return found->value;
        if (active_.size() >= kDeepestChain) {
            cut_ = true;
            return found->value;
        }
        active_.insert(key);
        auto& cell = const_cast<Cell&>(*found);
        try {
            CellLookup lookup = [this](const Worksheet& s, long r, long c) {
                return resolve(s, r, c);
            };
            cell.value = evaluateFormula(cell.formula, workbook_, sheet, lookup);
        } catch (const AutomationError&) {
            // Functions or sheets this component does not know: the stored result stands.
        }
        active_.erase(key);
        done_.insert(key);
        return cell.value;
    }
};

} // namespace

std::string canonicalFormula(const std::string& text) {
    return rewrite(text, 0, 0);
}

std::string shiftFormula(const std::string& text, long rows, long columns) {
    return rewrite(text, rows, columns);
}

CellValue evaluateFormula(const std::string& text, const Workbook& workbook, const Worksheet& host,
                          const CellLookup& lookup) {
    Parser parser(text);
    Node root = parser.parse();
    return Evaluator(text, workbook, host, lookup).value(root);
}

void recalculate(Workbook& workbook) {
    Recalculator(workbook).run();
}

} // namespace sheet::embedded
