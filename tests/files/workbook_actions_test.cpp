#include "files/files_messages.h"
#include "files/workbook_actions.h"
#include "files/workbook_folder.h"
#include "sheet/embedded_messages.h"
#include "support/embedded_factory.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace files;

namespace {

// Records which workbook's sheet reached the printer, by the text of its cell A1.
struct RecordingPrinter : sheet::Printer {
    std::vector<std::string> printed;
    void print(const sheet::Workbook&, const sheet::Worksheet& worksheet) override {
        const sheet::Cell* a1 = worksheet.cell(1, 1);
        printed.push_back(worksheet.name + ":" + (a1 ? a1->value.text.str() : std::string()));
    }
};

class RecordingHost : public WorkbookHost {
public:
    void message(const QString& text) override { messages.append(text); }
    void log(const QString& text) override { logs.append(text); }
    sheet::ApplicationPtr createApplication() override { return factory.create(); }
    engine::SpreadsheetApp& spreadsheetApp() override { return apps; }

    testing_support::EmbeddedFactory factory;
    engine::SpreadsheetApp apps;
    QStringList messages;
    QStringList logs;
};

class WorkbookActions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        printer_ = std::make_shared<RecordingPrinter>();
        sheet::setEmbeddedEnvironment({nullptr, printer_});
    }
    void TearDown() override { sheet::setEmbeddedEnvironment({}); }

    // A workbook whose one sheet is `sheetName`, with its own name in A1.
    PrintEntry makeWorkbook(const QString& name, const QString& sheetName) {
        auto app = sheet::createEmbeddedApplication();
        sheet::WorksheetPtr worksheet = app->Workbooks().Add()->Worksheets(1);
        worksheet->SetName(sheetName.toStdString());
        worksheet->Range("A1")->SetValue(name.toStdString());
        const QString path = fullPathOf(folder_.path(), name);
        app->ActiveWorkbook()->SaveAs(path.toStdString());
        app->Quit();
        return {name, path};
    }
    PrintEntry missingWorkbook(const QString& name) {
        return {name, fullPathOf(folder_.path(), name)};
    }

    bool allInstancesQuit() const {
        for (const auto& app : host_.factory.created()) {
            if (!app->hasQuit())
                return false;
        }
        return true;
    }

    QTemporaryDir folder_;
    std::shared_ptr<RecordingPrinter> printer_;
    RecordingHost host_;
};

const QString kSheet = QStringLiteral("자료");

} // namespace

TEST_F(WorkbookActions, FolderPrintSkipsTheWorkbookWithoutTheSheet) {
    const QList<PrintEntry> entries{makeWorkbook(QStringLiteral("a.xlsx"), kSheet),
                                    makeWorkbook(QStringLiteral("b.xlsx"), QStringLiteral("기타")),
                                    makeWorkbook(QStringLiteral("c.xlsx"), kSheet)};

    EXPECT_EQ(printFolderSelection(host_, entries, kSheet), 2);

    EXPECT_EQ(printer_->printed, (std::vector<std::string>{"자료:a.xlsx", "자료:c.xlsx"}));
    EXPECT_EQ(host_.messages, QStringList{QStringLiteral("b.xlsx에는 [자료] 시트가 없습니다")});
    EXPECT_EQ(host_.logs, QStringList({entries[0].path + QStringLiteral(" 출력완료!"),
                                       entries[2].path + QStringLiteral(" 출력완료!")}));
    EXPECT_EQ(host_.factory.creations(), 3);
    EXPECT_TRUE(allInstancesQuit());
    EXPECT_EQ(host_.apps.ResultApp, nullptr);
}

TEST_F(WorkbookActions, FolderPrintStopsAtAWorkbookThatCannotBeOpened) {
    const QList<PrintEntry> entries{makeWorkbook(QStringLiteral("a.xlsx"), kSheet),
                                    missingWorkbook(QStringLiteral("gone.xlsx")),
                                    makeWorkbook(QStringLiteral("c.xlsx"), kSheet)};

    EXPECT_EQ(printFolderSelection(host_, entries, kSheet), 1);

    EXPECT_EQ(printer_->printed, std::vector<std::string>{"자료:a.xlsx"});
    EXPECT_EQ(host_.messages, QStringList{entries[1].path + msg::kCannotOpen});
    EXPECT_EQ(host_.factory.creations(), 2);
    EXPECT_TRUE(allInstancesQuit());
    EXPECT_EQ(host_.apps.ResultApp, nullptr);
}

TEST_F(WorkbookActions, ListPrintReportsMissingFilesAndGoesOn) {
    const QList<PrintEntry> entries{missingWorkbook(QStringLiteral("gone.xlsx")),
                                    makeWorkbook(QStringLiteral("b.xlsx"), QStringLiteral("기타")),
                                    makeWorkbook(QStringLiteral("c.xlsx"), kSheet)};

    EXPECT_EQ(printListSelection(host_, entries, kSheet), 1);

    EXPECT_EQ(printer_->printed, std::vector<std::string>{"자료:c.xlsx"});
    EXPECT_EQ(
        host_.messages,
        QStringList({QStringLiteral("gone.xlsx에는 [자료] 시트가 없거나 파일이 존재하지 않습니다"),
                     QStringLiteral("b.xlsx에는 [자료] 시트가 없거나 파일이 존재하지 않습니다")}));
    EXPECT_TRUE(host_.logs.isEmpty());
    EXPECT_TRUE(allInstancesQuit());
}

// Without a printer the user is told so, once: the next workbook would fail the same way.
TEST_F(WorkbookActions, NoPrinterIsReportedAsSuchAndEndsThePrinting) {
    sheet::setEmbeddedEnvironment({});
    const QList<PrintEntry> entries{makeWorkbook(QStringLiteral("a.xlsx"), kSheet),
                                    makeWorkbook(QStringLiteral("b.xlsx"), kSheet)};
    const QString noPrinter = QString::fromUtf8(sheet::messages::kNoPrinter);
    EXPECT_EQ(printFolderSelection(host_, entries, kSheet), 0);
    EXPECT_EQ(host_.messages, QStringList{msg::kPrintFailed.arg("a.xlsx", kSheet, noPrinter)});
    EXPECT_TRUE(host_.logs.isEmpty());
    EXPECT_TRUE(allInstancesQuit());
    EXPECT_EQ(host_.factory.creations(), 1);

    host_.messages.clear();
    EXPECT_EQ(printListSelection(host_, entries, kSheet), 0);
    EXPECT_EQ(host_.messages, QStringList{msg::kPrintFailed.arg("a.xlsx", kSheet, noPrinter)});
    EXPECT_TRUE(allInstancesQuit());
}

TEST_F(WorkbookActions, ExcelexecuteShowsTheWorkbookInANewInstance) {
    const PrintEntry first = makeWorkbook(QStringLiteral("a.xlsx"), kSheet);
    Excelexecute(host_, first.path);
    ASSERT_NE(host_.apps.ResultApp, nullptr);
    EXPECT_TRUE(host_.apps.ResultApp->Visible());
    EXPECT_TRUE(host_.apps.ResultApp->DisplayAlerts());
    EXPECT_EQ(host_.apps.ResultApp->Workbooks().Count(), 1);
    EXPECT_TRUE(host_.messages.isEmpty());

    // The next viewing takes the slot; the first instance stays with the user.
    Excelexecute(host_, first.path);
    EXPECT_EQ(host_.factory.creations(), 2);
    EXPECT_FALSE(host_.factory.created()[0]->hasQuit());
    EXPECT_EQ(host_.apps.ResultApp, host_.factory.created()[1]);
}

TEST_F(WorkbookActions, ExcelexecuteFailuresLeaveNoInstanceBehind) {
    Excelexecute(host_, QStringLiteral("  "));
    EXPECT_EQ(host_.messages, QStringList{msg::kOpenNothing});
    EXPECT_EQ(host_.factory.creations(), 0);

    const PrintEntry gone = missingWorkbook(QStringLiteral("gone.xlsx"));
    Excelexecute(host_, gone.path);
    EXPECT_EQ(host_.messages.last(), gone.path + QStringLiteral("파일을 열 수 없습니다!"));
    EXPECT_EQ(host_.apps.ResultApp, nullptr);
    EXPECT_TRUE(allInstancesQuit());

    host_.factory.failCreationAt(2);
    const PrintEntry good = makeWorkbook(QStringLiteral("a.xlsx"), kSheet);
    Excelexecute(host_, good.path);
    EXPECT_EQ(host_.messages.last(), good.path + msg::kCannotOpen);
    EXPECT_EQ(host_.apps.ResultApp, nullptr);
}
