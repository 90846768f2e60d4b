// Runs with reading ahead against the same runs reading each workbook when it is opened: the
// log, the progress, the messages and the result must not tell them apart.
#include "engine/method_a.h"
#include "engine/method_b.h"
#include "engine/method_c.h"
#include "engine/method_e.h"
#include "run_fixture.h"
#include "support/model_comparison.h"

#include <QFile>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using testing_support::RecordingRunHost;

enum class Method { A, B, C, E };

struct RunRecord {
    QStringList log;
    std::vector<std::pair<int, QString>> progress;
    QStringList messages;
    int opensCalled = 0;
    int opensReadAhead = 0;
    int instancesLeft = 0;
    std::unique_ptr<sheet::Workbook> result; // null when nothing was saved
};

// A host that can act when a progress step is shown, as a user might between two workbooks.
class ScriptedHost : public RecordingRunHost {
public:
    std::function<void(std::size_t step)> onProgress;

    void Progress(int percent, const QString& label) override {
        RecordingRunHost::Progress(percent, label);
        if (onProgress)
            onProgress(progress.size());
    }
};

using Adjust = std::function<void(ScriptedHost&)>;

class ReadAheadRunTest : public ::testing::TestWithParam<Method> {
protected:
    void SetUp() override {
        for (int n = 1; n <= 5; ++n)
            folder.writeForm(entry(n), layout(), n);
        list = {entry(1), entry(2), entry(3), entry(4), entry(5)};
    }

    static QString entry(int n) { return QString::number(n) + QStringLiteral(".xlsx"); }

    static run_test::FormLayout layout() {
        run_test::FormLayout form;
        form.dataLastRow = 12;
        return form;
    }

    void configure(RecordingRunHost& host) const {
        folder.prepare(host);
        host.consolidationList = list;
        host.saveAnswers.push_back(resultPath());
        switch (GetParam()) {
        case Method::A:
            host.titleRange = QStringLiteral("A1:P6");
            host.dataRange = QStringLiteral("A7:P12");
            break;
        case Method::B:
            host.titleRange = QStringLiteral("A1:P6");
            host.dataRange = QStringLiteral("A7:ALL");
            break;
        case Method::C:
            host.sumRange = QStringLiteral("C7:P12");
            break;
        case Method::E:
            host.dataRange = QStringLiteral("A7, B8:C9");
            break;
        }
    }

    static void runMethod(RecordingRunHost& host) {
        switch (GetParam()) {
        case Method::A:
            engine::combination_a(host);
            return;
        case Method::B:
            engine::combination_b(host);
            return;
        case Method::C:
            engine::combination_c(host);
            return;
        case Method::E:
            engine::combination_e(host);
            return;
        }
    }

    QString resultPath() const { return folder.resultFolder() + QStringLiteral("/결과.xlsx"); }

    RunRecord run(bool readAhead, const Adjust& adjust = {}) {
        QFile::remove(resultPath());
        ScriptedHost host;
        host.readAhead = readAhead;
        host.faults = std::make_shared<sheet::FaultPlan>();
        configure(host);
        if (adjust)
            adjust(host);
        runMethod(host);
        RunRecord record;
        record.log = host.logTexts;
        record.progress = host.progress;
        record.messages = host.messages;
        record.opensCalled = host.faults->calls("Workbooks.Open");
        for (const auto& app : host.created)
            record.opensReadAhead += app->workbooksOpenedReadAhead();
        record.instancesLeft = host.runningInstances();
        if (QFile::exists(resultPath()))
            record.result = run_test::readBack(resultPath());
        return record;
    }

    // Runs with and without reading ahead; expects them alike and gives the one reading ahead.
    RunRecord expectAlike(const Adjust& adjust = {}) {
        RunRecord plain = run(false, adjust);
        RunRecord ahead = run(true, adjust);
        EXPECT_EQ(ahead.log, plain.log);
        EXPECT_EQ(ahead.progress, plain.progress);
        EXPECT_EQ(ahead.messages, plain.messages);
        EXPECT_EQ(ahead.opensCalled, plain.opensCalled);
        EXPECT_EQ(ahead.instancesLeft, plain.instancesLeft);
        EXPECT_EQ(plain.opensReadAhead, 0);
        EXPECT_EQ(ahead.result == nullptr, plain.result == nullptr);
        if (ahead.result && plain.result) {
            const auto differences = test_support::modelDifferences(*plain.result, *ahead.result);
            EXPECT_TRUE(differences.empty()) << differences.front();
        }
        return ahead;
    }

    run_test::DataFolder folder;
    QStringList list;
};

TEST_P(ReadAheadRunTest, SoundListGivesTheSameRunAndResult) {
    // Pasting these small forms is quicker than reading them; a pause after each gives the
    // reading thread its turn, as a real paste does.
    RunRecord ahead = expectAlike([](ScriptedHost& host) {
        host.onProgress = [](std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        };
    });
    ASSERT_NE(ahead.result, nullptr) << ahead.log.join('\n').toStdString();
    EXPECT_GE(ahead.opensReadAhead, 2);
}

TEST_P(ReadAheadRunTest, MissingThirdWorkbookFailsAtItsOwnTurn) {
    QFile::remove(folder.file(entry(3)));
    RunRecord ahead = expectAlike();
    EXPECT_EQ(ahead.result, nullptr);
    EXPECT_EQ(ahead.progress.size(), 2u);
    EXPECT_TRUE(ahead.log.join('\n').contains(entry(3)));
}

TEST_P(ReadAheadRunTest, DamagedThirdWorkbookFailsAtItsOwnTurn) {
    QFile damaged(folder.file(entry(3)));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("PK\x03\x04 not a workbook");
    damaged.close();
    RunRecord ahead = expectAlike();
    EXPECT_EQ(ahead.result, nullptr);
    EXPECT_EQ(ahead.progress.size(), 2u);
}

TEST_P(ReadAheadRunTest, InjectedOpenFailureFallsOnTheSameCall) {
    RunRecord ahead = expectAlike([](ScriptedHost& host) { host.faults->failAt("Open", 3); });
    EXPECT_EQ(ahead.result, nullptr);
}

TEST_P(ReadAheadRunTest, StopEndsTheRunAndItsReadingAlike) {
    RunRecord ahead = expectAlike([](ScriptedHost& host) { host.stopAtProgress = 2; });
    EXPECT_EQ(ahead.result, nullptr);
    EXPECT_EQ(ahead.instancesLeft, 0);
}

TEST_P(ReadAheadRunTest, WorkbookReplacedAfterReadingAheadIsReadAgain) {
    // When the second workbook is done the fourth has been read ahead; it is then replaced.
    RunRecord ahead = expectAlike([this](ScriptedHost& host) {
        host.onProgress = [this](std::size_t step) {
            if (step == 2)
                folder.writeForm(entry(4), layout(), 40);
            if (step == 5)
                folder.writeForm(entry(4), layout(), 4);
        };
    });
    ASSERT_NE(ahead.result, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Methods, ReadAheadRunTest,
                         ::testing::Values(Method::A, Method::B, Method::C, Method::E),
                         [](const ::testing::TestParamInfo<Method>& info) {
                             return std::string(1, "ABCE"[static_cast<int>(info.param)]);
                         });

} // namespace
