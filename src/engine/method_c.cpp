#include "engine/method_c.h"

#include "engine/cell_reference.h"
#include "engine/method_ce_messages.h"
#include "engine/result_folder.h"
#include "engine/run_frame.h"
#include "engine/sheet_prefix.h"
#include "engine/workbook_entry.h"

#include <optional>

namespace engine {

namespace text = method_c_text;

namespace {

QString reasonOf(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

// One run of method C. It drives a single instance: the sources are opened in the same instance
// as the result, so their sheets can be copied whole. The instance goes into the ResultApp slot,
// which the save step saves from and the window quits at program end.
class MethodC {
public:
    MethodC(RunHost& host, QStringList entries, std::optional<SumStart> sumStart)
        : frame_(host), host_(host), entries_(std::move(entries)), sumStart_(sumStart),
          folder_(host.DataFolder()), sheetName_(host.SheetName()) {}

    void run() {
        frame_.logStart();
        if (setUp())
            copyWorkbooks();
        finish();
    }

private:
    bool setUp();
    bool startInstance();
    bool copySummarySheet();
    bool showInstance();
    void copyWorkbooks();
    bool copyWorkbook(const QString& entry);
    void copySheet(sheet::IWorksheet& source, const QString& entry);
    void ensureNameIsFree(const QString& name, const QString& entry);
    void finish();
    void writeSums();
    void deleteOwnSheet();
    void abandonInstance();

    sheet::IApplication& app() { return *frame_.apps().ResultApp; }
    std::string pathOf(const QString& entry) const {
        return workbookPath(folder_, entry).toStdString();
    }
    sheet::WorksheetPtr lastResultSheet() { return result_->Worksheets(result_->SheetsCount()); }

    RunFrame frame_;
    RunHost& host_;
    const QStringList entries_;
    const std::optional<SumStart> sumStart_;
    const QString folder_;
    const QString sheetName_;
    sheet::WorkbookPtr result_;
    bool started_ = false;
};

bool MethodC::setUp() {
    if (!startInstance())
        return false;
    if (sumStart_ && !copySummarySheet())
        return false;
    return showInstance();
}

bool MethodC::startInstance() {
    try {
        sheet::ApplicationPtr app = host_.CreateApplication();
        SpreadsheetApp& held = frame_.apps();
        held.ResultApp = app;
        held.ResultBook.reset();
        held.ResultSheet.reset();
        started_ = true;
        app->SetDisplayAlerts(false);
        result_ = app->Workbooks().Add();
        held.ResultBook = result_;
        announceWorkbooks(*app, entries_, [this](const QString& entry) { return pathOf(entry); });
        return true;
    } catch (const std::exception&) {
        frame_.fail(text::kNoSpreadsheet);
        return false;
    }
}

// The summary sheet is a copy of the first workbook's sheet, right behind the new workbook's own
// sheet. The first workbook is closed again here and reopened by the loop.
bool MethodC::copySummarySheet() {
    try {
        sheet::WorkbookPtr first = app().Workbooks().Open(pathOf(entries_.first()));
        first->Worksheets(sheetName_.toStdString())->Copy(*lastResultSheet());
        result_->Worksheets(2)->SetName(
            summarySheetName(host_.ExistingSheet(), sheetName_).toStdString());
        first->Close();
        return true;
    } catch (const std::exception& error) {
        frame_.fail(text::kSummaryFailed + reasonOf(error));
        abandonInstance();
        return false;
    }
}

bool MethodC::showInstance() {
    try {
        app().SetVisible(host_.ShowProcess());
        return true;
    } catch (const std::exception& error) {
        frame_.fail(text::kSetupFailed + reasonOf(error));
        try {
            app().SetCutCopyMode(false);
        } catch (const std::exception&) {
        }
        abandonInstance();
        return false;
    }
}

void MethodC::copyWorkbooks() {
    const int count = static_cast<int>(entries_.size());
    for (int i = 0; i < count; ++i) {
        if (frame_.stopRequested() || !copyWorkbook(entries_[i]))
            return;
        frame_.showProgress(i + 1, count);
    }
}

bool MethodC::copyWorkbook(const QString& entry) {
    try {
        frame_.logFileWorking(entry);
        sheet::WorkbookPtr source;
        sheet::WorksheetPtr sourceSheet;
        try {
            source = app().Workbooks().Open(pathOf(entry));
            sourceSheet = source->Worksheets(sheetName_.toStdString());
        } catch (const std::exception& error) {
            frame_.fail(text::kOpenFailed + reasonOf(error));
            abandonInstance();
            return false;
        }
        try {
            copySheet(*sourceSheet, entry);
            source->Close();
        } catch (const std::exception& error) {
            frame_.fail(text::kCopyFailed + reasonOf(error));
            abandonInstance();
            return false;
        }
        return true;
    } catch (const std::exception& error) {
        frame_.fail(text::kOtherFailed + reasonOf(error));
        abandonInstance();
        return false;
    }
}

void MethodC::copySheet(sheet::IWorksheet& source, const QString& entry) {
    source.Select();
    source.Copy(*lastResultSheet());
    sheet::WorksheetPtr copy = result_->ActiveSheet();
    const QString name = entryWithoutExtension(entry);
    ensureNameIsFree(name, entry);
    copy->SetName(name.toStdString());
}

// The component refuses a taken name too, but only this message tells the user which file to
// rename.
void MethodC::ensureNameIsFree(const QString& name, const QString& entry) {
    const int copyIndex = result_->ActiveSheet()->Index();
    for (int i = 1; i <= result_->SheetsCount(); ++i) {
        if (i == copyIndex)
            continue;
        const QString other = QString::fromStdString(result_->Worksheets(i)->Name());
        if (other.compare(name, Qt::CaseInsensitive) == 0)
            throw sheet::AutomationError(text::kDuplicateSheetName.arg(entry, name).toStdString());
    }
}

void MethodC::finish() {
    if (frame_.failed() || frame_.stopRequested()) {
        frame_.log(text::kCancelled);
        abandonInstance();
        frame_.log(text::kEndLine);
        return;
    }
    if (sumStart_)
        writeSums();
    else
        deleteOwnSheet();
    SaveLines lines;
    lines.closing = text::kEndLine;
    frame_.save(host_.ExistingFile(), lines);
}

// A failed sum is reported and the sheets are saved all the same: the data is complete, only
// the summary lacks its formulas.
void MethodC::writeSums() {
    try {
        result_->Worksheets(1)->Delete();
        sheet::WorksheetPtr summary = result_->Worksheets(1);
        summary->Unprotect();
        const QString first = QString::fromStdString(result_->Worksheets(2)->Name());
        const QString last = QString::fromStdString(lastResultSheet()->Name());
        summary->Range(host_.SumRange().trimmed().toStdString())
            ->SetFormula(sumFormula(first, last, *sumStart_).toStdString());
        app().SetVisible(false);
        frame_.log(msg::kDoneSave);
    } catch (const std::exception&) {
        frame_.log(text::kSumFailed);
    }
}

void MethodC::deleteOwnSheet() {
    try {
        result_->Worksheets(1)->Delete();
    } catch (const std::exception&) {
        // The data sheets are all there; an empty first sheet left in front of them loses
        // nothing, so the result is still saved.
    }
}

void MethodC::abandonInstance() {
    if (!started_)
        return;
    result_.reset();
    frame_.quitResult();
    started_ = false;
}

} // namespace

SumStart SumStart::of(const QString& sumRange) {
    const CellPart first = CellPart::read(RangeText::split(sumRange).first);
    return {first.letters, first.row};
}

QString sumFormula(const QString& firstSheet, const QString& lastSheet, const SumStart& start) {
    return QStringLiteral("=SUM(") + sheetSpanPrefix(firstSheet, lastSheet) + start.column +
           QString::number(start.row) + u')';
}

QString summarySheetName(const QString& existingSheet, const QString& sheetName) {
    if (!existingSheet.trimmed().isEmpty())
        return existingSheet.trimmed();
    return sheetName.trimmed() + text::kSummarySuffix;
}

void combination_c(RunHost& host) {
    const QStringList entries = host.ConsolidationList();
    if (entries.isEmpty()) {
        host.Message(msg::kNoFiles);
        return;
    }
    std::optional<SumStart> sumStart;
    const QString sumRange = host.SumRange();
    if (!sumRange.trimmed().isEmpty()) {
        try {
            sumStart = SumStart::of(sumRange);
        } catch (const ConversionError&) {
            host.Message(text::kBadSumRange);
            return;
        }
    }
    MethodC(host, entries, sumStart).run();
}

} // namespace engine
