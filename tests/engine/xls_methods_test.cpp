// Every method gives the same result from forms saved as .xls as from the same forms saved as
// .xlsx by another program (the office suite, when installed).
#include "engine/method_a.h"
#include "engine/method_b.h"
#include "engine/method_c.h"
#include "engine/method_e.h"
#include "run_fixture.h"
#include "sheet/workbook_io.h"
#include "support/model_comparison.h"
#include "support/office_conversion.h"

#include <QDir>
#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::RecordingRunHost;

constexpr int kForms = 3;

// The run-test form with a total column of formulas, as forms carry them.
std::unique_ptr<sheet::Workbook> formWithTotals(int number) {
    run_test::FormLayout layout;
    auto book = run_test::makeForm(layout, number);
    sheet::Worksheet& sheet = *book->sheets.back();
    for (long row = layout.dataFirstRow; row <= layout.dataLastRow; ++row) {
        double total = 0;
        for (long column = 2; column <= 15; ++column)
            total += run_test::numberAt(sheet, row, column);
        sheet::Cell& cell = sheet.cellAt(row, 16);
        cell.value = sheet::CellValue::Number(total);
        cell.formula = "SUM(B" + std::to_string(row) + ":O" + std::to_string(row) + ")";
    }
    return book;
}

class XlsMethods : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!test_support::officeSuiteInstalled())
            return;
        staging_ = new QTemporaryDir;
        const fs::path root = staging_->path().toStdString();
        std::vector<fs::path> sources;
        for (int n = 1; n <= kForms; ++n) {
            sources.push_back(root / "made" / (std::to_string(n) + ".xlsx"));
            fs::create_directories(sources.back().parent_path());
            sheet::writeWorkbook(*formWithTotals(n), sources.back().string());
        }
        converted_ = test_support::convertAllWithOffice(sources, "xls", root / "xls") &&
                     test_support::convertAllWithOffice(sources, "xlsx", root / "xlsx");
    }
    static void TearDownTestSuite() {
        delete staging_;
        staging_ = nullptr;
    }

    void SetUp() override {
        if (!test_support::officeSuiteInstalled())
            GTEST_SKIP() << "soffice is not installed";
        ASSERT_TRUE(converted_) << "the office suite did not convert the forms";
    }

    // Runs `method` over the forms saved in `format` and reads the saved result back.
    std::unique_ptr<sheet::Workbook> run(void (*method)(engine::RunHost&), const QString& format,
                                         void (*prepare)(RecordingRunHost&)) {
        auto folder = std::make_unique<run_test::DataFolder>();
        RecordingRunHost host;
        folder->prepare(host);
        for (int n = 1; n <= kForms; ++n) {
            const QString name = QString::number(n) + u'.' + format;
            QFile::copy(staging_->filePath(format + u'/' + name), folder->file(name));
            host.consolidationList.push_back(name);
        }
        const QString chosen = folder->resultFolder() + QStringLiteral("/결과.xlsx");
        host.saveAnswers.push_back(chosen);
        prepare(host);
        method(host);
        EXPECT_TRUE(QFileInfo::exists(chosen)) << host.logTexts.join('\n').toStdString();
        folders_.push_back(std::move(folder));
        return QFileInfo::exists(chosen) ? run_test::readBack(chosen) : nullptr;
    }

    void expectSameResults(void (*method)(engine::RunHost&), void (*prepare)(RecordingRunHost&)) {
        const auto fromXlsx = run(method, QStringLiteral("xlsx"), prepare);
        const auto fromXls = run(method, QStringLiteral("xls"), prepare);
        ASSERT_TRUE(fromXlsx && fromXls);
        for (const std::string& line : test_support::modelDifferences(*fromXlsx, *fromXls))
            ADD_FAILURE() << line;
        EXPECT_FALSE(fromXls->sheets.front()->rows().empty());
    }

    static inline QTemporaryDir* staging_ = nullptr;
    static inline bool converted_ = false;
    std::vector<std::unique_ptr<run_test::DataFolder>> folders_;
};

TEST_F(XlsMethods, MethodAGivesTheSameResult) {
    expectSameResults(engine::combination_a, [](RecordingRunHost& host) {
        host.titleRange = QStringLiteral("A1:P6");
        host.dataRange = QStringLiteral("A7:P10");
        host.sumRange = QStringLiteral("B7:P10");
    });
}

TEST_F(XlsMethods, MethodBGivesTheSameResult) {
    expectSameResults(engine::combination_b, [](RecordingRunHost& host) {
        host.titleRange = QStringLiteral("A1:P6");
        host.dataRange = QStringLiteral("A7:ALL");
    });
}

TEST_F(XlsMethods, MethodCGivesTheSameResultFormulasIncluded) {
    expectSameResults(engine::combination_c,
                      [](RecordingRunHost& host) { host.sumRange = QStringLiteral("B7:P10"); });
}

TEST_F(XlsMethods, MethodEGivesTheSameResult) {
    expectSameResults(engine::combination_e, [](RecordingRunHost& host) {
        host.dataRange = QStringLiteral("A7, B7:F10, P10");
    });
}

} // namespace
