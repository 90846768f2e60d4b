#include "engine/method_a.h"

#include "engine/block_sum_formula.h"
#include "engine/cell_reference.h"
#include "engine/result_folder.h"
#include "engine/run_frame.h"

#include <optional>
#include <vector>

namespace engine {

namespace {

// One range text read into its corners.
struct Corners {
    int firstRow = 0;
    QString firstLetters;
    int lastRow = 0;
    QString lastLetters;
};

Corners readCorners(const QString& text) {
    const RangeText parts = RangeText::split(text);
    const CellPart first = CellPart::read(parts.first);
    const CellPart last = CellPart::read(parts.last);
    return {first.row, first.letters, last.row, last.letters};
}

struct SumBlock {
    int firstRow = 0;
    int firstColumn = 0;
    int lastColumn = 0;
    QString firstLetters;
    int rowCount = 0;
    int rowOffset = 0; // of the sum rows inside one data block
};

// The values of one run, read from the project before anything starts.
struct Plan {
    QString titleRange;
    QString dataRange;
    QString titleFirstLetters;
    int titleLastColumn = 0;
    QString dataFirstLetters;
    int dataLastRow = 0;
    int dataRowCount = 0;
    long destRow = 0;
    std::optional<SumBlock> sum;
};

// The sum block must lie inside the data range: each of its cells is summed over the same
// cell of every pasted block.
bool sumInsideData(const Corners& sum, const Corners& data) {
    const int sumFirst = ColumnIndexOf(sum.firstLetters);
    const int sumLast = ColumnIndexOf(sum.lastLetters);
    const int dataFirst = ColumnIndexOf(data.firstLetters);
    const int dataLast = ColumnIndexOf(data.lastLetters);
    if (sumFirst == ColumnNames::kNotFound || sumLast == ColumnNames::kNotFound)
        return false;
    return sumFirst <= sumLast && sum.firstRow <= sum.lastRow && sumFirst >= dataFirst &&
           sumLast <= dataLast && sum.firstRow >= data.firstRow && sum.lastRow <= data.lastRow;
}

// Method step (a). Shows the range's message and gives nothing when a range is bad.
std::optional<Plan> readPlan(RunHost& host) {
    Plan plan;
    plan.titleRange = host.TitleRange();
    plan.dataRange = host.DataRange();
    Corners title, data;
    try {
        title = readCorners(plan.titleRange);
    } catch (const ConversionError&) {
        host.Message(msg::kBadTitleRange);
        return std::nullopt;
    }
    try {
        data = readCorners(plan.dataRange);
    } catch (const ConversionError&) {
        host.Message(msg::kBadDataRange);
        return std::nullopt;
    }
    // Blocks of a negative height would be pasted over one another.
    if (data.lastRow < data.firstRow) {
        host.Message(msg::kBadDataRange);
        return std::nullopt;
    }
    plan.destRow = title.lastRow - title.firstRow + 2;
    plan.dataRowCount = data.lastRow - data.firstRow + 1;
    if (host.SumRangeEnabled() && !host.SumRange().trimmed().isEmpty()) {
        Corners sum;
        try {
            sum = readCorners(host.SumRange());
        } catch (const ConversionError&) {
            host.Message(msg::kBadSumRange);
            return std::nullopt;
        }
        // A loaded project file is not validated; a sum block outside the data would sum
        // cells of the wrong blocks.
        if (!sumInsideData(sum, data)) {
            host.Message(msg::kBadSumRange);
            return std::nullopt;
        }
        plan.sum = SumBlock{
            sum.firstRow,     ColumnIndexOf(sum.firstLetters), ColumnIndexOf(sum.lastLetters),
            sum.firstLetters, sum.lastRow - sum.firstRow + 1,  sum.firstRow - data.firstRow};
    }
    plan.titleFirstLetters = title.firstLetters;
    plan.titleLastColumn = ColumnIndexOf(title.lastLetters);
    plan.dataFirstLetters = data.firstLetters;
    plan.dataLastRow = data.lastRow;
    return plan;
}

std::string cellText(const QString& letters, long row) {
    return (letters + QString::number(row)).toStdString();
}

class MethodA {
public:
    MethodA(RunHost& host, Plan plan) : frame_(host), host_(host), plan_(std::move(plan)) {}

    void run() {
        files_ = host_.ConsolidationList();
        sheetName_ = host_.SheetName();
        frame_.logStart();
        start();
        if (!frame_.failed())
            gather();
        frame_.quitReader();
        finish();
    }

private:
    SpreadsheetApp& apps() { return frame_.apps(); }

    // Frame step 5: both instances, the result workbook, the first workbook.
    void start() {
        try {
            try {
                apps().ResultApp = host_.CreateApplication();
                apps().ResultApp->SetDisplayAlerts(false);
            } catch (const std::exception&) {
                frame_.fail(msg::kA00E00);
                frame_.quitResult();
                return;
            }
            createResult();
            apps().ResultApp->SetVisible(host_.ShowProcess());
            if (!openFirstWorkbook())
                return;
            prepareResult();
        } catch (const std::exception&) {
            frame_.fail(msg::kA00E04);
            try {
                if (apps().ResultApp)
                    apps().ResultApp->SetCutCopyMode(false);
            } catch (const std::exception&) {
            }
            frame_.quitResult();
            frame_.quitReader();
        }
    }

    void createResult() {
        frame_.log(msg::kApplyingTitle);
        apps().ResultBook = apps().ResultApp->Workbooks().Add();
        apps().ResultSheet = apps().ResultBook->Worksheets(1);
        const QString name = host_.ExistingSheet();
        apps().ResultSheet->SetName(name.trimmed().isEmpty() ? std::string("Sheet1")
                                                             : name.toStdString());
    }

    bool openFirstWorkbook() {
        try {
            apps().ReaderApp = host_.CreateApplication();
            apps().ReaderApp->SetDisplayAlerts(false);
            apps().ReaderApp->SetVisible(false);
            announceWorkbooks(*apps().ReaderApp, files_,
                              [this](const QString& entry) { return sourcePath(entry); });
            openSource(files_.first());
            return true;
        } catch (const std::exception& error) {
            frame_.failOpening(sheetMissingLine(msg::kA00E01, files_.first(), sheetName_), error,
                               files_.first());
            frame_.dropReader();
            return false;
        }
    }

    std::string sourcePath(const QString& entry) const {
        return workbookPath(host_.DataFolder(), entry).toStdString();
    }

    void openSource(const QString& entry) {
        apps().SourceBook = apps().ReaderApp->Workbooks().Open(sourcePath(entry));
        apps().SourceSheet = apps().SourceBook->Worksheets(sheetName_.toStdString());
    }

    // Method step (b): the title at row 1 in its own first column, then the form's widths,
    // heights, zoom and page setup.
    void prepareResult() {
        sheet::IApplication& result = *apps().ResultApp;
        sheet::IApplication& reader = *apps().ReaderApp;
        sheet::IWorksheet& source = *apps().SourceSheet;
        source.Select();
        source.Range(plan_.titleRange.toStdString())->Copy();
        apps().ResultSheet->Range(cellText(plan_.titleFirstLetters, 1))->Select();
        apps().ResultBook->ActiveSheet()->Paste();

        frame_.log(msg::kApplyingWidths);
        for (int k = 1; k <= plan_.titleLastColumn; ++k)
            result.ActiveSheet()->Columns(k)->SetColumnWidth(source.Columns(k)->ColumnWidth());
        for (int k = 1; k <= plan_.dataLastRow; ++k)
            result.ActiveSheet()->Rows(k)->SetRowHeight(reader.ActiveSheet()->Rows(k)->RowHeight());

        frame_.log(msg::kApplyingPageSetup);
        result.ActiveWindow().SetZoom(reader.ActiveWindow().Zoom());
        copyPageSetup(source.PageSetup(), result.ActiveSheet()->PageSetup());
    }

    void copyPageSetup(sheet::IPageSetup& from, sheet::IPageSetup& to) {
        if (!engine::copyPageSetup(from, to))
            frame_.log(msg::kA00E03);
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
                apps().SourceBook = apps().ReaderApp->Workbooks().Open(sourcePath(entry));
                apps().ReaderApp->SetDisplayAlerts(false);
                apps().ReaderApp->SetVisible(false);
                apps().SourceSheet = apps().SourceBook->Worksheets(sheetName_.toStdString());
            } catch (const std::exception& error) {
                frame_.failOpening(sheetMissingLine(msg::kA00E05, entry, sheetName_), error, entry);
                frame_.quitReader();
                return false;
            }
            pasteBlock();
            apps().ReaderApp->SetCutCopyMode(false);
            plan_.destRow += plan_.dataRowCount;
            apps().SourceBook->Close();
            return true;
        } catch (const std::exception&) {
            frame_.fail(msg::kA00E06);
            frame_.quitReader();
            return false;
        }
    }

    // Method step (c): the data block at DestRow, and the references its sum cells add.
    void pasteBlock() {
        apps().SourceSheet->Select();
        apps().SourceSheet->Range(plan_.dataRange.toStdString())->Copy();
        apps().ResultSheet->Activate();
        const std::string target = cellText(plan_.dataFirstLetters, plan_.destRow);
        apps().ResultSheet->Range(target)->Select();
        apps().ResultBook->ActiveSheet()->Paste();
        apps().ResultSheet->Range(target)->Select();
        if (pastedBlocks_++ == 0)
            firstBlockRow_ = plan_.destRow;
    }

    // Method step (d): the sum cells where the sum range would fall in one more block.
    void writeSums() {
        const SumBlock& sum = *plan_.sum;
        const long baseRow = plan_.destRow;
        apps().ResultSheet->Range(cellText(sum.firstLetters, baseRow))->Select();
        for (int c = sum.firstColumn; c <= sum.lastColumn; ++c) {
            for (int r = 0; r < sum.rowCount; ++r) {
                sheet::RangePtr cell = apps().ResultSheet->Cells(baseRow + sum.rowOffset + r, c);
                cell->SetInteriorColorIndex(37);
                cell->SetFormula(blockSumFormula(ColumnNames::at(c),
                                                 firstBlockRow_ + sum.rowOffset + r,
                                                 plan_.dataRowCount, pastedBlocks_)
                                     .toStdString());
            }
        }
    }

    // Frame step 8.
    void finish() {
        if (!frame_.failed() && !frame_.stopRequested()) {
            try {
                if (plan_.sum)
                    writeSums();
            } catch (const std::exception&) {
                frame_.fail(msg::kA00E04);
            }
        }
        if (frame_.failed()) {
            frame_.cancel(msg::kA00E07);
            return;
        }
        frame_.log(plan_.sum ? msg::kDoneSave : msg::kDoneNoSum);
        frame_.save(QString(), SaveLines{msg::kSavingChosenA, msg::kClosingLine});
    }

    RunFrame frame_;
    RunHost& host_;
    Plan plan_;
    QStringList files_;
    QString sheetName_;
    // The pasted blocks, whose sum cells the sum formulas add.
    long firstBlockRow_ = 0;
    long pastedBlocks_ = 0;
};

} // namespace

void combination_a(RunHost& host) {
    if (host.ConsolidationList().isEmpty()) {
        host.Message(msg::kNoFiles);
        return;
    }
    std::optional<Plan> plan = readPlan(host);
    if (!plan)
        return;
    MethodA(host, std::move(*plan)).run();
}

} // namespace engine
