#include "support/model_comparison.h"

#include "sheet/a1_reference.h"
#include "sheet/number_formats.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace test_support {

namespace {

using namespace sheet;

class Comparer {
public:
    Comparer(const Workbook& expected, const Workbook& actual, const ComparisonOptions& options)
        : expected_(expected), actual_(actual), options_(options) {}

    std::vector<std::string> run() {
        if (expected_.sheets.size() != actual_.sheets.size())
            note("", "sheet count", expected_.sheets.size(), actual_.sheets.size());
        const std::size_t count = std::min(expected_.sheets.size(), actual_.sheets.size());
        for (std::size_t i = 0; i < count; ++i)
            compareSheet(*expected_.sheets[i], *actual_.sheets[i]);
        if (expected_.date1904 != actual_.date1904)
            note("", "date1904", expected_.date1904, actual_.date1904);
        return differences_;
    }

private:
    template <typename A, typename B>
    void note(const std::string& where, const std::string& what, const A& expected,
              const B& actual) {
        std::ostringstream line;
        line << where << (where.empty() ? "" : " ") << what << ": " << expected << " != " << actual;
        differences_.push_back(line.str());
    }

    static bool near(double a, double b, double tolerance) {
        return std::fabs(a - b) <= tolerance * std::max(1.0, std::fabs(a));
    }

    static std::string valueText(const CellValue& value) {
        std::ostringstream out;
        switch (value.type) {
        case CellType::Empty:
            return "(empty)";
        case CellType::Number:
            out.precision(17);
            out << value.number;
            return out.str();
        case CellType::Text:
            return "\"" + value.text + "\"";
        case CellType::Boolean:
            return value.number ? "TRUE" : "FALSE";
        case CellType::Error:
            return value.text;
        }
        return {};
    }

    static std::string formatCode(const Style& style) {
        if (!style.numberFormatCode.empty())
            return style.numberFormatCode;
        const auto code = builtinNumberFormatCode(style.numberFormatId);
        return code.empty() ? "#" + std::to_string(style.numberFormatId) : std::string(code);
    }

    static std::string fontText(const Font& font) {
        std::ostringstream out;
        out << font.name << ' ' << font.size << (font.bold ? " bold" : "")
            << (font.italic ? " italic" : "") << (font.strike ? " strike" : "") << " u"
            << static_cast<int>(font.underline) << " colour "
            << (font.color ? std::to_string(*font.color) : "auto");
        return out.str();
    }

    // An automatic border colour shows black.
    static std::string sideText(const BorderSide& side) {
        if (side.style.empty())
            return "-";
        return side.style + "/" + std::to_string(side.color.value_or(0));
    }

    static std::string borderText(const Border& border) {
        return sideText(border.left) + " " + sideText(border.right) + " " + sideText(border.top) +
               " " + sideText(border.bottom);
    }

    static std::string fillText(const Fill& fill) {
        if (fill.pattern == "none")
            return "none";
        return fill.pattern + " " + (fill.foreground ? std::to_string(*fill.foreground) : "auto");
    }

    static std::string alignmentText(const Alignment& a) {
        std::ostringstream out;
        out << "h'" << a.horizontal << "' v'" << a.vertical << "' wrap " << a.wrap << " rot "
            << a.rotation << " indent " << a.indent << " shrink " << a.shrinkToFit;
        return out.str();
    }

    void compareStyles(const std::string& where, const Style& e, const Style& a) {
        if (fontText(e.font) != fontText(a.font))
            note(where, "font", fontText(e.font), fontText(a.font));
        if (fillText(e.fill) != fillText(a.fill))
            note(where, "fill", fillText(e.fill), fillText(a.fill));
        if (borderText(e.border) != borderText(a.border))
            note(where, "border", borderText(e.border), borderText(a.border));
        if (formatCode(e) != formatCode(a))
            note(where, "number format", formatCode(e), formatCode(a));
        if (alignmentText(e.alignment) != alignmentText(a.alignment))
            note(where, "alignment", alignmentText(e.alignment), alignmentText(a.alignment));
        if (e.protection != a.protection)
            note(where, "protection", e.protection.locked, a.protection.locked);
    }

    // The logical constants, as a word or as a function without arguments, are one formula.
    static std::string logical(const std::string& formula) {
        if (formula == "TRUE()" || formula == "FALSE()")
            return formula.substr(0, formula.size() - 2);
        return formula;
    }

    void compareCell(const std::string& where, const Cell* e, const Cell* a) {
        static const Cell kNone;
        const Cell& expected = e ? *e : kNone;
        const Cell& actual = a ? *a : kNone;
        const bool sameValue = expected.value.type == actual.value.type &&
                               (expected.value.type == CellType::Number
                                    ? near(expected.value.number, actual.value.number, 1e-12)
                                    : expected.value == actual.value);
        const bool uncached =
            options_.uncachedTextResults && !actual.formula.empty() &&
            (expected.value.type == CellType::Text || expected.value.type == CellType::Error) &&
            actual.value == CellValue::Number(0);
        if (!sameValue && !uncached)
            note(where, "value", valueText(expected.value), valueText(actual.value));
        if (options_.formulas && logical(expected.formula) != logical(actual.formula))
            note(where, "formula", expected.formula, actual.formula);
        if (!options_.styles)
            return;
        const Style& es = expected_.styles.at(expected.style);
        const Style& as = actual_.styles.at(actual.style);
        if (!e || !a) {
            // A missing cell and an empty one agree when the empty one shows nothing.
            const Style& present = e ? es : as;
            if (fillText(present.fill) != "none" || borderText(present.border) != "- - - -")
                note(where, "cell", e ? "styled" : "missing", a ? "styled" : "missing");
            return;
        }
        compareStyles(where, es, as);
    }

    void compareCells(const Worksheet& e, const Worksheet& a) {
        std::set<std::pair<long, long>> positions;
        for (const Worksheet* sheet : {&e, &a})
            for (const auto& [row, cells] : sheet->rows())
                for (const auto& [column, cell] : cells)
                    positions.insert({row, column});
        for (const auto& [row, column] : positions)
            compareCell(e.name + "!" + cellAddressText(row, column), e.cell(row, column),
                        a.cell(row, column));
    }

    void compareLayout(const Worksheet& e, const Worksheet& a) {
        const std::string& where = e.name;
        auto sorted = [](std::vector<CellRect> rects) {
            std::sort(rects.begin(), rects.end(), [](const CellRect& x, const CellRect& y) {
                return std::tie(x.firstRow, x.firstColumn) < std::tie(y.firstRow, y.firstColumn);
            });
            return rects;
        };
        if (sorted(e.merges) != sorted(a.merges))
            note(where, "merges", e.merges.size(), a.merges.size());
        const long lastColumn = std::max(e.lastColumn(), a.lastColumn());
        for (long column = 1; column <= lastColumn; ++column)
            if (!near(e.columnWidth(column), a.columnWidth(column), 0.02))
                note(where + " " + columnLetters(column), "width", e.columnWidth(column),
                     a.columnWidth(column));
        const long lastRow = std::max(e.lastRow(), a.lastRow());
        for (long row = 1; row <= lastRow; ++row)
            if (!near(e.rowHeight(row), a.rowHeight(row), 0.02))
                note(where + " row " + std::to_string(row), "height", e.rowHeight(row),
                     a.rowHeight(row));
        if (e.hiddenRows != a.hiddenRows)
            note(where, "hidden rows", e.hiddenRows.size(), a.hiddenRows.size());
        if (e.hiddenColumns != a.hiddenColumns)
            note(where, "hidden columns", e.hiddenColumns.size(), a.hiddenColumns.size());
        comparePage(where, e.pageSetup, a.pageSetup);
        if (e.view.frozenRows != a.view.frozenRows || e.view.frozenColumns != a.view.frozenColumns)
            note(where, "frozen panes",
                 std::to_string(e.view.frozenRows) + "," + std::to_string(e.view.frozenColumns),
                 std::to_string(a.view.frozenRows) + "," + std::to_string(a.view.frozenColumns));
        if (e.view.showGridLines != a.view.showGridLines)
            note(where, "gridlines", e.view.showGridLines, a.view.showGridLines);
        if (e.zoom != a.zoom)
            note(where, "zoom", e.zoom, a.zoom);
        if (e.protection.on != a.protection.on)
            note(where, "protection", e.protection.on, a.protection.on);
    }

    void comparePage(const std::string& where, const PageSetup& e, const PageSetup& a) {
        auto check = [&](const char* what, auto x, auto y) {
            if (x != y)
                note(where, what, x, y);
        };
        check("orientation", e.orientation, a.orientation);
        check("scale", e.scale, a.scale);
        check("fit to pages", e.fitToPages, a.fitToPages);
        if (e.fitToPages) {
            check("fit width", e.fitWidth, a.fitWidth);
            check("fit height", e.fitHeight, a.fitHeight);
        }
        check("paper", e.paperSize, a.paperSize);
        for (auto [name, x, y] : {std::tuple{"left margin", e.leftMargin, a.leftMargin},
                                  std::tuple{"right margin", e.rightMargin, a.rightMargin},
                                  std::tuple{"top margin", e.topMargin, a.topMargin},
                                  std::tuple{"bottom margin", e.bottomMargin, a.bottomMargin}})
            if (!near(x, y, 0.005))
                note(where, name, x, y);
        check("centre horizontally", e.centerHorizontally, a.centerHorizontally);
        check("centre vertically", e.centerVertically, a.centerVertically);
        check("header", e.headerFooter.oddHeader, a.headerFooter.oddHeader);
        check("footer", e.headerFooter.oddFooter, a.headerFooter.oddFooter);
        check("title rows", std::to_string(e.titleFirstRow) + ":" + std::to_string(e.titleLastRow),
              std::to_string(a.titleFirstRow) + ":" + std::to_string(a.titleLastRow));
        check("title columns",
              std::to_string(e.titleFirstColumn) + ":" + std::to_string(e.titleLastColumn),
              std::to_string(a.titleFirstColumn) + ":" + std::to_string(a.titleLastColumn));
        if (e.printArea != a.printArea)
            note(where, "print area", e.printArea.size(), a.printArea.size());
        if (e.rowBreaks != a.rowBreaks)
            note(where, "row breaks", e.rowBreaks.size(), a.rowBreaks.size());
        if (e.columnBreaks != a.columnBreaks)
            note(where, "column breaks", e.columnBreaks.size(), a.columnBreaks.size());
    }

    void compareSheet(const Worksheet& e, const Worksheet& a) {
        if (e.name != a.name)
            note("", "sheet name", e.name, a.name);
        if (e.hidden != a.hidden || e.veryHidden != a.veryHidden)
            note(e.name, "hidden", e.hidden, a.hidden);
        compareCells(e, a);
        if (options_.layout)
            compareLayout(e, a);
    }

    const Workbook& expected_;
    const Workbook& actual_;
    ComparisonOptions options_;
    std::vector<std::string> differences_;
};

} // namespace

std::vector<std::string> modelDifferences(const Workbook& expected, const Workbook& actual,
                                          const ComparisonOptions& options) {
    return Comparer(expected, actual, options).run();
}

} // namespace test_support
