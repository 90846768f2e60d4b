#include "sheet/embedded_application.h"

#include "sheet/clipboard.h"
#include "sheet/embedded_core.h"
#include "sheet/embedded_messages.h"
#include "sheet/formula.h"
#include "sheet/workbook_io.h"

#include <filesystem>

namespace sheet {

namespace {

EmbeddedEnvironment& environment() {
    static EmbeddedEnvironment instance;
    return instance;
}

} // namespace

void setEmbeddedEnvironment(EmbeddedEnvironment env) {
    environment() = std::move(env);
}

const EmbeddedEnvironment& embeddedEnvironment() {
    return environment();
}

namespace embedded {

void AppCore::enter(const char* member) {
    if (quit)
        throw AutomationError(messages::kInstanceQuit);
    if (faults)
        faults->enter(member);
}

void AppCore::changed(BookState* book) {
    if (book)
        book->saved = false;
    notifyContent();
}

void AppCore::notifyContent() {
    const auto& observer = embeddedEnvironment().observer;
    if (observer && owner)
        observer->contentChanged(*owner);
}

std::shared_ptr<BookState> AppCore::activeBookState() {
    if (activeBook < 0 || activeBook >= static_cast<int>(books.size()))
        throw AutomationError(messages::kNoWorkbook);
    return books[static_cast<size_t>(activeBook)];
}

Worksheet& AppCore::activeSheetOf(BookState& book) {
    Workbook& model = *book.model;
    if (model.activeSheet < 0 || model.activeSheet >= static_cast<int>(model.sheets.size()))
        model.activeSheet = 0;
    return *model.sheets[static_cast<size_t>(model.activeSheet)];
}

int AppCore::indexOf(const BookState* book) const {
    for (size_t i = 0; i < books.size(); ++i)
        if (books[i].get() == book)
            return static_cast<int>(i);
    return -1;
}

std::shared_ptr<BookState> AppCore::add(std::unique_ptr<Workbook> model, std::string path) {
    auto book = std::make_shared<BookState>();
    book->model = std::move(model);
    book->path = std::move(path);
    books.push_back(book);
    activeBook = static_cast<int>(books.size()) - 1;
    return book;
}

void AppCore::close(BookState* book) {
    int index = indexOf(book);
    if (index < 0)
        return;
    // A shown instance's window may still hold the workbook until it catches up; only a hidden
    // one hands it over to be freed elsewhere.
    if (readAhead && !visible)
        readAhead->dispose(std::move(book->model));
    books.erase(books.begin() + index);
    if (activeBook == index)
        activeBook = static_cast<int>(books.size()) - 1;
    else if (activeBook > index)
        --activeBook;
}

void AppCore::discardAll() {
    readAhead.reset();
    books.clear();
    activeBook = -1;
}

WorkbookPtr AppCore::workbookObject(const std::shared_ptr<BookState>& book) {
    if (!book->object)
        book->object = std::make_shared<WorkbookObject>(weak_from_this(), book);
    return book->object;
}

std::shared_ptr<WorksheetObject> AppCore::sheetObject(const std::shared_ptr<BookState>& book,
                                                      Worksheet* sheet) {
    auto& object = book->sheetObjects[sheet];
    if (!object)
        object = std::make_shared<WorksheetObject>(weak_from_this(), book, sheet);
    return object;
}

std::string normalisedPath(const std::string& path) {
    std::error_code error;
    auto absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    if (error)
        return path;
    auto canonical = std::filesystem::weakly_canonical(absolute, error);
    return (error ? absolute.lexically_normal() : canonical).string();
}

std::unique_ptr<Workbook> readForOpening(const std::string& path) {
    auto model = readWorkbook(path);
    if (model->sheets.empty())
        model->sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    // Files from programs that do not calculate carry formulas without results; a paste
    // carries results only, so they are worked out now.
    computeMissingResults(*model);
    return model;
}

WorkbookPtr Workbooks::Add() {
    core_->enter("Workbooks.Add");
    auto model = std::make_unique<Workbook>();
    model->sheets.push_back(std::make_unique<Worksheet>("Sheet1"));
    auto book = core_->add(std::move(model), {});
    core_->notifyContent();
    return core_->workbookObject(book);
}

WorkbookPtr Workbooks::Open(const std::string& path) {
    core_->enter("Workbooks.Open");
    if (path.empty())
        throw AutomationError(messages::kEmptyPath);
    std::string wanted = normalisedPath(path);
    for (size_t i = 0; i < core_->books.size(); ++i) {
        if (core_->books[i]->path == wanted) {
            core_->activeBook = static_cast<int>(i);
            return core_->workbookObject(core_->books[i]);
        }
    }
    std::unique_ptr<Workbook> model;
    if (core_->readAhead)
        model = core_->readAhead->take(path);
    if (model)
        ++core_->openedReadAhead;
    else
        model = readForOpening(path);
    auto book = core_->add(std::move(model), wanted);
    core_->notifyContent();
    return core_->workbookObject(book);
}

int Workbooks::Count() {
    core_->enter("Workbooks.Count");
    return static_cast<int>(core_->books.size());
}

WorkbookPtr Workbooks::Item(int index) {
    core_->enter("Workbooks.Item");
    if (index < 1 || index > static_cast<int>(core_->books.size()))
        throw AutomationError(messages::kNoWorkbookIndex + std::to_string(index));
    return core_->workbookObject(core_->books[static_cast<size_t>(index - 1)]);
}

int Window::Zoom() {
    core_->enter("Window.Zoom");
    auto book = core_->activeBookState();
    return core_->activeSheetOf(*book).zoom;
}

void Window::SetZoom(int percent) {
    core_->enter("Window.SetZoom");
    if (percent < 10 || percent > 400)
        throw AutomationError(messages::kBadZoom + std::to_string(percent));
    auto book = core_->activeBookState();
    core_->activeSheetOf(*book).zoom = percent;
    core_->changed(book.get());
}

} // namespace embedded

using embedded::AppCore;

EmbeddedApplication::EmbeddedApplication()
    : core_(std::make_shared<AppCore>()), workbooks_(std::make_unique<embedded::Workbooks>(core_)),
      window_(std::make_unique<embedded::Window>(core_)) {
    core_->owner = this;
}

EmbeddedApplication::~EmbeddedApplication() {
    if (!core_->quit)
        if (const auto& observer = embeddedEnvironment().observer)
            observer->released(*this);
    // Objects handed out may outlive the instance; they must find it gone, not dangling.
    core_->owner = nullptr;
    core_->quit = true;
    core_->discardAll();
}

bool EmbeddedApplication::DisplayAlerts() {
    core_->enter("Application.DisplayAlerts");
    return core_->alerts;
}

void EmbeddedApplication::SetDisplayAlerts(bool on) {
    core_->enter("Application.SetDisplayAlerts");
    core_->alerts = on;
}

bool EmbeddedApplication::Visible() {
    core_->enter("Application.Visible");
    return core_->visible;
}

void EmbeddedApplication::SetVisible(bool on) {
    core_->enter("Application.SetVisible");
    if (core_->visible == on)
        return;
    core_->visible = on;
    if (const auto& observer = embeddedEnvironment().observer)
        observer->visibleChanged(*this, on);
}

void EmbeddedApplication::SetCutCopyMode(bool on) {
    core_->enter("Application.SetCutCopyMode");
    if (!on)
        embedded::Clipboard::clear();
}

IWorkbooks& EmbeddedApplication::Workbooks() {
    core_->enter("Application.Workbooks");
    return *workbooks_;
}

WorkbookPtr EmbeddedApplication::ActiveWorkbook() {
    core_->enter("Application.ActiveWorkbook");
    return core_->workbookObject(core_->activeBookState());
}

WorksheetPtr EmbeddedApplication::ActiveSheet() {
    core_->enter("Application.ActiveSheet");
    auto book = core_->activeBookState();
    return core_->sheetObject(book, &core_->activeSheetOf(*book));
}

IWindow& EmbeddedApplication::ActiveWindow() {
    core_->enter("Application.ActiveWindow");
    core_->activeBookState();
    return *window_;
}

RangePtr EmbeddedApplication::Range(const std::string& reference) {
    core_->enter("Application.Range");
    auto book = core_->activeBookState();
    return core_->sheetObject(book, &core_->activeSheetOf(*book))
        ->rangeOf(embedded::areaOf(reference));
}

RangePtr EmbeddedApplication::Cells(long row, long column) {
    core_->enter("Application.Cells");
    auto book = core_->activeBookState();
    return core_->sheetObject(book, &core_->activeSheetOf(*book))
        ->rangeOf(embedded::cellArea(row, column));
}

RangePtr EmbeddedApplication::Cells() {
    core_->enter("Application.Cells");
    auto book = core_->activeBookState();
    return core_->sheetObject(book, &core_->activeSheetOf(*book))
        ->rangeOf(embedded::CellArea::wholeSheet());
}

WorksheetPtr EmbeddedApplication::Worksheets(int index) {
    core_->enter("Application.Worksheets");
    return embedded::sheetByIndex(*core_, core_->activeBookState(), index);
}

WorksheetPtr EmbeddedApplication::Worksheets(const std::string& name) {
    core_->enter("Application.Worksheets");
    return embedded::sheetByName(*core_, core_->activeBookState(), name);
}

void EmbeddedApplication::Quit() {
    core_->enter("Application.Quit");
    if (const auto& observer = embeddedEnvironment().observer)
        observer->quitting(*this);
    core_->quit = true;
    core_->discardAll();
}

void EmbeddedApplication::ReadAhead(const std::vector<std::string>& paths) {
    core_->readAhead.reset();
    if (core_->quit || paths.empty())
        return;
    try {
        core_->readAhead = std::make_unique<WorkbookReadAhead>(paths, embedded::readForOpening);
    } catch (const std::exception&) {
        // No thread to read on: every workbook is read when it is opened, as without the hint.
    }
}

bool EmbeddedApplication::hasQuit() const {
    return core_->quit;
}
bool EmbeddedApplication::isVisible() const {
    return core_->visible;
}
bool EmbeddedApplication::alertsOn() const {
    return core_->alerts;
}
int EmbeddedApplication::workbookCount() const {
    return static_cast<int>(core_->books.size());
}

const Workbook& EmbeddedApplication::workbookModel(int index) const {
    return *core_->books.at(static_cast<size_t>(index))->model;
}

std::string EmbeddedApplication::workbookPath(int index) const {
    return core_->books.at(static_cast<size_t>(index))->path;
}

bool EmbeddedApplication::workbookSaved(int index) const {
    return core_->books.at(static_cast<size_t>(index))->saved;
}

int EmbeddedApplication::workbooksOpenedReadAhead() const {
    return core_->openedReadAhead;
}

int EmbeddedApplication::activeWorkbookIndex() const {
    return core_->activeBook;
}

void EmbeddedApplication::setFaultPlan(std::shared_ptr<FaultPlan> plan) {
    core_->faults = std::move(plan);
}

std::shared_ptr<EmbeddedApplication> createEmbeddedApplication() {
    return std::make_shared<EmbeddedApplication>();
}

} // namespace sheet
