// Formulas entered through the object layer: evaluation, spans of sheets, relative filling.
#include "sheet/embedded_application.h"
#include "sheet/formula.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

double number(const RangePtr& range) {
    return std::get<double>(range->Value());
}

// A result workbook with three data sheets 가, 나, 다 behind a summary sheet, each data sheet
// holding its number (1, 2, 3) times the cell's row in D11:E12.
struct SpanBook {
    std::shared_ptr<EmbeddedApplication> app = createEmbeddedApplication();
    WorkbookPtr book = app->Workbooks().Add();

    SpanBook() {
        auto summary = book->Worksheets(1);
        summary->SetName("현황집계");
        const char* names[] = {"가", "나", "다"};
        for (int i = 0; i < 3; ++i) {
            summary->Copy(*book->Worksheets(book->SheetsCount()));
            auto sheet = book->ActiveSheet();
            sheet->SetName(names[i]);
            for (long row = 11; row <= 12; ++row)
                for (long column = 4; column <= 5; ++column)
                    sheet->Cells(row, column)->SetValue(double((i + 1) * row * column));
        }
    }
};

} // namespace

TEST(FormulaEvaluation, ArithmeticFollowsPrecedenceAndParentheses) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1")->SetValue(2.0);
    sheet->Range("A2")->SetValue(std::string("3"));
    sheet->Range("A3")->SetValue(std::string("글"));
    struct Case {
        const char* formula;
        double expected;
    } cases[] = {{"=1+2*3", 7},
                 {"=(1+2)*3", 9},
                 {"=-A1*2", -4},
                 {"=A1/4", 0.5},
                 {"=$A$1+A2", 5},
                 {"=SUM(A1:A3)", 2},
                 {"=sum(A1,A2,1.5)", 3.5} /* referenced text is skipped */,
                 {"=SUM((A1+1)*2)", 6},
                 {"=Z99", 0},
                 {"= 1 - - 1", 2}};
    for (const Case& c : cases) {
        sheet->Range("B1")->SetFormula(c.formula);
        EXPECT_DOUBLE_EQ(number(sheet->Range("B1")), c.expected) << c.formula;
    }
    sheet->Range("B1")->SetFormula("=A1/0");
    EXPECT_EQ(std::get<std::string>(sheet->Range("B1")->Value()), "#DIV/0!");
    sheet->Range("B1")->SetFormula("=A3+1");
    EXPECT_EQ(std::get<std::string>(sheet->Range("B1")->Value()), "#VALUE!");
}

TEST(FormulaEvaluation, UnreadableFormulasThrowAndLeaveTheCellsAlone) {
    auto app = createEmbeddedApplication();
    auto book = app->Workbooks().Add();
    auto sheet = book->Worksheets(1);
    sheet->Range("C3")->SetValue(1.0);
    for (const char* bad : {"=", "=1+", "=(1", "=SUM(A1", "=A1:", "=Nope!A1",
                            "=SUM('O'Brien:X'!D11)", "='Sheet1'A1", "=1 2", "=7:15", "=SUM(1,2"})
        EXPECT_THROW(sheet->Range("C3:D4")->SetFormula(bad), AutomationError) << bad;
    EXPECT_EQ(number(sheet->Range("C3")), 1.0);
    EXPECT_EQ(sheet->Range("C3")->Formula(), "1");
}

TEST(FormulaEvaluation, FunctionNamesAndReferencesAreStoredInUpperCase) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1")->SetFormula("=Sum(b1:$c$2)+d4");
    EXPECT_EQ(sheet->Range("A1")->Formula(), "=SUM(B1:$C$2)+D4");
}

TEST(FormulaEvaluation, ASpanOfThreeSheetsSumsTheSameCellOverEach) {
    SpanBook span;
    auto summary = span.book->Worksheets(1);
    summary->Range("D11:E12")->SetFormula("=Sum('가:다'!D11)");
    // (1 + 2 + 3) * row * column
    EXPECT_EQ(number(summary->Range("D11")), 6.0 * 11 * 4);
    EXPECT_EQ(number(summary->Range("E12")), 6.0 * 12 * 5);
    EXPECT_EQ(summary->Range("E12")->Formula(), "=SUM('가:다'!E12)");
    // The span is taken in sheet order, whichever end is named first.
    summary->Range("F1")->SetFormula("=SUM('다:나'!D11)");
    EXPECT_EQ(number(summary->Range("F1")), 5.0 * 11 * 4);
    summary->Range("F2")->SetFormula("=나!D11+'다'!D11:D12");
    EXPECT_EQ(std::get<std::string>(summary->Range("F2")->Value()), "#VALUE!");
    EXPECT_THROW(summary->Range("F3")->SetFormula("=SUM('가:없음'!D11)"), AutomationError);
}

TEST(FormulaEvaluation, QuotedNamesDoubleTheirApostrophes) {
    auto app = createEmbeddedApplication();
    auto book = app->Workbooks().Add();
    book->Worksheets(1)->Copy(*book->Worksheets(1));
    book->Worksheets(2)->SetName("O'Brien");
    book->Worksheets(2)->Range("A1")->SetValue(4.0);
    auto sheet = book->Worksheets(1);
    sheet->Range("B1")->SetFormula("=SUM('O''Brien'!A1)*2");
    EXPECT_EQ(number(sheet->Range("B1")), 8.0);
    EXPECT_THROW(sheet->Range("B2")->SetFormula("=SUM('O'Brien'!A1)"), AutomationError);
}

TEST(FormulaFilling, RelativeReferencesMoveWithEachCellAndAbsolutePartsStay) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1:C3")->SetValue(1.0);
    sheet->Range("B2")->SetValue(10.0);
    sheet->Range("E5:F6")->SetFormula("=A1+$A$1+A$1+$A1");
    EXPECT_EQ(sheet->Range("E5")->Formula(), "=A1+$A$1+A$1+$A1");
    EXPECT_EQ(sheet->Range("F6")->Formula(), "=B2+$A$1+B$1+$A2");
    EXPECT_EQ(number(sheet->Range("F6")), 13.0);
    EXPECT_EQ(sheet->Range("E6")->Formula(), "=A2+$A$1+A$1+$A2");
    // Moving a reference off the sheet is refused before anything is written.
    EXPECT_THROW(sheet->Range("A1:A2")->SetFormula("=A1048576"), AutomationError);
    EXPECT_EQ(number(sheet->Range("A1")), 1.0);
}

TEST(FormulaRecalculation, DependentFormulasFollowTheirCellsAtSave) {
    auto app = createEmbeddedApplication();
    auto book = app->Workbooks().Add();
    auto sheet = book->Worksheets(1);
    sheet->Range("A1")->SetValue(1.0);
    sheet->Range("B1")->SetFormula("=A1*2");
    sheet->Range("C1")->SetFormula("=B1+1");
    sheet->Range("A1")->SetValue(5.0);
    Workbook& model = const_cast<Workbook&>(app->workbookModel(0));
    model.sheets[0]->cellAt(1, 4) = Cell{CellValue::Number(42), "FORECAST.ETS(A1,A1:A2,B1:B2)", 0};
    embedded::recalculate(model);
    EXPECT_EQ(number(sheet->Range("B1")), 10.0);
    EXPECT_EQ(number(sheet->Range("C1")), 11.0);
    EXPECT_EQ(number(sheet->Range("D1")), 42.0); // unknown to the component: kept
}

TEST(FormulaRecalculation, CircularReferencesKeepTheirLastResult) {
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    Worksheet& sheet = *workbook.sheets[0];
    sheet.cellAt(1, 1) = Cell{CellValue::Number(3), "B1+1", 0};
    sheet.cellAt(1, 2) = Cell{CellValue::Number(2), "A1+1", 0};
    embedded::recalculate(workbook);
    EXPECT_EQ(sheet.cell(1, 1)->value.type, CellType::Number);
    EXPECT_EQ(sheet.cell(1, 2)->value.type, CellType::Number);
}

TEST(FormulaRecalculation, ALongChainPointingDownwardsIsFollowedToItsEnd) {
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    Worksheet& sheet = *workbook.sheets[0];
    const long rows = 5000;
    for (long row = 1; row < rows; ++row)
        sheet.cellAt(row, 1) = Cell{{}, "A" + std::to_string(row + 1) + "+1", 0};
    sheet.cellAt(rows, 1).value = CellValue::Number(0);
    embedded::recalculate(workbook);
    EXPECT_EQ(sheet.cell(1, 1)->value.number, rows - 1);
}

TEST(FormulaRecalculation, StoredResultsStandWhereTheComponentFallsShort) {
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    Worksheet& sheet = *workbook.sheets[0];
    sheet.cellAt(1, 1).value = CellValue::Number(2);
    sheet.cellAt(2, 1).value = CellValue::Number(0);
    struct Case {
        const char* formula;
        CellValue stored;
        CellValue expected;
    } cases[] = {
        // The component's own shortcomings: the stored result stands.
        {"FORECAST.ETS(A1,A1:A2,A1:A2)", CellValue::Number(7), CellValue::Number(7)},
        {"_xlfn.IFS(A1>1,5)", CellValue::Number(5), CellValue::Number(5)},
        {"[1]Sheet1!A1", CellValue::Number(3), CellValue::Number(3)},
        {"Elsewhere!A1*2", CellValue::Number(4), CellValue::Number(4)},
        {"A1:A2*2", CellValue::Number(4), CellValue::Number(4)} /* an array formula */,
        {"SomeName+1", CellValue::Text("x"), CellValue::Text("x")},
        {"TEXT(A1,\"0.0E+0\")", CellValue::Text("2.0E+0"), CellValue::Text("2.0E+0")},
        // The workbook's own errors and values replace whatever was stored.
        {"A1/A2", CellValue::Number(1), CellValue::Error("#DIV/0!")},
        {"VLOOKUP(9,A1:A2,1,0)", CellValue::Number(1), CellValue::Error("#N/A")},
        {"A1*3", CellValue::Number(1), CellValue::Number(6)},
        // Nothing stored: the error is the honest result.
        {"NOSUCH(A1)", CellValue{}, CellValue::Error("#NAME?")},
        {"Elsewhere!A1", CellValue{}, CellValue::Error("#REF!")},
    };
    long row = 1;
    for (const Case& c : cases)
        sheet.cellAt(row++, 3) = Cell{c.stored, c.formula, 0};
    embedded::recalculate(workbook);
    row = 1;
    for (const Case& c : cases)
        EXPECT_EQ(sheet.cell(row++, 3)->value, c.expected) << c.formula;
}

TEST(FormulaRecalculation, OpeningComputesOnlyFormulasWithoutStoredResults) {
    Workbook workbook;
    workbook.sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    Worksheet& sheet = *workbook.sheets[0];
    sheet.cellAt(1, 1).value = CellValue::Number(2);
    sheet.cellAt(1, 2) = Cell{CellValue::Number(99), "A1*10", 0}; // stored: kept
    sheet.cellAt(1, 3) = Cell{{}, "B1+1", 0};                     // uses B1 as stored
    sheet.cellAt(1, 4) = Cell{{}, "C1&\"개\"", 0};
    embedded::computeMissingResults(workbook);
    EXPECT_EQ(sheet.cell(1, 2)->value, CellValue::Number(99));
    EXPECT_EQ(sheet.cell(1, 3)->value, CellValue::Number(100));
    EXPECT_EQ(sheet.cell(1, 4)->value, CellValue::Text("100개"));
}

TEST(FormulaFilling, RespellingTouchesReferencesAndFunctionNamesOnly) {
    struct Case {
        const char* text;
        long rows, columns;
        const char* expected;
    } cases[] = {
        {"if(a1>0,\"a1 sum(\",sum(b1:b2))", 0, 0, "IF(A1>0,\"a1 sum(\",SUM(B1:B2))"},
        {"\"A1\"&A1", 1, 1, "\"A1\"&B2"},
        {"'가 나'!a1+가:다!$b$2", 2, 0, "'가 나'!A3+가:다!$B$2"},
        {"nosuch(a1)+true", 0, 1, "NOSUCH(B1)+true"},
        {"SUMPRODUCT(--(MOD(ROW(C8:C20)-8,4)=0),C8:C20)", 1, 0,
         "SUMPRODUCT(--(MOD(ROW(C9:C21)-8,4)=0),C9:C21)"},
        {"50%+#N/A", 3, 3, "50%+#N/A"},
        {"sum(a:b)+$c:$c+가!d:D", 5, 1, "SUM(B:C)+$C:$C+가!E:E"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(embedded::shiftFormula(c.text, c.rows, c.columns), c.expected) << c.text;
}

TEST(FormulaEvaluation, JoinedTextStopsAtTheLengthACellHolds) {
    auto app = createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1")->SetValue(std::string(20000, 'x'));
    sheet->Range("B1")->SetFormula("=A1&A1");
    EXPECT_EQ(std::get<std::string>(sheet->Range("B1")->Value()).size(), 40000u);
    sheet->Range("C1")->SetFormula("=B1&B1&B1");
    EXPECT_EQ(std::get<std::string>(sheet->Range("C1")->Value()), "#VALUE!");
    sheet->Range("D1")->SetFormula("=CONCATENATE(B1,B1,B1)");
    EXPECT_EQ(std::get<std::string>(sheet->Range("D1")->Value()), "#VALUE!");
}
