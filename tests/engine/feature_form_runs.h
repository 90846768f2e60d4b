// A data folder of three forms carrying everything besides cells (built part by part), for
// runs whose result is checked in memory or read back from the saved file.
#pragma once

#include "run_fixture.h"
#include "sheet/embedded_application.h"
#include "support/feature_form.h"
#include "support/recording_run_host.h"
#include "support/workbook_parts.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <stdexcept>

class FeatureFormRuns : public ::testing::Test {
protected:
    void SetUp() override {
        folder.prepare(host);
        for (int n = 1; n <= 3; ++n) {
            test_support::FeatureFormOptions options;
            options.number = n;
            options.rate = n == 2 ? 0.7 : 0.5;
            const QString name = QString::number(n) + QStringLiteral(".xlsx");
            test_support::writeZip(folder.file(name).toStdString(),
                                   test_support::featureForm(options));
            host.consolidationList.push_back(name);
        }
        chosen = folder.resultFolder() + QStringLiteral("/결과.xlsx");
        host.saveAnswers.push_back(chosen);
    }

    // The result workbook as the run left it open after saving.
    const sheet::Workbook& result() {
        EXPECT_TRUE(QFileInfo::exists(chosen)) << host.logTexts.join('\n').toStdString();
        auto app = std::dynamic_pointer_cast<sheet::EmbeddedApplication>(host.Slots().ResultApp);
        if (!app || app->workbookCount() == 0)
            throw std::runtime_error("no result workbook");
        return app->workbookModel(0);
    }

    run_test::DataFolder folder;
    testing_support::RecordingRunHost host;
    QString chosen;
};
