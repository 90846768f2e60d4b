// The last used row of a column, through the object layer.
#include "engine/sheet_extent.h"
#include "sheet/embedded_application.h"

#include <gtest/gtest.h>

using engine::GetLastLine1;
using engine::GetLastLine2;

TEST(SheetExtent, LastUsedRowOfAnyColumnDownToTheLastRow) {
    auto app = sheet::createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("A1:A10")->SetValue(1.0);
    sheet->Range("A14")->SetValue(std::string("끝"));
    sheet->Range("AB70000")->SetValue(1.0);    // below the old 65536 cap
    sheet->Range("BA5")->SetValue(1.0);        // beyond AZ
    sheet->Range("XFD1048576")->SetValue(1.0); // the very last cell

    EXPECT_EQ(GetLastLine1(*sheet, 1), 14);
    EXPECT_EQ(GetLastLine2(*sheet, 28), 70000);
    EXPECT_EQ(GetLastLine2(*sheet, 53), 5);
    EXPECT_EQ(GetLastLine1(*sheet, 16384), 1048576);
    EXPECT_EQ(GetLastLine1(*sheet, 2), 1); // empty column
}

TEST(SheetExtent, FormatsAloneDoNotCountButFormulasDo) {
    auto app = sheet::createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->Range("C20")->SetInteriorColorIndex(37);
    sheet->Range("D8")->SetFormula("=1+1");
    EXPECT_EQ(GetLastLine1(*sheet, 3), 1);
    EXPECT_EQ(GetLastLine1(*sheet, 4), 8);
}

TEST(SheetExtent, ColumnsOutsideTheSheetAndQuitInstancesThrow) {
    auto app = sheet::createEmbeddedApplication();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    EXPECT_THROW(GetLastLine1(*sheet, 0), sheet::AutomationError);
    EXPECT_THROW(GetLastLine1(*sheet, 16385), sheet::AutomationError);
    app->Quit();
    EXPECT_THROW(GetLastLine2(*sheet, 1), sheet::AutomationError);
}
