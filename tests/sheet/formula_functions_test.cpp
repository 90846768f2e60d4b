// Each function and operator of the formula engine against results worked out by hand.
#include "sheet/automation.h"
#include "sheet/formula.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace sheet;

namespace {

CellValue num(double v) {
    return CellValue::Number(v);
}
CellValue txt(const char* v) {
    return CellValue::Text(v);
}
CellValue err(const char* v) {
    return CellValue::Error(v);
}
CellValue yes(bool v) {
    return CellValue::Boolean(v);
}

struct Case {
    const char* formula;
    CellValue expected;
};

// A workbook with a data sheet and three sheets 가, 나, 다 holding 1, 2, 3 in D11. The
// formulas are computed in H2 of the data sheet.
class FormulaFunctions : public testing::Test {
protected:
    Workbook book;
    Worksheet* data = nullptr;

    void SetUp() override {
        book.sheets.push_back(std::make_unique<Worksheet>("자료"));
        data = book.sheets.back().get();
        const char* spanNames[] = {"가", "나", "다"};
        for (int i = 0; i < 3; ++i) {
            book.sheets.push_back(std::make_unique<Worksheet>(spanNames[i]));
            book.sheets.back()->cellAt(11, 4).value = num(i + 1);
        }
        // A: 1 2 3 "글" (blank) TRUE; B: names; C: 10 20 30; D1 an error.
        set(1, 1, num(1));
        set(2, 1, num(2));
        set(3, 1, num(3));
        set(4, 1, txt("글"));
        set(6, 1, yes(true));
        set(1, 2, txt("사과"));
        set(2, 2, txt("배"));
        set(3, 2, txt("감"));
        set(4, 2, txt(""));
        set(1, 3, num(10));
        set(2, 3, num(20));
        set(3, 3, num(30));
        set(1, 4, err("#DIV/0!"));
        set(1, 5, txt("  a   b  "));
        set(2, 5, txt("3"));
        set(1, 6, num(45292)); // 2024-01-01
    }

    void set(long row, long column, CellValue value) { data->cellAt(row, column).value = value; }

    CellValue evaluate(const std::string& text) {
        embedded::CellLookup lookup = [](const Worksheet& sheet, long row, long column) {
            const Cell* cell = sheet.cell(row, column);
            return cell ? cell->value : CellValue{};
        };
        return embedded::evaluateFormula(text, book, *data, 2, 8, lookup);
    }

    void check(std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            CellValue got;
            ASSERT_NO_THROW(got = evaluate(c.formula)) << c.formula;
            if (c.expected.type == CellType::Number && got.type == CellType::Number)
                EXPECT_NEAR(got.number, c.expected.number, 1e-9) << c.formula;
            else
                EXPECT_EQ(got, c.expected) << c.formula << " gave " << got.text;
        }
    }
};

} // namespace

TEST_F(FormulaFunctions, OperatorsFollowPrecedenceAndCoerceAsSpreadsheetsDo) {
    check({{"1+2*3", num(7)},
           {"-2^2", num(4)},
           {"2^3^2", num(64)},
           {"50%", num(0.5)},
           {"-50%*2", num(-1)},
           {"1+\"2\"", num(3)},
           {"\"a\"&1&TRUE", txt("a1TRUE")},
           {"1/3&\"\"", txt("0.333333333333333")},
           {"A5+1", num(1)},
           {"A1=1", yes(true)},
           {"\"abc\"=\"ABC\"", yes(true)},
           {"\"a\"<\"b\"", yes(true)},
           {"1<\"a\"", yes(true)},
           {"\"a\"<TRUE", yes(true)},
           {"A5=\"\"", yes(true)},
           {"A5=0", yes(true)},
           {"2<>2", yes(false)},
           {"3>=3", yes(true)},
           {"E2*2", num(6)},
           {"--TRUE", num(1)},
           {"1&2=\"12\"", yes(true)},
           {"A1:A3", num(2)} /* the host's row */});
}

TEST_F(FormulaFunctions, ErrorsPropagateFromTheLeftmostOperand) {
    check({{"1/0", err("#DIV/0!")},
           {"A4+1", err("#VALUE!")},
           {"D1+A4", err("#DIV/0!")},
           {"#N/A+1", err("#N/A")},
           {"NOSUCH(1)", err("#NAME?")},
           {"somename+1", err("#NAME?")},
           {"0^0", err("#NUM!")},
           {"0^-1", err("#DIV/0!")},
           {"10^400", err("#NUM!")},
           {"SUM(A1:D1)", err("#DIV/0!")},
           {"A1:A3+C1:C3", num(22)},
           {"B1:C1", err("#VALUE!")} /* no cell in the host's column */});
}

TEST_F(FormulaFunctions, AggregatesReadNumbersOfBlocksAndTakeSingleArgumentsAsNumbers) {
    check({{"SUM(A1:A6)", num(6)},
           {"SUM(A1:A3,\"4\",TRUE)", num(11)},
           {"SUM(\"x\")", err("#VALUE!")},
           {"SUM(가:다!D11)", num(6)},
           {"SUM('가:다'!D11)", num(6)},
           {"SUM('다:가'!D11)", num(6)},
           {"AVERAGE(A1:A6)", num(2)},
           {"AVERAGE(B1:B3)", err("#DIV/0!")},
           {"COUNT(A1:A6,D1,\"5\",\"x\")", num(4)},
           {"COUNTA(A1:A6)", num(5)},
           {"COUNTA(B1:B5)", num(4)} /* empty text counts */,
           {"COUNTBLANK(A1:B6)", num(4)},
           {"MIN(A1:A6,-1)", num(-1)},
           {"MAX(C1:C3)", num(30)},
           {"MAX(B1:B3)", num(0)},
           {"SUMPRODUCT(A1:A3,C1:C3)", num(140)},
           {"SUMPRODUCT((A1:A3>1)*C1:C3)", num(50)},
           {"SUMPRODUCT(--(MOD(ROW(C1:C3)-1,2)=0),C1:C3)", num(40)},
           {"SUMPRODUCT(A1:A2,C1:C3)", err("#VALUE!")},
           {"SUMPRODUCT(A1:A4,C1:C4)", num(140)} /* text counts as 0 */,
           {"RANK(20,C1:C3)", num(2)},
           {"RANK(20,C1:C3,1)", num(2)},
           {"RANK(10,C1:C3)", num(3)},
           {"RANK(15,C1:C3)", err("#N/A")}});
}

TEST_F(FormulaFunctions, ConditionsOfSumifAndCountif) {
    check({{"SUMIF(A1:A6,\">1\")", num(5)},
           {"SUMIF(A1:A3,\">=2\",C1:C3)", num(50)},
           {"SUMIF(B1:B3,\"배\",C1:C3)", num(20)},
           {"SUMIF(B1:B3,\"*과\",C1)", num(10)},
           {"COUNTIF(A1:A6,\"<>2\")", num(5)},
           {"COUNTIF(B1:B5,\"\")", num(2)},
           {"COUNTIF(A1:A6,\"<>\")", num(5)},
           {"COUNTIF(A1:E3,3)", num(2)},
           {"COUNTIF(B1:B3,\"?\")", num(2)},
           {"COUNTIF(A1:A6,TRUE)", num(1)},
           {"COUNTIF(A1:D1,\">0\")", num(2)} /* an error cell never matches */,
           {"SUMIF(A1:A2,\">0\",D1:D2)", err("#DIV/0!")}});
}

TEST_F(FormulaFunctions, RoundingAndArithmeticFunctions) {
    check({{"ROUND(2.675,2)", num(2.68)},
           {"ROUND(-2.5,0)", num(-3)},
           {"ROUND(1234.5,-2)", num(1200)},
           {"ROUNDUP(2.01,0)", num(3)},
           {"ROUNDUP(-2.01,0)", num(-3)},
           {"ROUNDDOWN(2.99,1)", num(2.9)},
           {"ROUNDDOWN(-2.99,0)", num(-2)},
           {"INT(-2.5)", num(-3)},
           {"INT(\"x\")", err("#VALUE!")},
           {"ABS(-4)", num(4)},
           {"MOD(-3,2)", num(1)},
           {"MOD(3,-2)", num(-1)},
           {"MOD(5.5,1)", num(0.5)},
           {"MOD(1,0)", err("#DIV/0!")}});
}

TEST_F(FormulaFunctions, LogicalFunctionsPickBranchesAndSwallowOnlyWhatTheyShould) {
    check({{"IF(A1>0,\"양\",\"음\")", txt("양")},
           {"IF(A5,1,2)", num(2)},
           {"IF(A1,1/0,2)", err("#DIV/0!")},
           {"IF(0,1/0,2)", num(2)},
           {"IF(0,1)", yes(false)},
           {"IF(\"x\",1,2)", err("#VALUE!")},
           {"IF(D1,1,2)", err("#DIV/0!")},
           {"IFERROR(1/0,\"없음\")", txt("없음")},
           {"IFERROR(5,0)", num(5)},
           {"IFERROR(NOSUCH(),7)", num(7)},
           {"AND(A1:A3)", yes(true)},
           {"AND(1,0)", yes(false)},
           {"AND(B1:B3)", err("#VALUE!")},
           {"AND(\"x\")", err("#VALUE!")},
           {"OR(0,A6)", yes(true)},
           {"OR(D1,1)", err("#DIV/0!")},
           {"NOT(A5)", yes(true)},
           {"NOT(\"TRUE\")", yes(false)}});
}

TEST_F(FormulaFunctions, TextFunctionsCountCharactersNotBytes) {
    check({{"LEFT(\"가나다\",2)", txt("가나")},
           {"LEFT(\"가나다\")", txt("가")},
           {"RIGHT(\"가나다\",2)", txt("나다")},
           {"RIGHT(\"ab\",5)", txt("ab")},
           {"MID(\"가나다라\",2,2)", txt("나다")},
           {"MID(\"ab\",5,1)", txt("")},
           {"MID(\"ab\",0,1)", err("#VALUE!")},
           {"LEFT(\"ab\",-1)", err("#VALUE!")},
           {"LEN(\"가나다\")", num(3)},
           {"LEN(A1*100)", num(3)},
           {"TRIM(E1)", txt("a b")},
           {"CONCATENATE(B1,\"-\",A1,TRUE)", txt("사과-1TRUE")},
           {"LEFT(123.5,3)", txt("123")}});
}

TEST_F(FormulaFunctions, TextFormatsNumbersAndDates) {
    check({{"TEXT(1234.567,\"#,##0\")", txt("1,235")},
           {"TEXT(1234.567,\"#,##0.00\")", txt("1,234.57")},
           {"TEXT(0.256,\"0.0%\")", txt("25.6%")},
           {"TEXT(5,\"000\")", txt("005")},
           {"TEXT(-5,\"0;(0)\")", txt("(5)")},
           {"TEXT(-1234,\"#,##0\")", txt("-1,234")},
           {"TEXT(0,\"0;-0;\"\"없음\"\"\")", txt("없음")},
           {"TEXT(1500,\"#,##0\"\"원\"\"\")", txt("1,500원")},
           {"TEXT(0.5,\"#.##\")", txt(".5")},
           {"TEXT(F1,\"yyyy-mm-dd\")", txt("2024-01-01")},
           {"TEXT(F1,\"yyyy년 m월 d일\")", txt("2024년 1월 1일")},
           {"TEXT(F1+0.75,\"hh:mm\")", txt("18:00")},
           {"TEXT(F1+0.75,\"h:mm AM/PM\")", txt("6:00 PM")},
           {"TEXT(F1,\"ddd mmm\")", txt("Mon Jan")},
           {"TEXT(\"글\",\"0.00\")", txt("글")},
           {"TEXT(1,\"0.00E+00\")", err("#VALUE!")} /* not computed: flagged */});
}

TEST_F(FormulaFunctions, DatesCountSerialsFrom1900WithItsLeapDay) {
    check({{"DATE(2024,1,1)", num(45292)},
           {"DATE(1900,1,1)", num(1)},
           {"DATE(1900,3,1)", num(61)},
           {"DATE(2024,13,1)", num(45658)},
           {"DATE(2024,3,0)", num(45351)},
           {"DATE(24,1,1)", num(8767)},
           {"DATE(-1,1,1)", err("#NUM!")},
           {"YEAR(F1)", num(2024)},
           {"MONTH(45351)", num(2)},
           {"DAY(45351)", num(29)},
           {"DAY(60)", num(29)},
           {"MONTH(60)", num(2)},
           {"YEAR(-1)", err("#NUM!")},
           {"YEAR(\"x\")", err("#VALUE!")}});
    const CellValue today = evaluate("TODAY()");
    EXPECT_GT(today.number, 45000);
    EXPECT_EQ(evaluate("TODAY()"), today);
}

// Whole columns count the cells they hold, however far down, and nothing else.
TEST_F(FormulaFunctions, WholeColumnsCoverEveryRow) {
    set(500000, 3, num(1000));
    check({{"SUM(C:C)", num(1060)},
           {"SUM($A:C)", num(1066)},
           {"COUNT(a:a)", num(3)},
           {"SUM(가:다!D:D)", num(6)},
           {"SUMIF(A:A,\">1\",C:C)", num(50)},
           {"C:C", num(20)}, // the host's row
           {"MATCH(30,C:C,0)", num(3)}});
}

TEST_F(FormulaFunctions, A1904WorkbookCountsItsSerialsFrom1904) {
    const CellValue todayIn1900 = evaluate("TODAY()");
    book.date1904 = true;
    check({{"DATE(1904,1,1)", num(0)},
           {"DATE(2024,1,1)", num(45292 - 1462)},
           {"DATE(1903,12,31)", err("#NUM!")},
           {"YEAR(0)", num(1904)},
           {"DAY(1)", num(2)},
           {"MONTH(60)", num(3)},
           {"YEAR(-1)", err("#NUM!")},
           {"TEXT(0,\"yyyy-mm-dd\")", txt("1904-01-01")},
           {"TEXT(1462,\"yyyy-mm-dd\")", txt("1908-01-02")},
           {"TEXT(1.5,\"0.0\")", txt("1.5")}});
    EXPECT_EQ(evaluate("TODAY()").number, todayIn1900.number - 1462);
}

// Names of the workbook and of one sheet: blocks, single cells, formulas of their own and
// names defined through names.
TEST_F(FormulaFunctions, DefinedNamesStandForWhatTheyName) {
    book.names = {{"Prices", "'자료'!$C$1:$C$3", -1},
                  {"Rate", "자료!$A$2", -1},
                  {"rate", "가!$D$11", 1}, // the sheet 가's own Rate
                  {"Doubled", "Rate*2", -1},
                  {"Loop", "Loop+1", -1},
                  {"Gone", "없는시트!$A$1", -1},
                  {"Broken", "1+", -1}};
    check({{"SUM(Prices)", num(60)},
           {"Rate+1", num(3)},
           {"RATE*Doubled", num(8)},
           {"INDEX(Prices,2)", num(20)},
           {"COUNT(prices)", num(3)},
           {"Unknown", err("#NAME?")},
           {"Loop", err("#NAME?")},
           {"Broken", err("#NAME?")}});
    EXPECT_THROW(evaluate("Gone"), AutomationError);

    embedded::CellLookup lookup = [](const Worksheet& sheet, long row, long column) {
        const Cell* cell = sheet.cell(row, column);
        return cell ? cell->value : CellValue{};
    };
    EXPECT_EQ(embedded::evaluateFormula("Rate", book, *book.sheets[1], 1, 1, lookup), num(1));
    EXPECT_EQ(embedded::evaluateFormula("Rate", book, *book.sheets[2], 1, 1, lookup), num(2));
}

TEST_F(FormulaFunctions, LookupsFindExactlyOrInSortedLists) {
    check({{"VLOOKUP(2,A1:C3,3,FALSE)", num(20)},
           {"VLOOKUP(2.5,A1:C3,3)", num(20)},
           {"VLOOKUP(0,A1:C3,3)", err("#N/A")},
           {"VLOOKUP(9,A1:C3,3,0)", err("#N/A")},
           {"VLOOKUP(1,A1:C3,4,0)", err("#REF!")},
           {"VLOOKUP(1,A1:C3,0,0)", err("#VALUE!")},
           {"VLOOKUP(\"배\",B1:C3,2,0)", num(20)},
           {"VLOOKUP(\"사*\",B1:C3,2,0)", num(10)},
           {"MATCH(20,C1:C3,0)", num(2)},
           {"MATCH(25,C1:C3)", num(2)},
           {"MATCH(5,C1:C3)", err("#N/A")},
           {"MATCH(\"감\",B1:B3,0)", num(3)},
           {"INDEX(C1:C3,2)", num(20)},
           {"INDEX(A1:C3,3,2)", txt("감")},
           {"INDEX(A1:C1,3)", num(10)},
           {"INDEX(A1:C3,4,1)", err("#REF!")},
           {"SUM(INDEX(A1:C3,0,3))", num(60)},
           {"ROW()", num(2)},
           {"COLUMN()", num(8)},
           {"ROW(C5:C9)", num(5)},
           {"COLUMN(D1)", num(4)},
           {"INDEX(C1:C3,MATCH(\"배\",B1:B3,0))", num(20)}});
}

TEST(FormulaLimits, LongAndDeepFormulasAreBoundedWithoutExhaustingTheStack) {
    Workbook book;
    book.sheets.push_back(std::make_unique<Worksheet>("S"));
    embedded::CellLookup none = [](const Worksheet&, long, long) { return CellValue{}; };
    auto evaluate = [&](const std::string& text) {
        return embedded::evaluateFormula(text, book, *book.sheets[0], 1, 1, none);
    };
    std::string chain = "1";
    while (chain.size() < 8190)
        chain += "+1";
    EXPECT_EQ(evaluate(chain).number, double(chain.size() / 2 + 1));
    EXPECT_THROW(evaluate(chain + "+1+1"), AutomationError);
    // Characters count, not bytes: 4,000 Hangul syllables are 12,000 bytes.
    std::string hangul;
    for (int i = 0; i < 4000; ++i)
        hangul += "가";
    EXPECT_EQ(evaluate("LEN(\"" + hangul + "\")").number, 4000);
    std::string minus(8000, '-');
    EXPECT_EQ(evaluate(minus + "1").number, 1);
    EXPECT_THROW(evaluate(std::string(150, '(') + "1" + std::string(150, ')')), AutomationError);
    EXPECT_EQ(evaluate(std::string(60, '(') + "1" + std::string(60, ')')).number, 1);
    std::string nested;
    for (int i = 0; i < 150; ++i)
        nested = "ABS(" + nested + (i == 0 ? "1" : "") + ")";
    EXPECT_THROW(evaluate(nested), AutomationError);
}
