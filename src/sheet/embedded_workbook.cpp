#include "sheet/embedded_core.h"
#include "sheet/embedded_messages.h"
#include "sheet/formula.h"
#include "sheet/workbook_io.h"
#include "sheet/xlsx_writer.h"

namespace sheet::embedded {

WorksheetPtr sheetByIndex(AppCore& core, const std::shared_ptr<BookState>& book, int index) {
    auto& sheets = book->model->sheets;
    if (index < 1 || index > static_cast<int>(sheets.size()))
        throw AutomationError(messages::kNoSheetIndex + std::to_string(index));
    return core.sheetObject(book, sheets[static_cast<size_t>(index - 1)].get());
}

WorksheetPtr sheetByName(AppCore& core, const std::shared_ptr<BookState>& book,
                         const std::string& name) {
    Worksheet* sheet = book->model->find(name);
    if (!sheet)
        throw AutomationError(messages::kNoSheetName + name);
    return core.sheetObject(book, sheet);
}

std::pair<std::shared_ptr<AppCore>, std::shared_ptr<BookState>>
WorkbookObject::enter(const char* member) {
    auto core = core_.lock();
    if (!core)
        throw AutomationError(messages::kInstanceQuit);
    core->enter(member);
    auto book = book_.lock();
    if (!book || core->indexOf(book.get()) < 0)
        throw AutomationError(messages::kWorkbookClosed);
    return {core, book};
}

WorksheetPtr WorkbookObject::Worksheets(int index) {
    auto [core, book] = enter("Workbook.Worksheets");
    return sheetByIndex(*core, book, index);
}

WorksheetPtr WorkbookObject::Worksheets(const std::string& name) {
    auto [core, book] = enter("Workbook.Worksheets");
    return sheetByName(*core, book, name);
}

int WorkbookObject::SheetsCount() {
    auto [core, book] = enter("Workbook.SheetsCount");
    return static_cast<int>(book->model->sheets.size());
}

WorksheetPtr WorkbookObject::ActiveSheet() {
    auto [core, book] = enter("Workbook.ActiveSheet");
    return core->sheetObject(book, &core->activeSheetOf(*book));
}

std::string WorkbookObject::FullName() {
    auto [core, book] = enter("Workbook.FullName");
    return book->path;
}

bool WorkbookObject::Saved() {
    auto [core, book] = enter("Workbook.Saved");
    return book->saved;
}

void WorkbookObject::SaveAs(const std::string& path) {
    auto [core, book] = enter("Workbook.SaveAs");
    if (path.empty())
        throw AutomationError(messages::kEmptyPath);
    const std::string target = normalisedPath(path);
    for (const auto& other : core->books)
        if (other != book && other->path == target)
            throw AutomationError(messages::kPathOpenAsOtherWorkbook + path);
    if (!book->saved)
        recalculate(*book->model);
    XlsxWriteOptions options;
    if (core->faults)
        // Each part written is a step a fault plan can fail ("Workbook.WritePart"), as a full
        // disk would.
        options.beforePart = [faults = core->faults](std::string_view) {
            faults->enter("Workbook.WritePart");
        };
    writeWorkbook(*book->model, path, options);
    book->path = target;
    book->saved = true;
    core->notifyContent();
}

void WorkbookObject::Close() {
    auto [core, book] = enter("Workbook.Close");
    core->close(book.get());
    core->notifyContent();
}

} // namespace sheet::embedded
