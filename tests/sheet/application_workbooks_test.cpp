// Instances, workbooks and worksheets of the embedded component.
#include "sheet/embedded_application.h"
#include "sheet/embedded_faults.h"
#include "sheet/workbook_io.h"
#include "support/embedded_factory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

using namespace sheet;

namespace {

std::shared_ptr<EmbeddedApplication> newApp() {
    return createEmbeddedApplication();
}

class TempFolder {
public:
    TempFolder() {
        path_ =
            std::filesystem::temp_directory_path() /
            ("tabrinel_app_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace

TEST(ApplicationInstances, AreSeparateAndStartWithoutWorkbooks) {
    auto first = newApp();
    auto second = newApp();
    first->Workbooks().Add();
    EXPECT_EQ(first->Workbooks().Count(), 1);
    EXPECT_EQ(second->Workbooks().Count(), 0);
    EXPECT_THROW(second->ActiveSheet(), AutomationError);
    EXPECT_TRUE(first->DisplayAlerts());
    EXPECT_FALSE(first->Visible());
}

TEST(ApplicationInstances, NewWorkbookHoldsExactlyOneSheetCalledSheet1) {
    auto app = newApp();
    auto book = app->Workbooks().Add();
    EXPECT_EQ(book->SheetsCount(), 1);
    EXPECT_EQ(book->Worksheets(1)->Name(), "Sheet1");
    EXPECT_EQ(book->FullName(), "");
    EXPECT_EQ(app->ActiveWorkbook(), book);
    EXPECT_EQ(app->ActiveSheet(), book->Worksheets("sheet1"));
}

TEST(ApplicationInstances, EveryMemberOfAQuitInstanceThrows) {
    auto app = newApp();
    auto book = app->Workbooks().Add();
    auto sheet = book->Worksheets(1);
    auto range = sheet->Range("A1");
    IPageSetup& page = sheet->PageSetup();
    app->Quit();
    EXPECT_TRUE(app->hasQuit());
    EXPECT_EQ(app->workbookCount(), 0);

    EXPECT_THROW(app->DisplayAlerts(), AutomationError);
    EXPECT_THROW(app->SetDisplayAlerts(false), AutomationError);
    EXPECT_THROW(app->Visible(), AutomationError);
    EXPECT_THROW(app->SetVisible(true), AutomationError);
    EXPECT_THROW(app->SetCutCopyMode(false), AutomationError);
    EXPECT_THROW(app->Workbooks(), AutomationError);
    EXPECT_THROW(app->ActiveWorkbook(), AutomationError);
    EXPECT_THROW(app->ActiveSheet(), AutomationError);
    EXPECT_THROW(app->ActiveWindow(), AutomationError);
    EXPECT_THROW(app->Range("A1"), AutomationError);
    EXPECT_THROW(app->Cells(1, 1), AutomationError);
    EXPECT_THROW(app->Cells(), AutomationError);
    EXPECT_THROW(app->Worksheets(1), AutomationError);
    EXPECT_THROW(app->Worksheets("Sheet1"), AutomationError);
    EXPECT_THROW(app->Quit(), AutomationError);

    EXPECT_THROW(book->Worksheets(1), AutomationError);
    EXPECT_THROW(book->SheetsCount(), AutomationError);
    EXPECT_THROW(book->ActiveSheet(), AutomationError);
    EXPECT_THROW(book->FullName(), AutomationError);
    EXPECT_THROW(book->Saved(), AutomationError);
    EXPECT_THROW(book->SaveAs("/tmp/never.xlsx"), AutomationError);
    EXPECT_THROW(book->Close(), AutomationError);

    EXPECT_THROW(sheet->Name(), AutomationError);
    EXPECT_THROW(sheet->SetName("x"), AutomationError);
    EXPECT_THROW(sheet->Select(), AutomationError);
    EXPECT_THROW(sheet->Activate(), AutomationError);
    EXPECT_THROW(sheet->Delete(), AutomationError);
    EXPECT_THROW(sheet->Unprotect(), AutomationError);
    EXPECT_THROW(sheet->Paste(), AutomationError);
    EXPECT_THROW(sheet->Range("A1"), AutomationError);
    EXPECT_THROW(sheet->Rows("1:2"), AutomationError);
    EXPECT_THROW(sheet->Columns(1), AutomationError);
    EXPECT_THROW(sheet->PrintOut(), AutomationError);
    EXPECT_THROW(page.Orientation(), AutomationError);
    EXPECT_THROW(page.SetPaperSize(9), AutomationError);

    EXPECT_THROW(range->Value(), AutomationError);
    EXPECT_THROW(range->SetValue(1.0), AutomationError);
    EXPECT_THROW(range->SetFormula("=1"), AutomationError);
    EXPECT_THROW(range->Copy(), AutomationError);
    EXPECT_THROW(range->Select(), AutomationError);
    EXPECT_THROW(range->End(XlDirection::Up), AutomationError);
    EXPECT_THROW(range->Row(), AutomationError);
    EXPECT_THROW(range->SetInteriorColorIndex(37), AutomationError);
    EXPECT_THROW(range->ColumnWidth(), AutomationError);
    EXPECT_THROW(range->SetRowHeight(20), AutomationError);
}

TEST(ApplicationInstances, ObjectsOfAClosedWorkbookThrowWhileTheInstanceLivesOn) {
    auto app = newApp();
    auto first = app->Workbooks().Add();
    auto second = app->Workbooks().Add();
    auto sheet = first->Worksheets(1);
    first->Close();
    EXPECT_THROW(sheet->Range("A1"), AutomationError);
    EXPECT_THROW(first->SheetsCount(), AutomationError);
    EXPECT_EQ(app->Workbooks().Count(), 1);
    EXPECT_EQ(app->ActiveWorkbook(), second);
}

TEST(SheetNames, RefusedNamesThrowWithTheReason) {
    auto app = newApp();
    auto book = app->Workbooks().Add();
    book->Worksheets(1)->Copy(*book->Worksheets(1));
    auto sheet = book->Worksheets(2);
    for (const std::string& bad :
         std::vector<std::string>{"", "a:b", "a\\b", "a/b", "a?b", "a*b", "a[b", "a]b", "'quoted",
                                  "quoted'", "SHEET1", std::string(32, 'x')}) {
        EXPECT_THROW(sheet->SetName(bad), AutomationError) << bad;
    }
    try {
        sheet->SetName("a/b");
    } catch (const AutomationError& error) {
        EXPECT_NE(std::string(error.what()).find("a/b"), std::string::npos);
    }
    sheet->SetName(std::string(31, 'x'));
    sheet->SetName("O'Brien");
    sheet->SetName("가나다라마바사아자차카타파하가나다라마바사아자차카타파하가나다");
    EXPECT_EQ(sheet->Name().size(), 31u * 3);
}

TEST(SheetNames, OwnNameInAnotherCaseIsAccepted) {
    auto app = newApp();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    sheet->SetName("SHEET1");
    EXPECT_EQ(sheet->Name(), "SHEET1");
}

TEST(WorksheetDelete, TheOnlySheetCannotGoAndTheNextSheetBecomesActive) {
    auto app = newApp();
    app->SetDisplayAlerts(false);
    auto book = app->Workbooks().Add();
    EXPECT_THROW(book->Worksheets(1)->Delete(), AutomationError);
    book->Worksheets(1)->Copy(*book->Worksheets(1));
    auto deleted = book->Worksheets(1);
    deleted->Delete();
    EXPECT_EQ(book->SheetsCount(), 1);
    EXPECT_EQ(book->Worksheets(1)->Name(), "Sheet1 (2)");
    EXPECT_THROW(deleted->Name(), AutomationError);
    EXPECT_EQ(book->ActiveSheet()->Index(), 1);
}

TEST(WorksheetUnprotect, WithoutPasswordOnlyWhereNoneWasSet) {
    auto app = newApp();
    auto book = app->Workbooks().Add();
    book->Worksheets(1)->Copy(*book->Worksheets(1));
    Workbook& model = const_cast<Workbook&>(app->workbookModel(0));
    model.sheets[0]->protection.on = true;
    model.sheets[1]->protection = {true, "CBEB"}; // the hash of "test"

    auto open = book->Worksheets(1);
    EXPECT_THROW(open->Range("A1")->SetValue(1.0), AutomationError);
    open->Unprotect();
    open->Range("A1")->SetValue(1.0);

    auto locked = book->Worksheets(2);
    EXPECT_THROW(locked->Unprotect(), AutomationError);
    EXPECT_THROW(locked->Unprotect("wrong"), AutomationError);
    EXPECT_TRUE(model.sheets[1]->protection.on);
    locked->Unprotect("test");
    EXPECT_FALSE(model.sheets[1]->protection.on);
}

TEST(WorksheetCopy, AfterASheetOfAnotherWorkbookCopiesEverythingAndActivatesTheCopy) {
    auto app = newApp();
    auto result = app->Workbooks().Add();
    auto source = app->Workbooks().Add();
    auto data = source->Worksheets(1);
    data->SetName("현황");
    data->Range("B2")->SetValue(5.0);
    data->Range("C2")->SetFormula("=B2*2");
    data->Range("B2")->SetInteriorColorIndex(37);
    data->Columns(2)->SetColumnWidth(20);
    data->Rows(2)->SetRowHeight(30);
    data->PageSetup().SetOrientation(IPageSetup::Landscape);
    data->PageSetup().SetPaperSize(1);
    app->ActiveWindow().SetZoom(85);
    Workbook& sourceModel = const_cast<Workbook&>(app->workbookModel(1));
    sourceModel.sheets[0]->merges.push_back({4, 1, 5, 3});
    sourceModel.sheets[0]->protection.on = true;

    data->Copy(*result->Worksheets(1));
    ASSERT_EQ(result->SheetsCount(), 2);
    auto copy = result->Worksheets(2);
    EXPECT_EQ(copy->Name(), "현황");
    EXPECT_EQ(result->ActiveSheet(), copy);
    EXPECT_EQ(app->ActiveWorkbook(), result);
    EXPECT_EQ(std::get<double>(copy->Range("B2")->Value()), 5.0);
    EXPECT_EQ(copy->Range("C2")->Formula(), "=B2*2");
    EXPECT_EQ(copy->Range("B2")->InteriorColorIndex(), 37);
    EXPECT_EQ(copy->Columns(2)->ColumnWidth(), 20);
    EXPECT_EQ(copy->Rows(2)->RowHeight(), 30);
    EXPECT_EQ(copy->PageSetup().Orientation(), IPageSetup::Landscape);
    EXPECT_EQ(copy->PageSetup().PaperSize(), 1);
    EXPECT_EQ(app->ActiveWindow().Zoom(), 85);
    const Worksheet& copied = *app->workbookModel(0).sheets[1];
    ASSERT_EQ(copied.merges.size(), 1u);
    EXPECT_EQ(copied.merges[0], (CellRect{4, 1, 5, 3}));
    EXPECT_TRUE(copied.protection.on);
    // The copy's style lives in the result workbook's own table.
    const Cell* cell = copied.cell(2, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(app->workbookModel(0).styles.at(cell->style).fill.foreground, Rgb{0x99CCFF});
}

TEST(WorksheetCopy, LandsRightBehindTheGivenSheetAndTakesAFreeName) {
    auto app = newApp();
    auto book = app->Workbooks().Add();
    auto first = book->Worksheets(1);
    first->Copy(*first);
    first->Copy(*first);
    EXPECT_EQ(book->Worksheets(2)->Name(), "Sheet1 (3)");
    EXPECT_EQ(book->Worksheets(3)->Name(), "Sheet1 (2)");
    EXPECT_EQ(book->ActiveSheet()->Index(), 2);
}

TEST(WorksheetCopy, BetweenInstancesIsRefused) {
    auto one = newApp();
    auto two = newApp();
    auto a = one->Workbooks().Add()->Worksheets(1);
    auto b = two->Workbooks().Add()->Worksheets(1);
    EXPECT_THROW(a->Copy(*b), AutomationError);
}

TEST(Workbooks, SaveAsWritesAFileAndOpenReadsItOrReturnsTheOpenOne) {
    TempFolder folder;
    auto app = newApp();
    auto book = app->Workbooks().Add();
    book->Worksheets(1)->Range("A1")->SetValue(std::string("합계"));
    book->Worksheets(1)->Range("B1")->SetValue(3.0);
    book->Worksheets(1)->Range("B2")->SetFormula("=B1*2");
    EXPECT_FALSE(book->Saved());
    std::string path = folder.file("결과.xls"); // any extension: the content is .xlsx
    book->SaveAs(path);
    EXPECT_TRUE(book->Saved());
    EXPECT_EQ(std::filesystem::path(book->FullName()), std::filesystem::path(path));
    EXPECT_EQ(app->workbookPath(0), book->FullName());
    EXPECT_EQ(app->Workbooks().Open(path), book);
    // A second workbook of the instance may not take over the same file.
    EXPECT_THROW(app->Workbooks().Add()->SaveAs(path), AutomationError);

    auto reader = newApp();
    auto opened = reader->Workbooks().Open(path);
    auto sheet = opened->Worksheets(1);
    EXPECT_EQ(std::get<std::string>(sheet->Range("A1")->Value()), "합계");
    EXPECT_EQ(sheet->Range("B2")->Formula(), "=B1*2");
    EXPECT_EQ(std::get<double>(sheet->Range("B2")->Value()), 6.0);
    EXPECT_TRUE(opened->Saved());
    EXPECT_THROW(reader->Workbooks().Open(folder.file("missing.xlsx")), AutomationError);
}

TEST(Workbooks, QuitDiscardsWithoutWriting) {
    TempFolder folder;
    auto app = newApp();
    auto book = app->Workbooks().Add();
    std::string path = folder.file("kept.xlsx");
    book->SaveAs(path);
    book->Worksheets(1)->Range("A1")->SetValue(9.0);
    app->Quit();
    auto reader = newApp();
    auto reopened = reader->Workbooks().Open(path);
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(reopened->Worksheets(1)->Range("A1")->Value()));
}

TEST(FaultInjection, ANamedMemberThrowsAtItsNthCallOnly) {
    auto app = newApp();
    auto plan = std::make_shared<FaultPlan>();
    plan->failAt("Workbooks.Add", 2);
    plan->failAt("SetOrientation", 1);
    app->setFaultPlan(plan);
    auto book = app->Workbooks().Add();
    EXPECT_THROW(app->Workbooks().Add(), AutomationError);
    app->Workbooks().Add();
    auto& page = book->Worksheets(1)->PageSetup();
    EXPECT_THROW(page.SetOrientation(2), AutomationError);
    page.SetOrientation(2);
    EXPECT_EQ(plan->calls("Workbooks.Add"), 3);
    EXPECT_EQ(plan->calls("PageSetup.SetOrientation"), 2);
}

TEST(FaultInjection, TheFactoryCountsOverAllItsInstancesAndCanRefuseCreation) {
    testing_support::EmbeddedFactory factory;
    factory.failCreationAt(2);
    factory.failMember("Paste", 2);
    auto create = factory.factory();
    auto one = create();
    EXPECT_THROW(create(), AutomationError);
    auto three = create();
    EXPECT_EQ(factory.created().size(), 2u);

    one->Workbooks().Add()->Worksheets(1)->Range("A1")->Copy();
    auto target = three->Workbooks().Add()->Worksheets(1);
    target->Paste();
    EXPECT_THROW(target->Paste(), AutomationError);
    target->Paste();
    try {
        factory.failMember("Workbook.SaveAs", 1);
        three->ActiveWorkbook()->SaveAs("/nonexistent/x.xlsx");
        FAIL();
    } catch (const AutomationError& error) {
        EXPECT_NE(std::string(error.what()).find("Workbook.SaveAs"), std::string::npos);
    }
}

TEST(PrintOut, WithoutAPrinterThrowsAndWithOneReachesIt) {
    struct CountingPrinter : Printer {
        int printed = 0;
        void print(const Workbook&, const Worksheet& sheet) override {
            ++printed;
            EXPECT_EQ(sheet.name, "Sheet1");
        }
    };
    auto app = newApp();
    auto sheet = app->Workbooks().Add()->Worksheets(1);
    setEmbeddedEnvironment({});
    EXPECT_THROW(sheet->PrintOut(), AutomationError);
    auto printer = std::make_shared<CountingPrinter>();
    setEmbeddedEnvironment({nullptr, printer});
    sheet->PrintOut();
    EXPECT_EQ(printer->printed, 1);
    setEmbeddedEnvironment({});
}

TEST(Observer, HearsVisibilityContentAndQuit) {
    struct Recorder : ApplicationObserver {
        int visible = 0, content = 0, quit = 0;
        void visibleChanged(EmbeddedApplication&, bool) override { ++visible; }
        void contentChanged(EmbeddedApplication&) override { ++content; }
        void quitting(EmbeddedApplication& app) override {
            ++quit;
            EXPECT_EQ(app.workbookCount(), 1); // still readable while quitting
        }
    };
    auto recorder = std::make_shared<Recorder>();
    setEmbeddedEnvironment({recorder, nullptr});
    auto app = newApp();
    app->SetVisible(true);
    app->Workbooks().Add()->Worksheets(1)->Range("A1")->SetValue(1.0);
    app->Quit();
    setEmbeddedEnvironment({});
    EXPECT_EQ(recorder->visible, 1);
    EXPECT_GE(recorder->content, 2);
    EXPECT_EQ(recorder->quit, 1);
}
