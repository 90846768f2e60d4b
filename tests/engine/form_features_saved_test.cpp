// Results of forms carrying everything besides cells, saved and read back from disk: what the
// run held in memory is what the file holds.
#include "engine/method_a.h"
#include "engine/method_c.h"
#include "feature_form_runs.h"
#include "sheet/embedded_application.h"
#include "support/feature_form.h"

#include <QFileInfo>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class SavedFeatureForms : public FeatureFormRuns {
protected:
    static void expectSameSheet(const sheet::Worksheet& saved, const sheet::Worksheet& held) {
        SCOPED_TRACE(held.name);
        EXPECT_EQ(saved.pageSetup, held.pageSetup);
        EXPECT_EQ(saved.view, held.view);
        EXPECT_EQ(saved.hiddenRows, held.hiddenRows);
        EXPECT_EQ(saved.hiddenColumns, held.hiddenColumns);
        for (const auto& [row, height] : held.rowHeights)
            EXPECT_DOUBLE_EQ(saved.rowHeight(row), height) << row;
        EXPECT_EQ(saved.conditionalFormats, held.conditionalFormats);
        EXPECT_EQ(saved.dataValidations, held.dataValidations);
        EXPECT_EQ(saved.comments, held.comments);
        EXPECT_EQ(saved.hyperlinks, held.hyperlinks);
        EXPECT_EQ(saved.attachments.size(), held.attachments.size());
        for (const auto& [row, cells] : held.rows())
            for (const auto& [column, cell] : cells) {
                const sheet::Cell* read = saved.cell(row, column);
                ASSERT_NE(read, nullptr) << row << "," << column;
                EXPECT_EQ(read->value, cell.value) << row << "," << column;
                EXPECT_EQ(read->richText != nullptr, cell.richText != nullptr)
                    << row << "," << column;
            }
    }
};

TEST_F(SavedFeatureForms, MethodAResultFileHoldsWhatTheRunBuilt) {
    host.titleRange = QStringLiteral("A1:D2");
    host.dataRange = QStringLiteral("A3:D6");
    engine::combination_a(host);
    auto saved = run_test::readBack(chosen);
    ASSERT_TRUE(saved);
    expectSameSheet(*saved->sheets.front(), *result().sheets.front());
    EXPECT_FALSE(saved->sheets.front()->pageSetup.paperSizeSet);
}

TEST_F(SavedFeatureForms, MethodCResultFileHoldsWhatTheRunBuilt) {
    host.sumRange = QStringLiteral("B3:B6");
    engine::combination_c(host);
    auto saved = run_test::readBack(chosen);
    ASSERT_TRUE(saved);
    const sheet::Workbook& held = result();
    ASSERT_EQ(saved->sheets.size(), held.sheets.size());
    for (size_t i = 0; i < held.sheets.size(); ++i)
        expectSameSheet(*saved->sheets[i], *held.sheets[i]);
    EXPECT_EQ(saved->names, held.names);
}

int pdfPages(const std::string& path) {
    const std::string pdf = test_support::readBytes(path);
    int pages = 0;
    for (size_t at = pdf.find("/Type/Page"); at != std::string::npos;
         at = pdf.find("/Type/Page", at + 1))
        pages += pdf.compare(at, 11, "/Type/Pages") != 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

bool toPdf(const std::string& folder, const std::string& file) {
    const std::string command = "cd '" + folder + "' && soffice -env:UserInstallation=file://" +
                                folder + "/profile --headless --norestore --convert-to pdf '" +
                                file + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

TEST_F(SavedFeatureForms, MethodCResultPrintsTheFormsPagesForEverySheet) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice is not installed";
    host.sumRange = QStringLiteral("B3:B6");
    engine::combination_c(host);
    const std::string data = folder.path().toStdString();
    const std::string results = folder.resultFolder().toStdString();
    ASSERT_TRUE(toPdf(data, "1.xlsx"));
    ASSERT_TRUE(toPdf(results, "결과.xlsx"));
    const int formPages = pdfPages(data + "/1.pdf");
    ASSERT_GT(formPages, 0);
    EXPECT_EQ(pdfPages(results + "/결과.pdf"),
              formPages * static_cast<int>(result().sheets.size()));
}

} // namespace
