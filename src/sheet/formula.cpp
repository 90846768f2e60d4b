#include "sheet/formula.h"

#include "sheet/automation.h"
#include "sheet/embedded_messages.h"
#include "sheet/formula_machine.h"
#include "sheet/formula_program.h"
#include "sheet/range_text.h"

#include <cctype>
#include <memory>
#include <set>
#include <tuple>

namespace sheet::embedded {

namespace {

using formula::CellRefText;
using formula::Program;
using formula::Span;

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string spell(const CellRefText& ref) {
    std::string text;
    if (ref.absoluteColumn)
        text += '$';
    text += columnLetters(ref.column);
    if (ref.row == 0)
        return text;
    if (ref.absoluteRow)
        text += '$';
    return text + std::to_string(ref.row);
}

// The program of a formula text. Compiling depends on the text alone, and a formula is
// usually compiled twice in a row, respelt and then computed, so the last one is kept.
std::shared_ptr<const Program> compiled(const std::string& text) {
    thread_local std::string lastText;
    thread_local std::shared_ptr<const Program> lastProgram;
    if (!lastProgram || lastText != text) {
        lastProgram.reset();
        lastProgram = std::make_shared<const Program>(formula::compile(text));
        lastText = text;
    }
    return lastProgram;
}

std::string rewrite(const std::string& text, long rows, long columns) {
    const std::shared_ptr<const Program> compiledText = compiled(text);
    const Program& program = *compiledText;
    std::string out;
    size_t copied = 0;
    for (const Span& span : program.spans) {
        out += text.substr(copied, span.at - copied);
        copied = span.at + span.length;
        if (span.isFunction) {
            out += upper(text.substr(span.at, span.length));
            continue;
        }
        CellRefText ref = span.ref;
        if (!ref.absoluteRow && ref.row != 0)
            ref.row += rows;
        if (!ref.absoluteColumn)
            ref.column += columns;
        const bool rowOutside = ref.row != 0 && (ref.row < 1 || ref.row > kMaxRows);
        if (rowOutside || ref.column < 1 || ref.column > kMaxColumns)
            throw AutomationError(messages::kFormulaOutside + text);
        out += spell(ref);
    }
    return out + text.substr(copied);
}

int indexOfSheet(const Workbook& workbook, const Worksheet& sheet) {
    for (size_t i = 0; i < workbook.sheets.size(); ++i)
        if (workbook.sheets[i].get() == &sheet)
            return int(i);
    throw AutomationError(messages::kFormulaSheetMissing + sheet.name);
}

formula::Outcome compute(const std::string& text, const Workbook& workbook, const Worksheet& host,
                         long row, long column, const CellLookup& lookup) {
    const std::shared_ptr<const Program> program = compiled(text);
    formula::Context context(workbook, indexOfSheet(workbook, host), row, column, lookup);
    return formula::execute(*program, context);
}

// Computes formula cells on demand, each once, following references into other formulas.
class Recalculator {
public:
    Recalculator(Workbook& workbook, bool missingOnly)
        : workbook_(workbook), missingOnly_(missingOnly) {}

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
    // A level takes one to two kilobytes of stack in an optimised build and several times that
    // in a sanitized one; 250 levels stay well inside the 1 MB a thread may be given.
    static constexpr size_t kDeepestChain = 250;
    static constexpr int kMostPasses = 400;
    Workbook& workbook_;
    const bool missingOnly_;
    bool cut_ = false;
    std::set<Key> done_;
    std::set<Key> active_;

    bool wanted(const Cell& cell) const {
        return !cell.formula.empty() && !(missingOnly_ && !cell.value.empty());
    }

    CellValue resolve(const Worksheet& sheet, long row, long column) {
        const Cell* found = sheet.cell(row, column);
        if (!found)
            return {};
        Key key{&sheet, row, column};
        // A circular reference keeps its last result; so does a chain too deep to follow
        // without exhausting the stack (it is met again, shallower, from its own cells).
        if (!wanted(*found) || done_.count(key) || active_.count(key))
            return found->value;
        if (active_.size() >= kDeepestChain) {
            cut_ = true;
            return found->value;
        }
        active_.insert(key);
        auto& cell = const_cast<Cell&>(*found);
        const formula::Outcome outcome = evaluate(cell.formula, sheet, row, column);
        if (!outcome.uncertain || cell.value.empty())
            cell.value = outcome.value;
        active_.erase(key);
        done_.insert(key);
        return cell.value;
    }

    formula::Outcome evaluate(const std::string& text, const Worksheet& sheet, long row,
                              long column) {
        try {
            CellLookup lookup = [this](const Worksheet& s, long r, long c) {
                return resolve(s, r, c);
            };
            return compute(text, workbook_, sheet, row, column, lookup);
        } catch (const AutomationError& error) {
            const bool sheetMissing =
                std::string(error.what()).starts_with(messages::kFormulaSheetMissing);
            return {CellValue::Error(sheetMissing ? formula::kBadReference : formula::kUnknownName),
                    true};
        }
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
                          long row, long column, const CellLookup& lookup) {
    return compute(text, workbook, host, row, column, lookup).value;
}

void recalculate(Workbook& workbook) {
    Recalculator(workbook, false).run();
}

void computeMissingResults(Workbook& workbook) {
    Recalculator(workbook, true).run();
}

} // namespace sheet::embedded
