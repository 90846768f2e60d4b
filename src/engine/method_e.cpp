#include "engine/method_e.h"

#include "engine/method_ce_messages.h"
#include "engine/method_e_layout.h"
#include "engine/result_folder.h"
#include "engine/run_frame.h"
#include "engine/workbook_entry.h"

#include <algorithm>

namespace engine {

namespace text = method_e_text;

namespace {

QString reasonOf(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

// A block whose width cannot be worked out: reported in a message box with the item.
struct WidthFailure {
    QString item;
};

int widthOf(const CellItem& item) {
    try {
        return item.width();
    } catch (const CellItemError&) {
        throw WidthFailure{item.text};
    }
}

std::string cellText(const QString& letters, long row) {
    return (letters + QString::number(row)).toStdString();
}

// The lowest row holding anything in columns A..IV, from the bottom of the range the run
// addresses; 0 for an empty sheet.
long lastUsedRow(sheet::IWorksheet& sheet) {
    constexpr long kBottom = 65536;
    constexpr long kColumns = 256;
    long last = 0;
    for (long column = 1; column <= kColumns; ++column) {
        const long row = sheet.Cells(kBottom, column)->End(sheet::XlDirection::Up)->Row();
        if (row > 1 || !std::holds_alternative<std::monostate>(sheet.Cells(1, column)->Value()))
            last = std::max(last, row);
    }
    return last;
}

// One run of method E. ResultApp builds the table; ReaderApp, never shown, opens the sources.
class MethodE {
public:
    MethodE(RunHost& host, QStringList entries, QList<CellItem> items, int rowStep)
        : frame_(host), host_(host), entries_(std::move(entries)), items_(std::move(items)),
          rowStep_(rowStep), folder_(host.DataFolder()), sheetName_(host.SheetName()),
          existingFile_(host.ExistingFile().trimmed()) {}

    void run() {
        frame_.logStart();
        if (startResult() && prepareResult() && startReader())
            fetchWorkbooks();
        finish();
    }

private:
    bool startResult();
    bool prepareResult();
    void addResultBook();
    void openExistingResult();
    void writeHeader();
    bool startReader();
    void fetchWorkbooks();
    bool fetchWorkbook(const QString& entry);
    void fetchItems(const QString& entry);
    void reportWidthFailure(const QString& item, const QString& line);
    void finish();
    void abandonResult();

    SpreadsheetApp& held() { return frame_.apps(); }
    QString resultSheetName() const {
        const QString name = host_.ExistingSheet();
        return name.trimmed().isEmpty() ? QStringLiteral("Sheet1") : name;
    }

    RunFrame frame_;
    RunHost& host_;
    const QStringList entries_;
    const QList<CellItem> items_;
    const int rowStep_;
    const QString folder_;
    const QString sheetName_;
    const QString existingFile_;
    long nextRow_ = 1;
    bool resultStarted_ = false;
    bool readerStarted_ = false;
};

bool MethodE::startResult() {
    try {
        sheet::ApplicationPtr app = host_.CreateApplication();
        held().ResultApp = app;
        held().ResultBook.reset();
        held().ResultSheet.reset();
        resultStarted_ = true;
        app->SetDisplayAlerts(false);
        return true;
    } catch (const std::exception&) {
        frame_.fail(text::kNoSpreadsheet);
        return false;
    }
}

bool MethodE::prepareResult() {
    try {
        if (existingFile_.isEmpty())
            addResultBook();
        else
            openExistingResult();
        return true;
    } catch (const WidthFailure& failure) {
        reportWidthFailure(failure.item, text::kHeaderWidthFailed);
    } catch (const CellItemError& error) {
        frame_.fail(text::kSetupFailed + error.message());
    } catch (const std::exception& error) {
        frame_.fail(text::kSetupFailed + reasonOf(error));
    }
    abandonResult();
    return false;
}

void MethodE::addResultBook() {
    sheet::IApplication& app = *held().ResultApp;
    held().ResultBook = app.Workbooks().Add();
    held().ResultSheet = held().ResultBook->Worksheets(1);
    held().ResultBook->Worksheets(1)->SetName(resultSheetName().toStdString());
    app.SetVisible(host_.ShowProcess());
    writeHeader();
    nextRow_ = 2;
}

// An existing consolidated workbook grows: the bands go below whatever its sheet holds, and it
// is saved over in the end.
void MethodE::openExistingResult() {
    sheet::IApplication& app = *held().ResultApp;
    held().ResultBook = app.Workbooks().Open(existingFile_.toStdString());
    held().ResultSheet = held().ResultBook->Worksheets(resultSheetName().toStdString());
    held().ResultSheet->Activate();
    app.SetVisible(host_.ShowProcess());
    const long last = lastUsedRow(*held().ResultSheet);
    if (last == 0) {
        writeHeader();
        nextRow_ = 2;
        return;
    }
    nextRow_ = last + 1;
}

void MethodE::writeHeader() {
    sheet::IWorksheet& sheet = *held().ResultSheet;
    sheet.Range("A1")->SetValue(text::kHeaderName.toStdString());
    int column = 2;
    for (const CellItem& item : items_) {
        const QString letters = resultColumn(column, item);
        sheet.Range(cellText(letters, 1))
            ->SetValue((item.text + text::kHeaderValueSuffix).toStdString());
        column += widthOf(item);
    }
}

bool MethodE::startReader() {
    frame_.quitReader();
    try {
        sheet::ApplicationPtr reader = host_.CreateApplication();
        held().ReaderApp = reader;
        readerStarted_ = true;
        reader->SetVisible(false);
        reader->SetDisplayAlerts(false);
        announceWorkbooks(*reader, entries_, [this](const QString& entry) {
            return workbookPath(folder_, entry).toStdString();
        });
        return true;
    } catch (const std::exception&) {
        // Without a reader nothing can be fetched; a result of headers only is no result.
        host_.Message(text::kNoReader);
        frame_.fail(text::kNoReader);
        return false;
    }
}

void MethodE::fetchWorkbooks() {
    const int count = static_cast<int>(entries_.size());
    for (int i = 0; i < count; ++i) {
        if (frame_.stopRequested() || !fetchWorkbook(entries_[i]))
            return;
        frame_.showProgress(i + 1, count);
    }
}

bool MethodE::fetchWorkbook(const QString& entry) {
    frame_.logFileWorking(entry);
    try {
        held().SourceBook =
            held().ReaderApp->Workbooks().Open(workbookPath(folder_, entry).toStdString());
        held().SourceSheet = held().SourceBook->Worksheets(sheetName_.toStdString());
    } catch (const std::exception& error) {
        frame_.failOpening(sheetMissingLine(text::kOpenFailed, entry, sheetName_), error, entry);
        frame_.quitReader();
        return false;
    }
    try {
        fetchItems(entry);
        held().ReaderApp->SetCutCopyMode(false);
        nextRow_ += rowStep_;
        held().SourceBook->Close();
        held().SourceSheet.reset();
        held().SourceBook.reset();
        return true;
    } catch (const WidthFailure& failure) {
        reportWidthFailure(failure.item, text::kLoopWidthFailed);
    } catch (const CellItemError& error) {
        frame_.fail(text::kCopyFailed + error.message());
    } catch (const std::exception&) {
        frame_.fail(text::kCopyFailed);
    }
    frame_.quitReader();
    return false;
}

void MethodE::fetchItems(const QString& entry) {
    sheet::IWorksheet& source = *held().SourceSheet;
    sheet::IWorksheet& result = *held().ResultSheet;
    const std::string name = entryWithoutExtension(entry).toStdString();
    int column = 2;
    for (const CellItem& item : items_) {
        const QString letters = resultColumn(column, item);
        source.Select();
        source.Range(item.text.toStdString())->Copy();
        result.Activate();
        result.Range(cellText(QStringLiteral("A"), nextRow_))->SetValue(name);
        result.Range(cellText(letters, nextRow_))->Select();
        result.Paste();
        column += widthOf(item);
    }
}

// The message box stays, but the run no longer saves a partial table as if it had succeeded.
void MethodE::reportWidthFailure(const QString& item, const QString& line) {
    host_.Message(item + line);
    frame_.fail(item + line);
}

void MethodE::finish() {
    if (frame_.failed() || frame_.stopRequested()) {
        frame_.log(text::kCancelled);
        abandonResult();
        if (readerStarted_)
            frame_.quitReader();
        frame_.log(msg::kClosingLine);
        return;
    }
    if (existingFile_.isEmpty())
        frame_.log(msg::kDoneSave);
    frame_.save(existingFile_);
}

void MethodE::abandonResult() {
    if (!resultStarted_)
        return;
    if (held().ResultApp) {
        try {
            held().ResultApp->SetCutCopyMode(false);
        } catch (const std::exception&) {
        }
    }
    frame_.quitResult();
    resultStarted_ = false;
}

} // namespace

void combination_e(RunHost& host) {
    const QStringList entries = host.ConsolidationList();
    if (entries.isEmpty()) {
        host.Message(msg::kNoFiles);
        return;
    }
    QList<CellItem> items = splitCellList(host.DataRange());
    const RowStep step = rowStepOf(items);
    if (step.badItem) {
        host.Log(*step.badItem + text::kBadBlock);
        return;
    }
    MethodE(host, entries, std::move(items), step.rows).run();
}

} // namespace engine
