// The sheet check button on the real window (offscreen), with scripted dialogs and real
// workbooks in a temporary data folder.
#include "app/mainform.h"
#include "engine/method_ce_messages.h"
#include "support/altered_forms.h"
#include "support/method_ce_workbooks.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

namespace text = engine::sheet_check_text;
using testing_support::DataFolder;
using testsupport::ScriptedDialogs;

class MainformCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        folder.write("가.xlsx", {{"현황", {}}});
        folder.write("나.xlsx", {{"다른시트", {}}});
        folder.write("다.xlsx", {{"현황", {}}});
        form = std::make_unique<Tf_mainform>(dialogs);
        form->currentLogFile = folder.file("project.log");
        form->e_datafolder->setText(folder.path());
        form->e_sheet->setText(QStringLiteral("현황"));
        for (const char* entry : {"가.xlsx", "나.xlsx", "다.xlsx"})
            form->ListBox1->addItem(QString::fromUtf8(entry));
    }

    QStringList listEntries() const {
        QStringList entries;
        for (int row = 0; row < form->ListBox1->count(); ++row)
            entries << form->ListBox1->item(row)->text();
        return entries;
    }
    // The memo's lines without their time stamps.
    QStringList memoTexts() const {
        QStringList texts;
        for (const QString& line : form->memo1->toPlainText().split(u'\n', Qt::SkipEmptyParts))
            texts << line.mid(20);
        return texts;
    }

    DataFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<Tf_mainform> form;
};

TEST_F(MainformCheck, TickedOptionDropsTheFailingWorkbookFromTheList) {
    form->CheckBox2->setChecked(true);
    dialogs.answerConfirm(true);
    form->SpeedButton17->click();

    EXPECT_EQ(listEntries(), (QStringList{"가.xlsx", "다.xlsx"}));
    EXPECT_EQ(form->Panel10->text(), QStringLiteral("취합할 파일(2)"));
    EXPECT_EQ(memoTexts(), (QStringList{text::kStartLine, text::kChecking,
                                        "나.xlsx파일에 [현황] 이름의 시트가 없습니다!",
                                        "1" + text::kErrorCount, text::kEndLine}));
    EXPECT_EQ(form->Gauge1->value(), 100);
    EXPECT_EQ(form->Label13->text(), QStringLiteral("3/3"));
    EXPECT_TRUE(form->SpeedButton17->isEnabled());
}

TEST_F(MainformCheck, UntickedOptionLeavesTheListAndNoSelection) {
    form->CheckBox2->setChecked(false);
    dialogs.answerConfirm(true);
    form->SpeedButton17->click();

    EXPECT_EQ(listEntries().size(), 3);
    EXPECT_TRUE(form->ListBox1->selectedItems().isEmpty());
}

TEST_F(MainformCheck, EmptyListOnlyShowsTheMessage) {
    form->ListBox1->clear();
    form->SpeedButton17->click();
    EXPECT_EQ(dialogs.texts(), QStringList{text::kNoFiles});
    EXPECT_TRUE(memoTexts().isEmpty());
}

// The form check option beside auto-exclude: a window's choice is the next window's.
TEST(MainformFormCheckOption, IsSavedWithTheWindowAndRestoredByTheNext) {
    ScriptedDialogs dialogs;
    for (const bool wanted : {true, false}) {
        {
            Tf_mainform form(dialogs);
            form.CheckBox3->setChecked(wanted);
        }
        Tf_mainform next(dialogs);
        EXPECT_EQ(next.CheckBox3->isChecked(), wanted);
        EXPECT_FALSE(next.CheckBox3->toolTip().isEmpty());
    }
}

TEST_F(MainformCheck, FormCheckCountsDifferingWorkbooksAndAutoExcludeDropsThem) {
    using namespace testing_support;
    const auto write = [this](const QString& name, const sheet::Workbook& book) {
        writeForm(book, folder.file(name));
    };
    write("학교01.xlsx", *reportForm("가초등학교", 1));
    write("학교02.xlsx", *reportForm("나초등학교", 2));
    auto inserted = reportForm("다초등학교", 3);
    insertRowBelow(firstSheet(*inserted), 9);
    write("학교03.xlsx", *inserted);
    auto retyped = reportForm("라초등학교", 4);
    setText(firstSheet(*retyped), 5, 3, "학년별 학생수");
    write("학교04.xlsx", *retyped);
    form->ListBox1->clear();
    for (const char* entry : {"학교01.xlsx", "학교02.xlsx", "학교03.xlsx", "학교04.xlsx"})
        form->ListBox1->addItem(QString::fromUtf8(entry));
    form->rg_sheet->setItemIndex(0);
    form->e_title->setText(QStringLiteral("A1:P6"));
    form->e_range->setText(QStringLiteral("A7:P16"));
    form->CheckBox2->setChecked(true);
    form->CheckBox3->setChecked(true);
    dialogs.answerConfirm(true);
    form->SpeedButton17->click();

    const QStringList texts = memoTexts();
    EXPECT_TRUE(texts.contains("학교03.xlsx 파일: 9행 아래에 1행이 삽입되었습니다"));
    EXPECT_TRUE(texts.contains("2" + text::kErrorCount));
    EXPECT_EQ(listEntries(), (QStringList{"학교01.xlsx", "학교02.xlsx"}));
    EXPECT_EQ(form->Panel10->text(), QStringLiteral("취합할 파일(2)"));
}

} // namespace
