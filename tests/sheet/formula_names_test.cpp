// Finding and replacing the names and sheet prefixes of formulas, and cutting rectangles.
#include "sheet/cell_rects.h"
#include "sheet/formula_names.h"

#include <gtest/gtest.h>

namespace sheet {
namespace {

TEST(FormulaNames, OnlyNamesCountNotFunctionsReferencesSheetsOrLiterals) {
    EXPECT_EQ(namesUsedIn(R"(SUM(Rate,A1:B2)*'My Sheet'!B2+Data!$C$3+"Rate"+$A$1+기준+1.5E+3)"),
              (std::vector<std::string>{"Rate", "기준"}));
    EXPECT_EQ(namesUsedIn("XFD1048576+XFE1+R_1"), (std::vector<std::string>{"XFE1", "R_1"}));
    EXPECT_EQ(namesUsedIn("'It''s'!Total*2"), std::vector<std::string>{"Total"});
    EXPECT_TRUE(namesUsedIn("\"unterminated Rate").empty());
}

TEST(FormulaNames, RewriteRenamesNamesAndSheetsAndLeavesTheRest) {
    const NameMapping names = [](std::string_view name) -> std::optional<std::string> {
        if (name == "Rate")
            return "Rate_2";
        return std::nullopt;
    };
    const NameMapping sheets = [](std::string_view sheet) -> std::optional<std::string> {
        if (sheet == "It's" || sheet == "Data")
            return "학교 1";
        return std::nullopt;
    };
    EXPECT_EQ(rewriteFormula("Rate*'It''s'!A1+Data!B2+Other!C3+\"Rate\"+Rates", names, sheets),
              "Rate_2*'학교 1'!A1+'학교 1'!B2+Other!C3+\"Rate\"+Rates");
    EXPECT_EQ(rewriteFormula("SUM(Rate)", {}, {}), "SUM(Rate)");
}

TEST(CellRects, CuttingAHoleLeavesPiecesCoveringTheRestExactlyOnce) {
    const CellRect outer{1, 1, 10, 10};
    const CellRect hole{4, 4, 6, 6};
    const std::vector<CellRect> pieces = rectWithout(outer, hole);
    EXPECT_EQ(pieces.size(), 4u);
    for (long row = 1; row <= 10; ++row)
        for (long column = 1; column <= 10; ++column) {
            int covering = 0;
            for (const CellRect& piece : pieces)
                covering += piece.contains(row, column);
            ASSERT_EQ(covering, hole.contains(row, column) ? 0 : 1) << row << "," << column;
        }
    EXPECT_EQ(rectWithout(outer, CellRect{20, 20, 30, 30}), std::vector<CellRect>{outer});
    EXPECT_TRUE(rectWithout(hole, outer).empty());
    EXPECT_EQ(rectWithout(outer, CellRect{1, 1, 10, 3}),
              std::vector<CellRect>{(CellRect{1, 4, 10, 10})});
}

} // namespace
} // namespace sheet
