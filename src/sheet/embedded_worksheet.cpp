#include "sheet/clipboard.h"
#include "sheet/defined_name_copy.h"
#include "sheet/embedded_core.h"
#include "sheet/embedded_messages.h"
#include "sheet/sheet_copy.h"
#include "sheet/sheet_names.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace sheet::embedded {

namespace {

// The 16-bit password hash of sheet protection, as four upper-case hex digits.
std::string legacyPasswordHash(const std::string& password) {
    std::uint32_t hash = 0;
    for (auto it = password.rbegin(); it != password.rend(); ++it) {
        hash = ((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF);
        hash ^= static_cast<unsigned char>(*it);
    }
    hash = ((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF);
    hash ^= static_cast<std::uint32_t>(password.size());
    hash ^= 0xCE4B;
    char text[8];
    std::snprintf(text, sizeof text, "%04X", hash & 0xFFFF);
    return text;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

int sheetIndexIn(const Workbook& workbook, const Worksheet* sheet) {
    for (size_t i = 0; i < workbook.sheets.size(); ++i)
        if (workbook.sheets[i].get() == sheet)
            return static_cast<int>(i);
    return -1;
}

} // namespace

void checkEditable(const Worksheet& sheet) {
    if (sheet.protection.on)
        throw AutomationError(messages::kSheetProtected + sheet.name);
}

CellArea areaOf(const std::string& reference) {
    auto area = parseRangeText(reference);
    if (!area)
        throw AutomationError(messages::kBadRange + reference);
    return *area;
}

CellArea cellArea(long row, long column) {
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        throw AutomationError(messages::kBadCell + std::to_string(row) + ", " +
                              std::to_string(column));
    return CellArea::cell(row, column);
}

LiveSheet WorksheetObject::enter(const char* member) {
    auto core = core_.lock();
    if (!core)
        throw AutomationError(messages::kInstanceQuit);
    core->enter(member);
    auto book = book_.lock();
    if (!book || core->indexOf(book.get()) < 0)
        throw AutomationError(messages::kWorkbookClosed);
    if (deleted_)
        throw AutomationError(messages::kSheetDeleted);
    return {core, book, sheet_};
}

void WorksheetObject::activate(const LiveSheet& live) {
    live.workbook().activeSheet = sheetIndexIn(live.workbook(), live.sheet);
    live.core->activeBook = live.core->indexOf(live.book.get());
}

RangePtr WorksheetObject::rangeOf(const CellArea& area) {
    return makeRange(shared_from_this(), area);
}

std::string WorksheetObject::Name() {
    return enter("Worksheet.Name").sheet->name;
}

void WorksheetObject::SetName(const std::string& name) {
    LiveSheet live = enter("Worksheet.SetName");
    if (live.sheet->name == name)
        return;
    checkSheetName(live.workbook(), name, live.sheet);
    renameSheetInNames(live.workbook(), live.sheet->name, name);
    renameSheetInOwnFormulas(*live.sheet, live.sheet->name, name);
    live.sheet->name = name;
    live.core->changed(live.book.get());
}

int WorksheetObject::Index() {
    LiveSheet live = enter("Worksheet.Index");
    return sheetIndexIn(live.workbook(), live.sheet) + 1;
}

WorkbookPtr WorksheetObject::Parent() {
    LiveSheet live = enter("Worksheet.Parent");
    return live.core->workbookObject(live.book);
}

void WorksheetObject::Select() {
    LiveSheet live = enter("Worksheet.Select");
    activate(live);
    live.core->notifyContent();
}

void WorksheetObject::Activate() {
    LiveSheet live = enter("Worksheet.Activate");
    activate(live);
    live.core->notifyContent();
}

void WorksheetObject::Delete() {
    LiveSheet live = enter("Worksheet.Delete");
    Workbook& workbook = live.workbook();
    if (workbook.sheets.size() == 1)
        throw AutomationError(messages::kDeleteOnlySheet);
    int index = sheetIndexIn(workbook, live.sheet);
    live.book->sheetObjects.erase(live.sheet);
    deleted_ = true;
    eraseSheet(workbook, index);
    int count = static_cast<int>(workbook.sheets.size());
    if (workbook.activeSheet > index || workbook.activeSheet >= count)
        workbook.activeSheet = std::max(0, workbook.activeSheet - 1);
    live.core->changed(live.book.get());
}

void WorksheetObject::Unprotect(const std::string& password) {
    LiveSheet live = enter("Worksheet.Unprotect");
    SheetProtection& protection = live.sheet->protection;
    if (!protection.on)
        return;
    if (!protection.passwordHash.empty()) {
        if (password.empty())
            throw AutomationError(messages::kUnprotectNeedsPassword + live.sheet->name);
        // Salted hashes cannot be checked here; only the legacy hash can.
        if (!protection.algorithmName.empty() ||
            !sameIgnoringCase(legacyPasswordHash(password), protection.passwordHash))
            throw AutomationError(messages::kUnprotectWrongPassword + live.sheet->name);
    }
    protection = SheetProtection{};
    live.core->changed(live.book.get());
}

void WorksheetObject::Copy(IWorksheet& after) {
    LiveSheet live = enter("Worksheet.Copy");
    auto* target = dynamic_cast<WorksheetObject*>(&after);
    if (!target || target->core_.lock() != live.core)
        throw AutomationError(messages::kCopyToOtherInstance);
    LiveSheet destination = target->enter("Worksheet.CopyTarget");
    Workbook& to = destination.workbook();
    auto copy = copyWorksheet(live.workbook(), *live.sheet, to);
    if (copy->name != live.sheet->name)
        renameSheetInOwnFormulas(*copy, live.sheet->name, copy->name);
    int position = sheetIndexIn(to, destination.sheet) + 1;
    insertSheet(to, position, std::move(copy));
    copyNamesWithSheet(live.workbook(), sheetIndexIn(live.workbook(), live.sheet), to, position);
    to.activeSheet = position;
    live.core->activeBook = live.core->indexOf(destination.book.get());
    live.core->changed(destination.book.get());
}

void WorksheetObject::Paste() {
    LiveSheet live = enter("Worksheet.Paste");
    auto block = Clipboard::get();
    if (!block)
        throw AutomationError(messages::kClipboardEmpty);
    checkEditable(*live.sheet);
    pasteBlock(*block, live.workbook(), *live.sheet, live.sheet->selectedRow,
               live.sheet->selectedColumn);
    live.core->changed(live.book.get());
}

RangePtr WorksheetObject::Range(const std::string& reference) {
    enter("Worksheet.Range");
    return rangeOf(areaOf(reference));
}

RangePtr WorksheetObject::Cells(long row, long column) {
    enter("Worksheet.Cells");
    return rangeOf(cellArea(row, column));
}

RangePtr WorksheetObject::Cells() {
    enter("Worksheet.Cells");
    return rangeOf(CellArea::wholeSheet());
}

RangePtr WorksheetObject::Rows(long row) {
    enter("Worksheet.Rows");
    if (row < 1 || row > kMaxRows)
        throw AutomationError(messages::kBadRange + std::to_string(row));
    return rangeOf(CellArea::rows(row, row));
}

RangePtr WorksheetObject::Rows(const std::string& rows) {
    enter("Worksheet.Rows");
    bool digitsOnly = !rows.empty() && std::all_of(rows.begin(), rows.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    auto area = parseRangeText(digitsOnly ? rows + ":" + rows : rows);
    if (!area || area->kind != AreaKind::Rows)
        throw AutomationError(messages::kBadRange + rows);
    return rangeOf(*area);
}

RangePtr WorksheetObject::Columns(long column) {
    enter("Worksheet.Columns");
    if (column < 1 || column > kMaxColumns)
        throw AutomationError(messages::kBadRange + std::to_string(column));
    return rangeOf(CellArea::columns(column, column));
}

void WorksheetObject::PrintOut() {
    LiveSheet live = enter("Worksheet.PrintOut");
    const auto& printer = embeddedEnvironment().printer;
    if (!printer)
        throw AutomationError(messages::kNoPrinter);
    printer->printFile(live.workbook(), *live.sheet, live.book->path);
}

} // namespace sheet::embedded
