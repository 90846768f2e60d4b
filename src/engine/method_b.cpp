#include "engine/method_b.h"

#include "engine/cell_reference.h"
#include "engine/result_folder.h"
#include "engine/run_frame.h"
#include "engine/sheet_extent.h"

#include <QDir>
#include <algorithm>
#include <optional>

namespace engine {

namespace {

// The values of one run, read from the project before anything starts.
struct Plan {
    QString titleRange;
    int titleEndRow = 0;
    int titleEndColumn = 0; // ColumnIndexOf the title's last letters
    int dataStartRow = 0;
    QString dataStartLetters;
    long destRow = 0;
};

// Method step (a). Only the part before the data range's first colon is read ("A7:ALL").
std::optional<Plan> readPlan(RunHost& host) {
    Plan plan;
    plan.titleRange = host.TitleRange();
    int titleStartRow = 0;
    QString titleEndLetters;
    try {
        const RangeText title = RangeText::split(plan.titleRange);
        titleStartRow = rowNumberOf(title.first);
        const CellPart last = CellPart::read(title.last);
        plan.titleEndRow = last.row;
        titleEndLetters = last.letters;
    } catch (const ConversionError&) {
        host.Message(msg::kBadTitleRange);
        return std::nullopt;
    }
    try {
        const CellPart start = CellPart::read(RangeText::split(host.DataRange()).first);
        plan.dataStartRow = start.row;
        plan.dataStartLetters = start.letters;
    } catch (const ConversionError&) {
        host.Message(msg::kBadDataRange);
        return std::nullopt;
    }
    plan.destRow = plan.titleEndRow - titleStartRow + 2;
    plan.titleEndColumn = ColumnIndexOf(titleEndLetters);
    return plan;
}

using LastLine = int (*)(sheet::IWorksheet&, long);

// The greatest last used row among columns 1..lastColumn; 1 when all are empty.
long lastUsedRow(sheet::IWorksheet& sheet, int lastColumn, LastLine lastLine) {
    long last = 1;
    for (int c = 1; c <= lastColumn; ++c)
        last = std::max(last, static_cast<long>(lastLine(sheet, c)));
    return last;
}

class MethodB {
public:
    MethodB(RunHost& host, Plan plan) : frame_(host), host_(host), plan_(std::move(plan)) {}

    void run() {
        files_ = host_.ConsolidationList();
        sheetName_ = host_.SheetName();
        existingFile_ = host_.ExistingFile().trimmed();
        frame_.logStart();
        start();
        if (!frame_.failed())
            showAndStartReader();
        if (!frame_.failed())
            gather();
        frame_.quitReader();
        finish();
    }

private:
    SpreadsheetApp& apps() { return frame_.apps(); }
    bool appending() const { return !existingFile_.isEmpty(); }

    // Frame step 5, with method B's order: a new result is prepared from the first workbook;
    // an existing one is opened and measured.
    void start() {
        try {
            try {
                apps().ResultApp = host_.CreateApplication();
                apps().ResultApp->SetDisplayAlerts(false);
            } catch (const std::exception&) {
                frame_.fail(msg::kB00E00);
                frame_.quitResult();
                return;
            }
            frame_.log(msg::kApplyingTitle);
            if (appending()) {
                openExistingResult();
                return;
            }
            createResult();
            if (!openFirstWorkbook())
                return;
            prepareResult();
        } catch (const std::exception&) {
            failPreparing();
        }
    }

    void failPreparing() {
        frame_.fail(msg::kB00E04Preparing);
        try {
            if (apps().ResultApp)
                apps().ResultApp->SetCutCopyMode(false);
        } catch (const std::exception&) {
        }
        frame_.quitResult();
        frame_.quitReader();
    }

    void createResult() {
        apps().ResultBook = apps().ResultApp->Workbooks().Add();
        apps().ResultApp->SetVisible(false);
        apps().ResultApp->SetDisplayAlerts(false);
        apps().ResultSheet = apps().ResultBook->Worksheets(1);
        const QString name = host_.ExistingSheet();
        apps().ResultSheet->SetName(name.trimmed().isEmpty() ? std::string("Sheet1")
                                                             : name.toStdString());
    }

    // Method step (b) with an existing consolidated workbook: the blocks go below its last
    // used row; it keeps its own title, widths and page setup.
    void openExistingResult() {
        try {
            apps().ResultBook = apps().ResultApp->Workbooks().Open(
                QDir::fromNativeSeparators(existingFile_).toStdString());
            apps().ResultSheet =
                apps().ResultBook->Worksheets(host_.ExistingSheet().trimmed().toStdString());
            apps().ResultApp->SetDisplayAlerts(false);
        } catch (const std::exception&) {
            frame_.fail(existingFile_ + msg::kExistingFileOpenFailed);
            return;
        }
        plan_.destRow = lastUsedRow(*apps().ResultSheet, plan_.titleEndColumn, GetLastLine1) + 1;
    }

    bool openFirstWorkbook() {
        try {
            apps().ReaderApp = host_.CreateApplication();
            announceSources();
            openSource(files_.first());
            apps().ReaderApp->SetVisible(false);
            apps().ReaderApp->SetDisplayAlerts(false);
            return true;
        } catch (const std::exception& error) {
            frame_.failOpening(sheetMissingLine(msg::kB00E01, files_.first(), sheetName_), error,
                               files_.first());
            frame_.dropReader();
            return false;
        }
    }

    std::string sourcePath(const QString& entry) const {
        return QDir::fromNativeSeparators(workbookPath(host_.DataFolder(), entry)).toStdString();
    }

    void announceSources() {
        announceWorkbooks(*apps().ReaderApp, files_,
                          [this](const QString& entry) { return sourcePath(entry); });
    }

    void openSource(const QString& entry) {
        apps().SourceBook = apps().ReaderApp->Workbooks().Open(sourcePath(entry));
        apps().SourceSheet = apps().SourceBook->Worksheets(sheetName_.toStdString());
    }

    // Method step (b) for a new result: the title at A1, the form's widths, heights, zoom and
    // page setup; then the first workbook is closed (the loop opens it again).
    void prepareResult() {
        sheet::IApplication& result = *apps().ResultApp;
        sheet::IApplication& reader = *apps().ReaderApp;
        sheet::IWorksheet& source = *apps().SourceSheet;
        // Selecting the sheet first makes it the reader's active sheet, so that heights and
        // zoom come from the sheet being consolidated, whichever sheet the file was saved on.
        source.Select();
        source.Range(plan_.titleRange.toStdString())->Copy();
        result.ActiveSheet()->Cells()->Select();
        result.ActiveSheet()->Paste();

        frame_.log(msg::kApplyingWidths);
        for (int i = 1; i <= plan_.titleEndColumn; ++i)
            result.ActiveSheet()->Columns(i)->SetColumnWidth(source.Columns(i)->ColumnWidth());
        for (int i = 1; i <= plan_.titleEndRow; ++i)
            result.ActiveSheet()->Rows(i)->SetRowHeight(reader.ActiveSheet()->Rows(i)->RowHeight());

        frame_.log(msg::kApplyingPageSetup);
        result.ActiveWindow().SetZoom(reader.ActiveWindow().Zoom());
        copyPageSetup(source.PageSetup(), result.ActiveSheet()->PageSetup());

        reader.SetCutCopyMode(false);
        apps().SourceBook->Close();
        apps().SourceBook.reset();
        apps().SourceSheet.reset();
    }

    void copyPageSetup(sheet::IPageSetup& from, sheet::IPageSetup& to) {
        if (!engine::copyPageSetup(from, to))
            frame_.log(msg::kB00E03);
    }

    // After the start guard: the result shown as the option says; when appending, the reader
    // instance starts only now. A failure here is one of preparing the result.
    void showAndStartReader() {
        try {
            apps().ResultApp->SetVisible(host_.ShowProcess());
            if (!appending())
                return;
            apps().ReaderApp = host_.CreateApplication();
            apps().ReaderApp->SetVisible(false);
            apps().ReaderApp->SetDisplayAlerts(false);
            announceSources();
        } catch (const std::exception&) {
            failPreparing();
        }
    }

    // Frame step 6: every workbook of the list; the first counted failure ends the loop.
    void gather() {
        const int total = static_cast<int>(files_.size());
        for (int i = 0; i < total; ++i) {
            if (frame_.stopRequested() || !gatherOne(files_[i]))
                return;
            frame_.showProgress(i + 1, total);
        }
    }

    bool gatherOne(const QString& entry) {
        try {
            frame_.logFileWorking(entry);
            try {
                openSource(entry);
            } catch (const std::exception& error) {
                frame_.failOpening(sheetMissingLine(msg::kB00E04File, entry, sheetName_), error,
                                   entry);
                frame_.quitReader();
                return false;
            }
            const long rows = pasteBlock();
            apps().ReaderApp->SetCutCopyMode(false);
            plan_.destRow += rows;
            apps().SourceBook->Close();
            return true;
        } catch (const std::exception&) {
            frame_.fail(msg::kB00E05);
            frame_.quitReader();
            return false;
        }
    }

    // Method step (c): whole rows from the data start row to the workbook's last used row at
    // DestRow, column A. Gives the number of rows pasted.
    long pasteBlock() {
        sheet::IWorksheet& source = *apps().SourceSheet;
        source.Select();
        const long last = lastUsedRow(source, plan_.titleEndColumn, GetLastLine2);
        // A sheet with nothing below its title adds no rows and must not move DestRow back
        // over the blocks already pasted.
        if (last < plan_.dataStartRow)
            return 0;
        const QString rows = QString::number(plan_.dataStartRow) + u':' + QString::number(last);
        source.Rows(rows.toStdString())->Copy();
        apps().ResultSheet->Activate();
        const std::string target = "A" + std::to_string(plan_.destRow);
        apps().ResultSheet->Range(target)->Select();
        apps().ResultSheet->Paste();
        apps().ResultSheet->Range(target)->Select();
        return last - plan_.dataStartRow + 1;
    }

    // Frame step 8.
    void finish() {
        if (!frame_.failed() && !frame_.stopRequested()) {
            try {
                // The first cell below the last block, ready for the user's next entry.
                apps()
                    .ResultSheet
                    ->Range((plan_.dataStartLetters + QString::number(plan_.destRow)).toStdString())
                    ->Select();
            } catch (const std::exception&) {
                frame_.fail(msg::kB00E04Preparing);
            }
        }
        if (frame_.failed()) {
            frame_.cancel(msg::kB00E06);
            return;
        }
        frame_.log(msg::kDoneSave);
        frame_.save(existingFile_, SaveLines{msg::kSavingChosen, msg::kClosingLine});
    }

    RunFrame frame_;
    RunHost& host_;
    Plan plan_;
    QStringList files_;
    QString sheetName_;
    QString existingFile_;
};

} // namespace

void combination_b(RunHost& host) {
    if (host.ConsolidationList().isEmpty()) {
        host.Message(msg::kNoFiles);
        return;
    }
    std::optional<Plan> plan = readPlan(host);
    if (!plan)
        return;
    MethodB(host, std::move(*plan)).run();
}

} // namespace engine
