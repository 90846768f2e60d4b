// The spreadsheet application object layer.
//
// The consolidation engines drive workbooks through these interfaces only, member by member,
// the way one drives a spreadsheet application by automation: an application holds workbooks,
// a workbook holds worksheets, a worksheet hands out ranges. The embedded component
// (embedded_application.h) implements them over the in-memory workbook model; a backend that
// drives a real spreadsheet application would implement the same interfaces.
//
// Every member may throw AutomationError; callers catch around groups of calls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace sheet {

// The one exception type of the object layer. what() is a readable message (UTF-8).
class AutomationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A cell value as the object layer hands it out: empty, number, text (UTF-8) or boolean.
using Variant = std::variant<std::monostate, double, std::string, bool>;

// Direction codes of Range.End.
enum class XlDirection { Up = 3, Down = 4, ToLeft = 1, ToRight = 2 };

class IApplication;
class IWorkbook;
class IWorksheet;
class IRange;
using ApplicationPtr = std::shared_ptr<IApplication>;
using WorkbookPtr = std::shared_ptr<IWorkbook>;
using WorksheetPtr = std::shared_ptr<IWorksheet>;
using RangePtr = std::shared_ptr<IRange>;

// A rectangle of cells, whole rows or whole columns of one worksheet.
class IRange {
public:
    virtual ~IRange() = default;

    // Value and Formula of the top-left cell; assignment fills every cell of the range.
    // A formula assigned to several cells moves its relative references by each cell's offset.
    virtual Variant Value() = 0;
    virtual void SetValue(const Variant& value) = 0;
    virtual std::string Formula() = 0;
    virtual void SetFormula(const std::string& formula) = 0;

    // Puts the range on the process-wide clipboard (values and formats).
    virtual void Copy() = 0;
    // Makes the range's sheet active and its top-left cell the selected cell.
    virtual void Select() = 0;

    // The last non-empty cell from the top-left cell in a direction (Ctrl+arrow).
    virtual RangePtr End(XlDirection direction) = 0;
    virtual long Row() = 0;    // first row, 1-based
    virtual long Column() = 0; // first column, 1-based

    virtual int InteriorColorIndex() = 0;
    virtual void SetInteriorColorIndex(int index) = 0;

    // Widths in character units, heights in points, of the first column or row.
    virtual double ColumnWidth() = 0;
    virtual void SetColumnWidth(double width) = 0;
    virtual double RowHeight() = 0;
    virtual void SetRowHeight(double height) = 0;
};

// Printing and paper settings of a worksheet. Margins in inches; Zoom 10..400 in percent,
// 0 when the sheet is fitted to pages instead, FitToPagesWide and FitToPagesTall pages then
// (0 in one direction: as many pages as needed). PaperSize is 0 when the sheet names no paper
// and prints on the printer's default; setting 0 names none.
class IPageSetup {
public:
    enum Orientation { Portrait = 1, Landscape = 2 };

    virtual ~IPageSetup() = default;
    virtual int Orientation() = 0;
    virtual void SetOrientation(int orientation) = 0;
    virtual double LeftMargin() = 0;
    virtual void SetLeftMargin(double inches) = 0;
    virtual double RightMargin() = 0;
    virtual void SetRightMargin(double inches) = 0;
    virtual double FooterMargin() = 0;
    virtual void SetFooterMargin(double inches) = 0;
    virtual int Zoom() = 0;
    virtual void SetZoom(int percent) = 0;
    virtual int PaperSize() = 0;
    virtual void SetPaperSize(int paperSize) = 0;
    virtual int FitToPagesWide() = 0;
    virtual void SetFitToPagesWide(int pages) = 0;
    virtual int FitToPagesTall() = 0;
    virtual void SetFitToPagesTall(int pages) = 0;
};

class IWorksheet {
public:
    virtual ~IWorksheet() = default;

    virtual std::string Name() = 0;
    virtual void SetName(const std::string& name) = 0;
    virtual int Index() = 0; // 1-based position in its workbook
    virtual WorkbookPtr Parent() = 0;

    virtual void Select() = 0;
    virtual void Activate() = 0;
    virtual void Delete() = 0;
    virtual void Unprotect(const std::string& password = {}) = 0;
    // Copies the whole sheet behind `after`, which may belong to another workbook of the same
    // application; the copy becomes the active sheet of that workbook.
    virtual void Copy(IWorksheet& after) = 0;
    // Pastes the clipboard with its top-left cell at this sheet's selected cell.
    virtual void Paste() = 0;

    virtual RangePtr Range(const std::string& reference) = 0;
    virtual RangePtr Cells(long row, long column) = 0;
    virtual RangePtr Cells() = 0; // all cells
    virtual RangePtr Rows(long row) = 0;
    virtual RangePtr Rows(const std::string& rows) = 0; // "7:15"
    virtual RangePtr Columns(long column) = 0;

    virtual IPageSetup& PageSetup() = 0;
    virtual void PrintOut() = 0;
};

class IWorkbook {
public:
    virtual ~IWorkbook() = default;

    virtual WorksheetPtr Worksheets(int index) = 0; // 1-based
    virtual WorksheetPtr Worksheets(const std::string& name) = 0;
    WorksheetPtr Sheets(int index) { return Worksheets(index); }
    WorksheetPtr Sheets(const std::string& name) { return Worksheets(name); }
    virtual int SheetsCount() = 0;
    virtual WorksheetPtr ActiveSheet() = 0;

    virtual std::string FullName() = 0; // the path it was opened from or saved to; empty if new
    virtual bool Saved() = 0;           // no change since it was opened or saved
    // Writes the workbook as .xlsx at `path`, whatever its extension.
    virtual void SaveAs(const std::string& path) = 0;
    // Closes without saving; with alerts off nothing is asked.
    virtual void Close() = 0;
};

class IWorkbooks {
public:
    virtual ~IWorkbooks() = default;
    virtual WorkbookPtr Add() = 0; // a new workbook with one sheet, "Sheet1"
    virtual WorkbookPtr Open(const std::string& path) = 0;
    virtual int Count() = 0;
    virtual WorkbookPtr Item(int index) = 0; // 1-based
};

class IWindow {
public:
    virtual ~IWindow() = default;
    virtual int Zoom() = 0;
    virtual void SetZoom(int percent) = 0;
};

class IApplication {
public:
    virtual ~IApplication() = default;

    virtual bool DisplayAlerts() = 0;
    virtual void SetDisplayAlerts(bool on) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool on) = 0;
    // false ends copy mode and empties the clipboard.
    virtual void SetCutCopyMode(bool on) = 0;

    virtual IWorkbooks& Workbooks() = 0;
    virtual WorkbookPtr ActiveWorkbook() = 0;
    virtual WorksheetPtr ActiveSheet() = 0;
    virtual IWindow& ActiveWindow() = 0;

    // Shortcuts to the active sheet.
    virtual RangePtr Range(const std::string& reference) = 0;
    virtual RangePtr Cells(long row, long column) = 0;
    virtual RangePtr Cells() = 0;
    virtual WorksheetPtr Worksheets(int index) = 0;
    virtual WorksheetPtr Worksheets(const std::string& name) = 0;

    // Discards every open workbook without writing. Any member called afterwards throws.
    virtual void Quit() = 0;

    // No automation member but a hint: the workbooks the caller is about to open through
    // Workbooks().Open, in that order, by the very paths it will pass. An implementation may
    // read them ahead; what each Open gives, and when and how it fails, stays the same. An empty
    // list ends reading ahead. Never throws, never counts as a call.
    virtual void ReadAhead(const std::vector<std::string>& paths) { (void)paths; }
};

// "Create instance": a new, separate application. Throws AutomationError when no spreadsheet
// component is available.
using ApplicationFactory = std::function<ApplicationPtr()>;

} // namespace sheet
