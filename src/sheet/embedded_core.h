// Inside the embedded application: the state of one instance and the objects it hands out.
// Objects hold their instance and workbook weakly, so that Quit and Close make every object
// handed out before throw instead of touching freed state.
#pragma once

#include "sheet/automation.h"
#include "sheet/embedded_application.h"
#include "sheet/embedded_faults.h"
#include "sheet/model.h"
#include "sheet/range_text.h"
#include "sheet/workbook_read_ahead.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sheet::embedded {

class WorkbookObject;
class WorksheetObject;

struct BookState {
    std::unique_ptr<Workbook> model;
    std::string path; // empty until saved or when new
    bool saved = true;
    std::shared_ptr<WorkbookObject> object;
    std::map<const Worksheet*, std::shared_ptr<WorksheetObject>> sheetObjects;
};

struct AppCore : std::enable_shared_from_this<AppCore> {
    EmbeddedApplication* owner = nullptr;
    bool quit = false;
    bool alerts = true;
    bool visible = false;
    std::vector<std::shared_ptr<BookState>> books;
    int activeBook = -1;
    std::shared_ptr<FaultPlan> faults;
    std::unique_ptr<WorkbookReadAhead> readAhead; // the workbooks announced for opening
    int openedReadAhead = 0;                      // opens served by reading ahead

    // Every public member starts here: throws when the instance has quit or a fault is due.
    void enter(const char* member);
    // A mutating member finished: the workbook is no longer saved and a shown window repaints.
    void changed(BookState* book);
    void notifyContent();

    std::shared_ptr<BookState> activeBookState();
    Worksheet& activeSheetOf(BookState& book);
    int indexOf(const BookState* book) const;
    std::shared_ptr<BookState> add(std::unique_ptr<Workbook> model, std::string path);
    void close(BookState* book);
    void discardAll();

    WorkbookPtr workbookObject(const std::shared_ptr<BookState>& book);
    std::shared_ptr<WorksheetObject> sheetObject(const std::shared_ptr<BookState>& book,
                                                 Worksheet* sheet);
};

// What a member works on once its object has proved alive.
struct LiveSheet {
    std::shared_ptr<AppCore> core;
    std::shared_ptr<BookState> book;
    Worksheet* sheet = nullptr;
    Workbook& workbook() const { return *book->model; }
};

class WorkbookObject : public IWorkbook {
public:
    WorkbookObject(std::weak_ptr<AppCore> core, std::weak_ptr<BookState> book)
        : core_(std::move(core)), book_(std::move(book)) {}

    WorksheetPtr Worksheets(int index) override;
    WorksheetPtr Worksheets(const std::string& name) override;
    int SheetsCount() override;
    WorksheetPtr ActiveSheet() override;
    std::string FullName() override;
    bool Saved() override;
    void SaveAs(const std::string& path) override;
    void Close() override;

private:
    std::weak_ptr<AppCore> core_;
    std::weak_ptr<BookState> book_;

    std::pair<std::shared_ptr<AppCore>, std::shared_ptr<BookState>> enter(const char* member);
};

class WorksheetObject;

class PageSetupObject : public IPageSetup {
public:
    explicit PageSetupObject(WorksheetObject& owner) : owner_(owner) {}
    int Orientation() override;
    void SetOrientation(int orientation) override;
    double LeftMargin() override;
    void SetLeftMargin(double inches) override;
    double RightMargin() override;
    void SetRightMargin(double inches) override;
    double FooterMargin() override;
    void SetFooterMargin(double inches) override;
    int Zoom() override;
    void SetZoom(int percent) override;
    int PaperSize() override;
    void SetPaperSize(int paperSize) override;
    int FitToPagesWide() override;
    void SetFitToPagesWide(int pages) override;
    int FitToPagesTall() override;
    void SetFitToPagesTall(int pages) override;

private:
    WorksheetObject& owner_;
    PageSetup& setup(const char* member);
};

class WorksheetObject : public IWorksheet, public std::enable_shared_from_this<WorksheetObject> {
public:
    WorksheetObject(std::weak_ptr<AppCore> core, std::weak_ptr<BookState> book, Worksheet* sheet)
        : core_(std::move(core)), book_(std::move(book)), sheet_(sheet), pageSetup_(*this) {}

    std::string Name() override;
    void SetName(const std::string& name) override;
    int Index() override;
    WorkbookPtr Parent() override;
    void Select() override;
    void Activate() override;
    void Delete() override;
    void Unprotect(const std::string& password) override;
    void Copy(IWorksheet& after) override;
    void Paste() override;
    RangePtr Range(const std::string& reference) override;
    RangePtr Cells(long row, long column) override;
    RangePtr Cells() override;
    RangePtr Rows(long row) override;
    RangePtr Rows(const std::string& rows) override;
    RangePtr Columns(long column) override;
    IPageSetup& PageSetup() override { return pageSetup_; }
    void PrintOut() override;

    // Throws when the instance quit, the workbook closed or the sheet was deleted.
    LiveSheet enter(const char* member);
    void markDeleted() { deleted_ = true; }
    // Makes the sheet the active one of its workbook and its workbook the active one.
    static void activate(const LiveSheet& live);
    RangePtr rangeOf(const CellArea& area);

private:
    std::weak_ptr<AppCore> core_;
    std::weak_ptr<BookState> book_;
    Worksheet* sheet_;
    bool deleted_ = false;
    PageSetupObject pageSetup_;
};

// Throws when a protected sheet refuses a change of its cells or their format.
void checkEditable(const Worksheet& sheet);

RangePtr makeRange(std::shared_ptr<WorksheetObject> sheet, const CellArea& area);
// The area of a range text; throws AutomationError naming the text when it is none.
CellArea areaOf(const std::string& reference);
CellArea cellArea(long row, long column); // throws when outside the sheet

// Sheet lookups shared by the application and workbook members (no call counting).
WorksheetPtr sheetByIndex(AppCore& core, const std::shared_ptr<BookState>& book, int index);
WorksheetPtr sheetByName(AppCore& core, const std::shared_ptr<BookState>& book,
                         const std::string& name);

class Workbooks : public IWorkbooks {
public:
    explicit Workbooks(std::shared_ptr<AppCore> core) : core_(std::move(core)) {}
    WorkbookPtr Add() override;
    WorkbookPtr Open(const std::string& path) override;
    int Count() override;
    WorkbookPtr Item(int index) override;

private:
    std::shared_ptr<AppCore> core_;
};

class Window : public IWindow {
public:
    explicit Window(std::shared_ptr<AppCore> core) : core_(std::move(core)) {}
    int Zoom() override;
    void SetZoom(int percent) override;

private:
    std::shared_ptr<AppCore> core_;
};

// A workbook file as Workbooks.Open hands it out: at least one sheet, every formula with a
// result. Throws FileError.
std::unique_ptr<Workbook> readForOpening(const std::string& path);

// Absolute, normalised form of a path, for comparing the paths of open workbooks.
std::string normalisedPath(const std::string& path);

} // namespace sheet::embedded
