// When an office suite is installed, a form it wrote with every feature reads with them, and a
// sheet copy of it keeps them.
#include "sheet/embedded_application.h"
#include "sheet/workbook_io.h"
#include "support/feature_form.h"
#include "support/workbook_parts.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace sheet {
namespace {

bool officeSuiteInstalled() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// The feature form as the office suite writes it again; empty when the conversion failed.
std::string convertedForm(const test_support::TempFolder& folder) {
    test_support::writeZip(folder.file("form.xlsx"), test_support::featureForm());
    // A profile of its own, so that parallel runs do not collide; it goes with the folder.
    const std::string profile = "file://" + folder.file("profile");
    const std::string command = "cd '" + folder.path().string() +
                                "' && mkdir -p office && soffice -env:UserInstallation=" + profile +
                                " --headless --norestore --convert-to xlsx --outdir office "
                                "form.xlsx >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return {};
    return folder.file("office/form.xlsx");
}

TEST(XlsxOfficeFormFeatures, AFormTheOfficeSuiteWroteKeepsItsFeaturesThroughASheetCopy) {
    if (!officeSuiteInstalled())
        GTEST_SKIP() << "soffice is not installed";
    test_support::TempFolder folder;
    const std::string path = convertedForm(folder);
    ASSERT_FALSE(path.empty());

    auto app = createEmbeddedApplication();
    WorkbookPtr result = app->Workbooks().Add();
    WorkbookPtr form = app->Workbooks().Open(path);
    form->Worksheets("자료")->Copy(*result->Worksheets(1));
    result->Worksheets(2)->SetName("학교1");

    const Workbook& book = app->workbookModel(0);
    const Worksheet& sheet = *book.sheets[1];
    ASSERT_TRUE(sheet.cell(1, 1) && sheet.cell(1, 1)->richText);
    EXPECT_EQ(sheet.cell(1, 1)->value, CellValue::Text("붉은 글자"));
    EXPECT_EQ(sheet.cell(3, 3)->value, CellValue::Text("첫줄\n둘째줄"));
    EXPECT_EQ(sheet.hiddenRows, std::vector<long>{4});
    EXPECT_EQ(sheet.hiddenColumns, std::vector<long>{3});
    EXPECT_DOUBLE_EQ(sheet.rowHeight(5), 15);
    EXPECT_DOUBLE_EQ(sheet.defaultRowHeight, 13.5);

    const PageSetup& setup = sheet.pageSetup;
    EXPECT_TRUE(setup.fitToPages);
    EXPECT_EQ(setup.fitWidth, 1);
    EXPECT_EQ(setup.fitHeight, 0);
    EXPECT_TRUE(setup.centerHorizontally);
    EXPECT_EQ(setup.titleFirstRow, 1);
    EXPECT_EQ(setup.titleLastRow, 2);
    EXPECT_EQ(setup.printArea, std::vector<CellRect>{(CellRect{1, 1, 6, 4})});
    EXPECT_EQ(setup.rowBreaks, std::vector<long>{4});
    EXPECT_NE(setup.headerFooter.oddFooter.find("&P / &N"), std::string::npos);
    EXPECT_EQ(sheet.view.tabColor, Rgb{0xFF0000});

    EXPECT_EQ(sheet.conditionalFormats.size(), 2u);
    ASSERT_EQ(sheet.dataValidations.size(), 1u);
    EXPECT_EQ(sheet.dataValidations[0].type, "list");
    ASSERT_EQ(sheet.comments.size(), 1u);
    EXPECT_EQ(sheet.comments[0].row, 3);
    EXPECT_EQ(sheet.hyperlinks.size(), 2u);
    bool picture = false, table = false;
    for (const SheetAttachment& attachment : sheet.attachments) {
        picture |= attachment.element == "drawing" && !attachment.part->relations.empty() &&
                   attachment.part->relations[0].part &&
                   attachment.part->relations[0].part->data == test_support::featurePictureBytes();
        table |= attachment.element == "tablePart";
    }
    EXPECT_TRUE(picture);
    EXPECT_TRUE(table);

    std::vector<DefinedName> expected{{"기준", "'학교1'!$B$3", 1, false, ""},
                                      {"Rate", "0.5", -1, false, ""}};
    EXPECT_EQ(book.names, expected);
    EXPECT_EQ(sheet.cell(3, 4)->formula, "B3*Rate");
}

} // namespace
} // namespace sheet
