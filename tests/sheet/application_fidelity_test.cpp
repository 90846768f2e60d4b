// What the object layer keeps of a form: hidden lines, fitting to pages, the paper, and what
// copy, paste and sheet copy carry besides values and formats.
#include "sheet/embedded_application.h"
#include "support/feature_form.h"
#include "support/workbook_parts.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace sheet {
namespace {

using test_support::featureForm;
using test_support::FeatureFormOptions;
using test_support::TempFolder;
using test_support::writeZip;

class FormInstances : public ::testing::Test {
protected:
    // The form (and further ones) open in `source`, a new workbook open in `target`.
    void SetUp() override {
        form = openForm(*source, "form.xlsx", {});
        result = target->Workbooks().Add();
    }

    WorkbookPtr openForm(EmbeddedApplication& app, const std::string& name,
                         const FeatureFormOptions& options) {
        const std::string path = folder.file(name);
        writeZip(path, featureForm(options));
        return app.Workbooks().Open(path);
    }

    static const Workbook& model(const EmbeddedApplication& app, int index = 0) {
        return app.workbookModel(index);
    }
    const Worksheet& resultSheet() const { return *model(*target).sheets[0]; }

    void paste(const std::string& from, const std::string& at) {
        form->Worksheets(1)->Range(from)->Copy();
        result->Worksheets(1)->Range(at)->Select();
        result->Worksheets(1)->Paste();
    }

    TempFolder folder;
    std::shared_ptr<EmbeddedApplication> source = createEmbeddedApplication();
    std::shared_ptr<EmbeddedApplication> target = createEmbeddedApplication();
    WorkbookPtr form;
    WorkbookPtr result;
};

TEST_F(FormInstances, HiddenColumnsAndRowsReadZeroAndZeroHidesKeepingTheSize) {
    WorksheetPtr data = form->Worksheets(1);
    EXPECT_DOUBLE_EQ(data->Columns(3)->ColumnWidth(), 0);
    EXPECT_DOUBLE_EQ(data->Columns(2)->ColumnWidth(), 12);
    EXPECT_DOUBLE_EQ(data->Rows(4)->RowHeight(), 0);
    EXPECT_DOUBLE_EQ(data->Rows(5)->RowHeight(), 15);

    WorksheetPtr sheet = result->Worksheets(1);
    sheet->Columns(2)->SetColumnWidth(20);
    sheet->Columns(2)->SetColumnWidth(0);
    sheet->Range("B2:C3")->SetRowHeight(0);
    EXPECT_EQ(resultSheet().hiddenColumns, std::vector<long>{2});
    EXPECT_DOUBLE_EQ(resultSheet().columnWidth(2), 20);
    EXPECT_EQ(resultSheet().hiddenRows, (std::vector<long>{2, 3}));
    EXPECT_DOUBLE_EQ(sheet->Rows(2)->RowHeight(), 0);

    sheet->Columns(2)->SetColumnWidth(9);
    sheet->Rows(3)->SetRowHeight(20);
    EXPECT_TRUE(resultSheet().hiddenColumns.empty());
    EXPECT_DOUBLE_EQ(sheet->Columns(2)->ColumnWidth(), 9);
    EXPECT_EQ(resultSheet().hiddenRows, std::vector<long>{2});
    EXPECT_DOUBLE_EQ(sheet->Rows(3)->RowHeight(), 20);
    // Every column at once: a positive width shows them all again.
    sheet->Columns(5)->SetColumnWidth(0);
    sheet->Rows(1)->SetColumnWidth(11);
    EXPECT_TRUE(resultSheet().hiddenColumns.empty());
}

TEST_F(FormInstances, FittingToPagesAndAnUnnamedPaperReadAsTheFormSetThem) {
    IPageSetup& page = form->Worksheets(1)->PageSetup();
    EXPECT_EQ(page.Zoom(), 0);
    EXPECT_EQ(page.FitToPagesWide(), 1);
    EXPECT_EQ(page.FitToPagesTall(), 0);
    EXPECT_EQ(page.PaperSize(), 0);

    IPageSetup& made = result->Worksheets(1)->PageSetup();
    EXPECT_EQ(made.PaperSize(), 0);
    made.SetPaperSize(9);
    EXPECT_EQ(made.PaperSize(), 9);
    EXPECT_TRUE(resultSheet().pageSetup.paperSizeSet);
    made.SetPaperSize(0);
    EXPECT_EQ(made.PaperSize(), 0);
    EXPECT_FALSE(resultSheet().pageSetup.paperSizeSet);
    EXPECT_THROW(made.SetPaperSize(-1), AutomationError);

    made.SetFitToPagesWide(2);
    made.SetFitToPagesTall(0);
    made.SetZoom(0);
    EXPECT_TRUE(resultSheet().pageSetup.fitToPages);
    EXPECT_EQ(resultSheet().pageSetup.fitWidth, 2);
    EXPECT_EQ(resultSheet().pageSetup.fitHeight, 0);
    EXPECT_THROW(made.SetFitToPagesWide(-1), AutomationError);
    EXPECT_THROW(made.SetFitToPagesTall(40000), AutomationError);
}

TEST_F(FormInstances, PasteCarriesRichTextNotesLinksValidationAndConditionalFormatsMoved) {
    paste("A1:D6", "B11");
    const Worksheet& sheet = resultSheet();
    ASSERT_NE(sheet.cell(11, 2), nullptr);
    ASSERT_TRUE(sheet.cell(11, 2)->richText);
    EXPECT_EQ(sheet.cell(11, 2)->richText->front().font->color, Rgb{0xFF0000});

    ASSERT_EQ(sheet.comments.size(), 1u);
    EXPECT_EQ(sheet.comments[0].row, 13);
    EXPECT_EQ(sheet.comments[0].column, 3);
    EXPECT_EQ(sheet.comments[0].text, "담당: 검토 필요");

    ASSERT_EQ(sheet.hyperlinks.size(), 2u);
    EXPECT_EQ(sheet.hyperlinks[0].range, (CellRect{12, 2, 12, 2}));
    EXPECT_EQ(sheet.hyperlinks[0].target, "https://example.org/안내");
    EXPECT_EQ(sheet.hyperlinks[1].range, (CellRect{16, 2, 16, 2}));

    ASSERT_EQ(sheet.dataValidations.size(), 1u);
    EXPECT_EQ(sheet.dataValidations[0].ranges, std::vector<CellRect>{(CellRect{13, 4, 16, 4})});
    EXPECT_EQ(sheet.dataValidations[0].formula1, "\"가,나,다\"");

    ASSERT_EQ(sheet.conditionalFormats.size(), 2u);
    EXPECT_EQ(sheet.conditionalFormats[0].ranges, std::vector<CellRect>{(CellRect{13, 3, 16, 3})});
    EXPECT_EQ(sheet.conditionalFormats[1].ranges, std::vector<CellRect>{(CellRect{13, 2, 16, 2})});
    // Relative rows follow the block; the absolute column stays, as in any spreadsheet.
    EXPECT_EQ(sheet.conditionalFormats[1].rules[0].formulas, std::vector<std::string>{"$B13>103"});
    ASSERT_TRUE(sheet.conditionalFormats[1].rules[0].style);
    EXPECT_EQ(sheet.conditionalFormats[1].rules[0].style->bold, true);

    // Pasting again over the same cells replaces instead of doubling.
    paste("A1:D6", "B11");
    EXPECT_EQ(resultSheet().comments.size(), 1u);
    EXPECT_EQ(resultSheet().hyperlinks.size(), 2u);
    EXPECT_EQ(resultSheet().dataValidations.size(), 1u);
    EXPECT_EQ(resultSheet().conditionalFormats.size(), 2u);
}

TEST_F(FormInstances, PartOfAFormatTakesItsFormulasAlongToTheNewTopLeftCell) {
    paste("A5:B6", "A1");
    const Worksheet& sheet = resultSheet();
    ASSERT_EQ(sheet.conditionalFormats.size(), 2u);
    EXPECT_EQ(sheet.conditionalFormats[0].ranges, std::vector<CellRect>{(CellRect{1, 2, 2, 2})});
    EXPECT_EQ(sheet.conditionalFormats[1].ranges, std::vector<CellRect>{(CellRect{1, 1, 2, 1})});
    EXPECT_EQ(sheet.conditionalFormats[1].rules[0].formulas, std::vector<std::string>{"$B1>103"});
    EXPECT_TRUE(sheet.comments.empty());
    ASSERT_EQ(sheet.hyperlinks.size(), 1u);
    EXPECT_EQ(sheet.hyperlinks[0].range, (CellRect{2, 1, 2, 1}));
}

TEST_F(FormInstances, PastingPlainCellsCutsTheFeaturesUnderThem) {
    paste("A1:D6", "A1");
    // A blank cell of the form's very hidden sheet... any featureless cell will do.
    WorksheetPtr blank = form->Worksheets(1);
    blank->Range("F9:F10")->Copy();
    result->Worksheets(1)->Range("A4")->Select();
    result->Worksheets(1)->Paste();
    const Worksheet& sheet = resultSheet();
    // A3:A6 loses A4:A5; what is left starts at A3, so its formula keeps its anchor.
    ASSERT_EQ(sheet.conditionalFormats.size(), 2u);
    EXPECT_EQ(sheet.conditionalFormats[1].ranges,
              (std::vector<CellRect>{{3, 1, 3, 1}, {6, 1, 6, 1}}));
    EXPECT_EQ(sheet.conditionalFormats[1].rules[0].formulas, std::vector<std::string>{"$B3>103"});
    ASSERT_EQ(sheet.hyperlinks.size(), 2u);

    form->Worksheets(1)->Range("F1:F3")->Copy();
    result->Worksheets(1)->Range("A1")->Select();
    result->Worksheets(1)->Paste();
    // What is left of A3:A6 now starts at A6: the formula moves there.
    EXPECT_EQ(resultSheet().conditionalFormats[1].ranges,
              std::vector<CellRect>{(CellRect{6, 1, 6, 1})});
    EXPECT_EQ(resultSheet().conditionalFormats[1].rules[0].formulas,
              std::vector<std::string>{"$B6>103"});
    EXPECT_EQ(resultSheet().hyperlinks.size(), 1u);
}

TEST_F(FormInstances, WholeRowsCarryTheirHiddenStateAndHeight) {
    form->Worksheets(1)->Rows("3:6")->Copy();
    result->Worksheets(1)->Range("A20")->Select();
    result->Worksheets(1)->Paste();
    EXPECT_EQ(resultSheet().hiddenRows, std::vector<long>{21});
    EXPECT_DOUBLE_EQ(resultSheet().rowHeight(22), 15);

    form->Worksheets(1)->Rows("5:6")->Copy();
    result->Worksheets(1)->Range("A21")->Select();
    result->Worksheets(1)->Paste();
    EXPECT_TRUE(resultSheet().hiddenRows.empty());
    EXPECT_DOUBLE_EQ(resultSheet().rowHeight(21), 15);
}

class SheetCopyNames : public ::testing::Test {
protected:
    WorkbookPtr open(const std::string& name, double rate) {
        const std::string path = folder.file(name);
        FeatureFormOptions options;
        options.rate = rate;
        writeZip(path, featureForm(options));
        return app->Workbooks().Open(path);
    }
    const Workbook& model(int index) const { return app->workbookModel(index); }

    TempFolder folder;
    std::shared_ptr<EmbeddedApplication> app = createEmbeddedApplication();
};

TEST_F(SheetCopyNames, CopyKeepsEverythingTheSheetHolds) {
    WorkbookPtr result = app->Workbooks().Add();
    WorkbookPtr form = open("1.xlsx", 0.5);
    form->Worksheets(1)->Copy(*result->Worksheets(1));
    const Worksheet& original = *model(1).sheets[0];
    const Worksheet& copy = *model(0).sheets[1];
    EXPECT_EQ(copy.name, "자료");
    EXPECT_EQ(copy.pageSetup, original.pageSetup);
    EXPECT_EQ(copy.view, original.view);
    EXPECT_EQ(copy.conditionalFormats, original.conditionalFormats);
    EXPECT_EQ(copy.dataValidations, original.dataValidations);
    EXPECT_EQ(copy.comments, original.comments);
    EXPECT_EQ(copy.hyperlinks, original.hyperlinks);
    EXPECT_EQ(copy.hiddenRows, original.hiddenRows);
    ASSERT_EQ(copy.attachments.size(), original.attachments.size());
    EXPECT_EQ(copy.attachments[0].part, original.attachments[0].part);
    EXPECT_EQ(copy.cell(1, 1)->richText, original.cell(1, 1)->richText);
}

TEST_F(SheetCopyNames, WorkbookNamesComeAlongRenamedOnlyWhenTheyClash) {
    WorkbookPtr result = app->Workbooks().Add();
    WorkbookPtr first = open("1.xlsx", 0.5);
    WorkbookPtr second = open("2.xlsx", 0.7);
    WorkbookPtr third = open("3.xlsx", 0.5);
    first->Worksheets(1)->Copy(*result->Worksheets(1));
    result->Worksheets(2)->SetName("학교1");
    second->Worksheets(1)->Copy(*result->Worksheets(2));
    result->Worksheets(3)->SetName("학교2");
    third->Worksheets(1)->Copy(*result->Worksheets(3));

    const Workbook& book = model(0);
    ASSERT_EQ(book.sheets.size(), 4u);
    std::vector<DefinedName> expected{
        {"기준", "'학교1'!$B$3", 1, false, ""}, {"Rate", "0.500000", -1, false, ""},
        {"기준", "'학교2'!$B$3", 2, false, ""}, {"Rate_2", "0.700000", -1, false, ""},
        {"기준", "'자료'!$B$3", 3, false, ""},
    };
    EXPECT_EQ(book.names, expected);
    EXPECT_EQ(book.sheets[1]->cell(3, 4)->formula, "B3*Rate");
    EXPECT_EQ(book.sheets[2]->cell(3, 4)->formula, "B3*Rate_2");
    EXPECT_EQ(book.sheets[3]->cell(3, 4)->formula, "B3*Rate");
    // The source keeps its own.
    EXPECT_EQ(model(2).sheets[0]->cell(3, 4)->formula, "B3*Rate");

    // A deleted sheet takes its own names along; later sheets' names keep their sheet.
    result->Worksheets(2)->Delete();
    const Workbook& after = model(0);
    ASSERT_EQ(after.names.size(), 4u);
    EXPECT_EQ(after.names[1], (DefinedName{"기준", "'학교2'!$B$3", 1, false, ""}));
    EXPECT_EQ(after.names[3], (DefinedName{"기준", "'자료'!$B$3", 2, false, ""}));
}

TEST_F(SheetCopyNames, FormulasNamingTheirOwnSheetFollowItsCopyAndItsNewName) {
    WorkbookPtr form = open("1.xlsx", 0.5);
    WorksheetPtr data = form->Worksheets(1);
    data->Range("E3")->SetFormula("='자료'!B3+자료!B4+'숨김'!A1");
    data->Copy(*data);
    EXPECT_EQ(model(0).sheets[1]->cell(3, 5)->formula, "'자료 (2)'!B3+'자료 (2)'!B4+'숨김'!A1");
    EXPECT_EQ(model(0).sheets[0]->cell(3, 5)->formula, "'자료'!B3+자료!B4+'숨김'!A1");
    data->SetName("학교");
    EXPECT_EQ(model(0).sheets[0]->cell(3, 5)->formula, "'학교'!B3+'학교'!B4+'숨김'!A1");
}

TEST_F(SheetCopyNames, CopyInsideItsOwnWorkbookGetsItsOwnSheetNames) {
    WorkbookPtr form = open("1.xlsx", 0.5);
    form->Worksheets(1)->Copy(*form->Worksheets(1));
    const Workbook& book = model(0);
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[1]->name, "자료 (2)");
    std::vector<DefinedName> expected{
        {"Rate", "0.500000", -1, false, ""},
        {"기준", "'자료'!$B$3", 0, false, ""},
        {"기준", "'자료 (2)'!$B$3", 1, false, ""},
    };
    EXPECT_EQ(book.names, expected);
}

} // namespace
} // namespace sheet
