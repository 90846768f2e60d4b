// Ranges, selection, the process-wide clipboard and Ctrl+arrow movement.
#include "sheet/embedded_application.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

double number(const RangePtr& range) {
    return std::get<double>(range->Value());
}

Workbook& modelOf(EmbeddedApplication& app, int index = 0) {
    return const_cast<Workbook&>(app.workbookModel(index));
}

} // namespace

TEST(RangeTexts, AcceptedFormsNameTheirCells) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    EXPECT_EQ(sheet->Range("b3")->Row(), 3);
    EXPECT_EQ(sheet->Range("$C$4")->Column(), 3);
    EXPECT_EQ(sheet->Range("D5:B2")->Row(), 2);
    EXPECT_EQ(sheet->Range("D5:B2")->Column(), 2);
    EXPECT_EQ(sheet->Range("7:15")->Row(), 7);
    EXPECT_EQ(sheet->Range("7:15")->Column(), 1);
    EXPECT_EQ(sheet->Range("c:e")->Column(), 3);
    EXPECT_EQ(sheet->Range("aa65536")->Row(), 65536);
    EXPECT_EQ(sheet->Range("XFD1048576")->Column(), 16384);
    EXPECT_EQ(sheet->Rows("7:15")->Row(), 7);
    EXPECT_EQ(sheet->Rows("9")->Row(), 9);
}

TEST(RangeTexts, AnythingElseThrows) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    for (const char* bad : {"", "A", "7", "A0", "A1:", ":B2", "A1:B", "XFE1", "A1048577", "1A",
                            "A 1", "A1,B2", "A1:B2:C3", "$", "A$", "Sheet1!A1", "가1", "-1"})
        EXPECT_THROW(sheet->Range(bad), AutomationError) << bad;
    EXPECT_THROW(sheet->Rows("A1:B2"), AutomationError);
    EXPECT_THROW(sheet->Cells(0, 1), AutomationError);
    EXPECT_THROW(sheet->Columns(16385), AutomationError);
}

TEST(RangeValues, FillEveryCellAndReadTheTopLeftOne) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1:B2")->SetValue(4.0);
    EXPECT_EQ(number(sheet->Cells(2, 2)), 4.0);
    sheet->Range("C1")->SetValue(std::string("글자"));
    EXPECT_EQ(std::get<std::string>(sheet->Range("C1:D4")->Value()), "글자");
    sheet->Range("C2")->SetValue(true);
    EXPECT_TRUE(std::get<bool>(sheet->Range("C2")->Value()));
    sheet->Range("A1:A2")->SetValue(Variant{});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet->Range("A2")->Value()));
    sheet->Range("D1")->SetValue(std::string("=B1+B2"));
    EXPECT_EQ(sheet->Range("D1")->Formula(), "=B1+B2");
    EXPECT_EQ(number(sheet->Range("D1")), 8.0);
}

TEST(RangeSelect, SetsTheActiveSheetAndTheCellWherePasteLands) {
    auto app = createEmbeddedApplication();
    auto book = app->Workbooks().Add();
    book->Worksheets(1)->Copy(*book->Worksheets(1));
    book->Worksheets(1)->Activate();
    auto second = book->Worksheets(2);
    second->Range("C5:D9")->Select();
    EXPECT_EQ(app->ActiveSheet(), second);
    EXPECT_EQ(modelOf(*app).sheets[1]->selectedRow, 5);
    EXPECT_EQ(modelOf(*app).sheets[1]->selectedColumn, 3);
    second->Cells()->Select();
    EXPECT_EQ(modelOf(*app).sheets[1]->selectedRow, 1);
    EXPECT_EQ(modelOf(*app).sheets[1]->selectedColumn, 1);
}

TEST(Clipboard, PasteBetweenInstancesCarriesValuesStylesAndMergesButNotFormulasOrWidths) {
    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    auto source = reader->Workbooks().Add()->Worksheets(1);
    source->Range("B2")->SetValue(std::string("제목"));
    source->Range("B3")->SetValue(2.0);
    source->Range("C3")->SetFormula("=B3*10");
    source->Range("B3")->SetInteriorColorIndex(6);
    source->Columns(2)->SetColumnWidth(30);
    Workbook& sourceModel = modelOf(*reader);
    Style bold;
    bold.font.bold = true;
    bold.border.bottom = {"thin", Rgb{0x000000}};
    sourceModel.sheets[0]->cellAt(2, 2).style = sourceModel.styles.intern(bold);
    sourceModel.sheets[0]->merges.push_back({2, 2, 2, 3}); // inside the block
    sourceModel.sheets[0]->merges.push_back({3, 3, 4, 4}); // leaves the block: stays behind

    source->Range("B2:C3")->Copy();
    auto targetBook = result->Workbooks().Add();
    auto target = targetBook->Worksheets(1);
    Workbook& targetModel = modelOf(*result);
    targetModel.styles.intern(Style{}); // the target table differs from the source one
    Style italic;
    italic.font.italic = true;
    targetModel.styles.intern(italic);
    target->Range("E7")->Select();
    target->Paste();

    EXPECT_EQ(std::get<std::string>(target->Range("E7")->Value()), "제목");
    EXPECT_EQ(number(target->Range("F8")), 20.0);
    EXPECT_EQ(target->Range("F8")->Formula(), "20");
    EXPECT_EQ(target->Range("E8")->InteriorColorIndex(), 6);
    const Worksheet& pasted = *targetModel.sheets[0];
    EXPECT_TRUE(targetModel.styles.at(pasted.cell(7, 5)->style).font.bold);
    EXPECT_EQ(targetModel.styles.at(pasted.cell(7, 5)->style).border.bottom.style, "thin");
    ASSERT_EQ(pasted.merges.size(), 1u);
    EXPECT_EQ(pasted.merges[0], (CellRect{7, 5, 7, 6}));
    EXPECT_EQ(target->Columns(5)->ColumnWidth(), pasted.defaultColumnWidth);
    EXPECT_EQ(targetModel.sheets[0]->selectedRow, 7);
}

TEST(Clipboard, AWholeRowBlockCarriesEveryColumnAndReplacesTheTargetRows) {
    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    auto source = reader->Workbooks().Add()->Worksheets(1);
    source->Range("A7")->SetValue(1.0);
    source->Range("ZZ8")->SetValue(2.0);
    source->Range("A9")->SetValue(3.0);
    source->Rows(8)->SetRowHeight(40);
    Workbook& sourceModel = modelOf(*reader);
    Style shaded;
    shaded.fill = {"solid", Rgb{0xFFFF00}, std::nullopt};
    sourceModel.sheets[0]->rowStyles[7] = sourceModel.styles.intern(shaded);
    auto target = result->Workbooks().Add()->Worksheets(1);
    target->Range("Q21")->SetValue(std::string("old"));

    source->Rows("7:8")->Copy();
    target->Range("A20")->Select();
    target->Paste();
    EXPECT_EQ(number(target->Range("A20")), 1.0);
    EXPECT_EQ(number(target->Range("ZZ21")), 2.0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(target->Range("Q21")->Value()));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(target->Range("A22")->Value()));
    EXPECT_EQ(target->Rows(21)->RowHeight(), 40);
    const Workbook& targetModel = result->workbookModel(0);
    ASSERT_EQ(targetModel.sheets[0]->rowStyles.count(20), 1u);
    EXPECT_EQ(targetModel.styles.at(targetModel.sheets[0]->rowStyles.at(20)).fill, shaded.fill);

    target->Range("B30")->Select();
    EXPECT_THROW(target->Paste(), AutomationError);
}

TEST(Clipboard, CutCopyModeOffEmptiesItAndPasteThenThrows) {
    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    reader->Workbooks().Add()->Worksheets(1)->Range("A1")->Copy();
    auto target = result->Workbooks().Add()->Worksheets(1);
    reader->SetCutCopyMode(false);
    EXPECT_THROW(target->Paste(), AutomationError);
}

TEST(Clipboard, ABlockOutlivesItsSourceWorkbook) {
    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    auto book = reader->Workbooks().Add();
    book->Worksheets(1)->Range("A1")->SetValue(7.0);
    book->Worksheets(1)->Range("A1:B1")->Copy();
    book->Close();
    auto target = result->Workbooks().Add()->Worksheets(1);
    target->Paste();
    EXPECT_EQ(number(target->Range("A1")), 7.0);
}

TEST(Clipboard, APasteThatWouldLeaveTheSheetThrows) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1:C3")->Copy();
    sheet->Range("XFC1")->Select();
    EXPECT_THROW(sheet->Paste(), AutomationError);
}

TEST(RangeEnd, UpGivesTheLastFilledCellAtOrAboveLikeCtrlUp) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    EXPECT_EQ(sheet->Range("A65536")->End(XlDirection::Up)->Row(), 1);
    sheet->Range("B3:B5")->SetValue(1.0);
    sheet->Range("B9")->SetValue(1.0);
    sheet->Range("C70000")->SetValue(1.0);
    EXPECT_EQ(sheet->Range("B65536")->End(XlDirection::Up)->Row(), 9);
    EXPECT_EQ(sheet->Range("B9")->End(XlDirection::Up)->Row(), 5);
    EXPECT_EQ(sheet->Range("B5")->End(XlDirection::Up)->Row(), 3);
    EXPECT_EQ(sheet->Range("B3")->End(XlDirection::Up)->Row(), 1);
    EXPECT_EQ(sheet->Range("C1048576")->End(XlDirection::Up)->Row(), 70000);
    EXPECT_EQ(sheet->Range("B1")->End(XlDirection::Down)->Row(), 3);
    EXPECT_EQ(sheet->Range("B3")->End(XlDirection::Down)->Row(), 5);
    EXPECT_EQ(sheet->Range("A3")->End(XlDirection::ToRight)->Column(), 2);
    EXPECT_EQ(sheet->Range("Z3")->End(XlDirection::ToLeft)->Column(), 2);
}

TEST(RangeFormats, ColorIndexWidthsAndHeights) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    EXPECT_EQ(sheet->Range("A1")->InteriorColorIndex(), -4142);
    sheet->Range("A1:B2")->SetInteriorColorIndex(37);
    EXPECT_EQ(sheet->Range("B2")->InteriorColorIndex(), 37);
    const Workbook& model = app->workbookModel(0);
    const Fill& fill = model.styles.at(model.sheets[0]->cell(2, 2)->style).fill;
    EXPECT_EQ(fill.pattern, "solid");
    EXPECT_EQ(fill.foreground, Rgb{0x99CCFF}); // 153, 204, 255
    EXPECT_THROW(sheet->Range("A1")->SetInteriorColorIndex(57), AutomationError);
    sheet->Range("A1")->SetInteriorColorIndex(-4142);
    EXPECT_EQ(sheet->Range("A1")->InteriorColorIndex(), -4142);

    sheet->Columns(3)->SetColumnWidth(12.5);
    EXPECT_EQ(sheet->Range("C9")->ColumnWidth(), 12.5);
    EXPECT_THROW(sheet->Columns(3)->SetColumnWidth(256), AutomationError);
    sheet->Rows(4)->SetRowHeight(33);
    EXPECT_EQ(sheet->Range("Z4")->RowHeight(), 33);
    EXPECT_THROW(sheet->Rows(4)->SetRowHeight(-1), AutomationError);
}

TEST(PageSetupAndZoom, ReadThenWrittenCopiesUnchanged) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    IPageSetup& page = sheet->PageSetup();
    page.SetOrientation(IPageSetup::Landscape);
    page.SetLeftMargin(0.25);
    page.SetRightMargin(0.5);
    page.SetFooterMargin(0.1);
    page.SetZoom(70);
    page.SetPaperSize(8);
    EXPECT_EQ(page.Orientation(), 2);
    EXPECT_EQ(page.LeftMargin(), 0.25);
    EXPECT_EQ(page.RightMargin(), 0.5);
    EXPECT_EQ(page.FooterMargin(), 0.1);
    EXPECT_EQ(page.Zoom(), 70);
    EXPECT_EQ(page.PaperSize(), 8);
    page.SetZoom(0);
    EXPECT_EQ(page.Zoom(), 0);
    EXPECT_THROW(page.SetZoom(5), AutomationError);
    EXPECT_THROW(page.SetOrientation(3), AutomationError);
    EXPECT_THROW(page.SetLeftMargin(-1), AutomationError);
    app->ActiveWindow().SetZoom(120);
    EXPECT_EQ(app->ActiveWindow().Zoom(), 120);
    EXPECT_THROW(app->ActiveWindow().SetZoom(401), AutomationError);
}

TEST(Clipboard, SelectingAllCellsAnchorsThePasteAtA1) {
    auto reader = createEmbeddedApplication();
    auto result = createEmbeddedApplication();
    auto source = reader->Workbooks().Add()->Worksheets(1);
    source->Range("C3")->SetValue(std::string("제목"));
    source->Range("C3:D4")->Copy();
    result->Workbooks().Add();
    result->Range("F9")->Select();
    result->Cells()->Select();
    result->ActiveSheet()->Paste();
    EXPECT_EQ(std::get<std::string>(result->Range("A1")->Value()), "제목");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(result->Cells(9, 6)->Value()));
}
