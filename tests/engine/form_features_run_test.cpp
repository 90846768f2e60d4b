// Forms carrying everything besides cells (built part by part) run through methods A, B, C and
// E; the result workbook is checked in memory, as the run leaves it open after saving.
#include "engine/method_a.h"
#include "engine/method_b.h"
#include "engine/method_c.h"
#include "engine/method_e.h"
#include "engine/run_frame.h"
#include "feature_form_runs.h"
#include "support/feature_form.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class FeatureFormResults : public FeatureFormRuns {
protected:
    // The row of column A holding `text`; 0 when none.
    static long rowOf(const sheet::Worksheet& sheet, const std::string& text) {
        for (const auto& [row, cells] : sheet.rows()) {
            auto cell = cells.find(1);
            if (cell != cells.end() && cell->second.value == sheet::CellValue::Text(text))
                return row;
        }
        return 0;
    }

    static bool hasComment(const sheet::Worksheet& sheet, long row, long column) {
        return std::any_of(
            sheet.comments.begin(), sheet.comments.end(),
            [&](const sheet::Comment& c) { return c.row == row && c.column == column; });
    }

    static void expectFittedOnePageWide(const sheet::Worksheet& sheet) {
        EXPECT_TRUE(sheet.pageSetup.fitToPages);
        EXPECT_EQ(sheet.pageSetup.fitWidth, 1);
        EXPECT_EQ(sheet.pageSetup.fitHeight, 0);
        EXPECT_FALSE(sheet.pageSetup.paperSizeSet);
    }
};

TEST_F(FeatureFormResults, MethodAKeepsHiddenLinesOfTheFirstBlockAndFitsOnePageWide) {
    host.titleRange = QStringLiteral("A1:D2");
    host.dataRange = QStringLiteral("A3:D6");
    engine::combination_a(host);
    const sheet::Worksheet& sheet = *result().sheets.front();

    EXPECT_TRUE(sheet.isColumnHidden(3));
    EXPECT_FALSE(sheet.isColumnHidden(2));
    EXPECT_TRUE(sheet.isRowHidden(4));
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 15);
    expectFittedOnePageWide(sheet);
    ASSERT_TRUE(sheet.cell(1, 1) && sheet.cell(1, 1)->richText);
    EXPECT_EQ(sheet.cell(1, 1)->richText->size(), 2u);

    for (int n = 1; n <= 3; ++n) {
        const long top = rowOf(sheet, "학교" + std::to_string(n) + "-3");
        ASSERT_GT(top, 0) << n;
        EXPECT_TRUE(hasComment(sheet, top, 2)) << n;
        auto validated =
            std::find_if(sheet.dataValidations.begin(), sheet.dataValidations.end(),
                         [&](const sheet::DataValidation& v) {
                             return v.ranges == std::vector<sheet::CellRect>{{top, 3, top + 3, 3}};
                         });
        EXPECT_NE(validated, sheet.dataValidations.end()) << n;
    }
}

TEST_F(FeatureFormResults, MethodBPastesWholeRowsWithTheirHiddenStateInEveryBlock) {
    host.titleRange = QStringLiteral("A1:D2");
    host.dataRange = QStringLiteral("A3:ALL");
    engine::combination_b(host);
    const sheet::Worksheet& sheet = *result().sheets.front();

    expectFittedOnePageWide(sheet);
    EXPECT_TRUE(sheet.isColumnHidden(3));
    for (int n = 1; n <= 3; ++n) {
        const long top = rowOf(sheet, "학교" + std::to_string(n) + "-3");
        ASSERT_GT(top, 0) << n;
        EXPECT_TRUE(sheet.isRowHidden(top + 1)) << n;
        EXPECT_FALSE(sheet.isRowHidden(top)) << n;
        EXPECT_DOUBLE_EQ(sheet.rowHeight(top + 2), 15) << n;
        EXPECT_TRUE(hasComment(sheet, top, 2)) << n;
    }
    // Formats of each block moved along with it, the formula anchored at its first row.
    const long second = rowOf(sheet, "학교2-3");
    auto format =
        std::find_if(sheet.conditionalFormats.begin(), sheet.conditionalFormats.end(),
                     [&](const sheet::ConditionalFormat& f) {
                         return f.ranges.front() == sheet::CellRect{second, 1, second + 3, 1};
                     });
    ASSERT_NE(format, sheet.conditionalFormats.end());
    EXPECT_EQ(format->rules[0].formulas,
              std::vector<std::string>{"$B" + std::to_string(second) + ">103"});
}

TEST_F(FeatureFormResults, MethodCSheetsKeepEverythingWithTheNamesTheirFormulasUse) {
    host.sumRange = QStringLiteral("B3:B6");
    engine::combination_c(host);
    const sheet::Workbook& book = result();
    ASSERT_EQ(book.sheets.size(), 4u);

    for (size_t i = 1; i <= 3; ++i) {
        const sheet::Worksheet& sheet = *book.sheets[i];
        SCOPED_TRACE(sheet.name);
        expectFittedOnePageWide(sheet);
        EXPECT_EQ(sheet.pageSetup.headerFooter.oddFooter, "&C&P / &N");
        EXPECT_EQ(sheet.pageSetup.titleLastRow, 2);
        EXPECT_EQ(sheet.pageSetup.rowBreaks, std::vector<long>{4});
        EXPECT_EQ(sheet.view.frozenRows, 2);
        EXPECT_FALSE(sheet.view.showGridLines);
        EXPECT_EQ(sheet.conditionalFormats.size(), 2u);
        EXPECT_EQ(sheet.dataValidations.size(), 1u);
        EXPECT_EQ(sheet.comments.size(), 1u);
        EXPECT_EQ(sheet.hyperlinks.size(), 2u);
        EXPECT_EQ(sheet.attachments.size(), 2u);
        EXPECT_TRUE(sheet.isRowHidden(4));
        ASSERT_TRUE(sheet.cell(1, 1)->richText);
    }
    EXPECT_EQ(book.sheets[1]->cell(3, 4)->formula, "B3*Rate");
    EXPECT_EQ(book.sheets[2]->cell(3, 4)->formula, "B3*Rate_2");
    EXPECT_EQ(book.sheets[3]->cell(3, 4)->formula, "B3*Rate");
    int local = 0;
    for (const sheet::DefinedName& name : book.names) {
        if (name.localSheet < 0)
            continue;
        ++local;
        EXPECT_EQ(name.formula,
                  "'" + book.sheets[static_cast<size_t>(name.localSheet)]->name + "'!$B$3");
    }
    EXPECT_EQ(local, 4); // the summary sheet is a copy too
}

TEST_F(FeatureFormResults, MethodECarriesRichTextAndNotesOfTheChosenCells) {
    host.dataRange = QStringLiteral("A1, B3:C4");
    engine::combination_e(host);
    const sheet::Worksheet& sheet = *result().sheets.front();

    int rich = 0;
    for (const auto& [row, cells] : sheet.rows())
        for (const auto& [column, cell] : cells)
            rich += cell.richText != nullptr;
    EXPECT_EQ(rich, 3);
    ASSERT_EQ(sheet.comments.size(), 3u);
    for (const sheet::Comment& comment : sheet.comments) {
        const sheet::Cell* cell = sheet.cell(comment.row, comment.column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(static_cast<long>(cell->value.number) % 100, 3);
    }
}

// The page-setup copy on its own: a form fitted to pages wide and tall gives the same fit.
TEST(PageSetupCopy, FitToPagesTravelsWithTheZoomAndAnUnnamedPaperStaysUnnamed) {
    auto app = sheet::createEmbeddedApplication();
    sheet::WorkbookPtr from = app->Workbooks().Add();
    sheet::WorkbookPtr to = app->Workbooks().Add();
    sheet::IPageSetup& form = from->Worksheets(1)->PageSetup();
    form.SetFitToPagesWide(2);
    form.SetFitToPagesTall(3);
    form.SetZoom(0);
    ASSERT_TRUE(engine::copyPageSetup(form, to->Worksheets(1)->PageSetup()));
    const sheet::PageSetup& copied = app->workbookModel(1).sheets[0]->pageSetup;
    EXPECT_TRUE(copied.fitToPages);
    EXPECT_EQ(copied.fitWidth, 2);
    EXPECT_EQ(copied.fitHeight, 3);
    EXPECT_FALSE(copied.paperSizeSet);

    form.SetZoom(80);
    form.SetPaperSize(8);
    ASSERT_TRUE(engine::copyPageSetup(form, to->Worksheets(1)->PageSetup()));
    const sheet::PageSetup& scaled = app->workbookModel(1).sheets[0]->pageSetup;
    EXPECT_FALSE(scaled.fitToPages);
    EXPECT_EQ(scaled.scale, 80);
    EXPECT_EQ(scaled.paperSize, 8);
    EXPECT_TRUE(scaled.paperSizeSet);
}

} // namespace
