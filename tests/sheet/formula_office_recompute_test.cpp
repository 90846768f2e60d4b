// Formulas the component computes, recomputed by an independent spreadsheet program on load:
// every result must agree. Runs only where LibreOffice (soffice) is installed.
//
// Left out, where that program departs from spreadsheet applications: a span of sheets in
// quotes ('1반:3반'!C4, which it reads as #NAME?) and TRUE joined with & (which it joins as 1).
#include "sheet/formula.h"
#include "sheet/workbook_io.h"
#include "support/office_conversion.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace sheet;
namespace fs = std::filesystem;

namespace {

// The first field of each line; a quoted field may hold commas and doubled quotes.
std::vector<std::string> firstColumn(const fs::path& csv) {
    std::vector<std::string> fields;
    std::ifstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        std::string field;
        if (!line.empty() && line.front() == '"') {
            for (size_t at = 1; at < line.size(); ++at) {
                if (line[at] == '"' && (at + 1 >= line.size() || line[at + 1] != '"'))
                    break;
                if (line[at] == '"')
                    ++at;
                field += line[at];
            }
        } else {
            field = line.substr(0, line.find(','));
        }
        fields.push_back(field);
    }
    return fields;
}

std::string shown(const CellValue& value) {
    switch (value.type) {
    case CellType::Boolean:
        return value.number != 0 ? "TRUE" : "FALSE";
    case CellType::Text:
    case CellType::Error:
        return value.text;
    default:
        return {};
    }
}

const char* const kFormulas[] = {
    "SUM(학교01:학교03!C4)",
    "SUMPRODUCT(--(MOD(ROW(자료!E2:E40)-2,4)=0),자료!E2:E40)",
    "자료!E2+자료!E6+자료!E10",
    "ROUND(2.675,2)",
    "ROUNDUP(-2.01,0)",
    "ROUNDDOWN(2.99,1)",
    "INT(-2.5)",
    "ABS(-4)",
    "MOD(-3,2)",
    "IF(자료!A1>0,\"양\",\"음\")",
    "IFERROR(1/0,\"없음\")",
    "AND(1,0)",
    "OR(0,1)",
    "NOT(0)",
    "AVERAGE(자료!A1:A3)",
    "COUNT(자료!A1:C3)",
    "COUNTA(자료!A1:C3)",
    "COUNTBLANK(자료!A1:D3)",
    "MIN(자료!C1:C3)",
    "MAX(자료!C1:C3)",
    "SUMIF(자료!A1:A3,\">=2\",자료!C1:C3)",
    "COUNTIF(자료!B1:B3,\"*과\")",
    "SUMPRODUCT(자료!A1:A3,자료!C1:C3)",
    "ROW(자료!C5)",
    "COLUMN(자료!D1)",
    "TEXT(1234.567,\"#,##0.00\")",
    "TEXT(DATE(2024,1,1),\"yyyy-mm-dd\")",
    "TEXT(0.256,\"0.0%\")",
    "LEFT(\"가나다\",2)",
    "RIGHT(\"가나다\",2)",
    "MID(\"가나다라\",2,2)",
    "LEN(\"가나다\")",
    "TRIM(\"  a   b  \")",
    "CONCATENATE(\"a\",1,\"b\")",
    "YEAR(DATE(2024,13,1))",
    "DAY(DATE(2024,3,0))",
    "YEAR(45351)",
    "MONTH(45351)",
    "DAY(45351)",
    "VLOOKUP(2,자료!A1:C3,3,FALSE)",
    "INDEX(자료!C1:C3,2)",
    "MATCH(\"감\",자료!B1:B3,0)",
    "RANK(20,자료!C1:C3)",
    "1/0",
    "\"a\"+1",
    "VLOOKUP(9,자료!A1:C3,3,0)",
    "\"a\"&1&\"b\"",
    "50%*2",
    "-2^2",
    "2^3^2",
};

} // namespace

TEST(FormulaOfficeRecompute, EveryFunctionAgreesWithLibreOffice) {
    if (!test_support::officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    Workbook book;
    book.sheets.push_back(std::make_unique<Worksheet>("요약"));
    book.sheets.push_back(std::make_unique<Worksheet>("자료"));
    Worksheet& data = *book.sheets.back();
    const char* fruits[] = {"사과", "배", "감"};
    for (long r = 1; r <= 3; ++r) {
        data.cellAt(r, 1).value = CellValue::Number(double(r));
        data.cellAt(r, 2).value = CellValue::Text(fruits[r - 1]);
        data.cellAt(r, 3).value = CellValue::Number(10.0 * double(r));
    }
    for (long r = 2; r <= 40; ++r)
        data.cellAt(r, 5).value = CellValue::Number(double(r));
    for (const char* prefix : {"학교0", ""})
        for (int k = 1; k <= 3; ++k) {
            const std::string name =
                *prefix ? prefix + std::to_string(k) : std::to_string(k) + "반";
            book.sheets.push_back(std::make_unique<Worksheet>(name));
            book.sheets.back()->cellAt(4, 3).value = CellValue::Number(*prefix ? k : 10 * k);
        }
    Worksheet& summary = *book.sheets.front();
    const size_t count = std::size(kFormulas);
    for (size_t i = 0; i < count; ++i)
        summary.cellAt(long(i) + 1, 1).formula = kFormulas[i];
    embedded::recalculate(book);

    fs::path folder = fs::temp_directory_path() / "tabrinel_formula_recompute";
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeWorkbook(book, (folder / "formulas.xlsx").string());
    const fs::path csv = test_support::convertWithOffice(
        folder / "formulas.xlsx", "csv:Text - txt - csv (StarCalc):44,34,76,1", folder / "out",
        test_support::StoredResults::Recomputed);
    ASSERT_FALSE(csv.empty());
    const auto fields = firstColumn(csv);
    ASSERT_EQ(fields.size(), count);
    for (size_t i = 0; i < count; ++i) {
        const CellValue& ours = summary.cell(long(i) + 1, 1)->value;
        if (ours.type == CellType::Number) {
            char* end = nullptr;
            const double theirs = std::strtod(fields[i].c_str(), &end);
            EXPECT_TRUE(end && *end == '\0') << kFormulas[i] << " gave " << fields[i];
            EXPECT_NEAR(theirs, ours.number, 1e-9) << kFormulas[i];
        } else {
            EXPECT_EQ(fields[i], shown(ours)) << kFormulas[i];
        }
    }
    fs::remove_all(folder);
}
