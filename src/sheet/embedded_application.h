// The embedded spreadsheet component's application: the object layer of automation.h over the
// in-memory model, with copy and paste between instances through one process-wide clipboard.
#pragma once

#include "sheet/automation.h"
#include "sheet/model.h"

#include <memory>
#include <string>

namespace sheet {

class EmbeddedApplication;
class FaultPlan;

// Whoever shows an instance's workbooks (the workbook window) listens here. Called on the
// thread that drives the instance.
class ApplicationObserver {
public:
    virtual ~ApplicationObserver() = default;
    virtual void visibleChanged(EmbeddedApplication& app, bool visible) = 0;
    // Cells, sheets or workbooks of the instance changed; a shown window repaints.
    virtual void contentChanged(EmbeddedApplication& app) = 0;
    // The instance quits; a window showing it closes. With alerts on, the window may read the
    // unsaved workbooks (workbookSaved) and ask about them first.
    virtual void quitting(EmbeddedApplication& app) = 0;
    // The instance goes away without Quit (its last reference was dropped). Its workbooks can
    // still be read during the call; a window that keeps showing them must copy them.
    virtual void released(EmbeddedApplication& app) { (void)app; }
};

// PrintOut of a worksheet goes here. Throws AutomationError when there is no printer.
class Printer {
public:
    virtual ~Printer() = default;
    virtual void print(const Workbook& workbook, const Worksheet& sheet) = 0;
    // What PrintOut calls: `path` is the workbook's file (empty when never saved), which
    // headers and footers may name. Printers that have no use for it print as above.
    virtual void printFile(const Workbook& workbook, const Worksheet& sheet,
                           const std::string& path) {
        (void)path;
        print(workbook, sheet);
    }
};

// Process-wide settings of the embedded component, set once by the program at start-up.
struct EmbeddedEnvironment {
    std::shared_ptr<ApplicationObserver> observer; // may be null (headless)
    std::shared_ptr<Printer> printer;              // null: PrintOut throws "no printer"
};
void setEmbeddedEnvironment(EmbeddedEnvironment environment);
const EmbeddedEnvironment& embeddedEnvironment();

namespace embedded {
struct AppCore;
class Workbooks;
class Window;
} // namespace embedded

// One instance of the component. Workbooks, sheets and ranges handed out by it stay usable
// while their workbook is open; after Quit every member of every one of them throws.
class EmbeddedApplication : public IApplication {
public:
    EmbeddedApplication();
    ~EmbeddedApplication() override;
    EmbeddedApplication(const EmbeddedApplication&) = delete;
    EmbeddedApplication& operator=(const EmbeddedApplication&) = delete;

    bool DisplayAlerts() override;
    void SetDisplayAlerts(bool on) override;
    bool Visible() override;
    void SetVisible(bool on) override;
    void SetCutCopyMode(bool on) override;

    IWorkbooks& Workbooks() override;
    WorkbookPtr ActiveWorkbook() override;
    WorksheetPtr ActiveSheet() override;
    IWindow& ActiveWindow() override;

    RangePtr Range(const std::string& reference) override;
    RangePtr Cells(long row, long column) override;
    RangePtr Cells() override;
    WorksheetPtr Worksheets(int index) override;
    WorksheetPtr Worksheets(const std::string& name) override;

    void Quit() override;
    void ReadAhead(const std::vector<std::string>& paths) override;

    // Read-only view for the workbook window and the viewer. These never throw, never count
    // as calls for fault injection and never notify the observer. Indexes are 0-based, in the
    // order the workbooks were added or opened.
    bool hasQuit() const;
    bool isVisible() const;
    bool alertsOn() const;
    int workbookCount() const; // 0 after Quit
    const Workbook& workbookModel(int index) const;
    std::string workbookPath(int index) const; // empty for a workbook never saved
    bool workbookSaved(int index) const;
    int activeWorkbookIndex() const; // -1 when no workbook is open
    // How many Workbooks.Open calls found their workbook already read ahead.
    int workbooksOpenedReadAhead() const;

    // Test seam: members named in the plan throw at the planned call (embedded_faults.h).
    // One plan may be shared by several instances; it then counts their calls together.
    void setFaultPlan(std::shared_ptr<FaultPlan> plan);

private:
    std::shared_ptr<embedded::AppCore> core_;
    std::unique_ptr<embedded::Workbooks> workbooks_;
    std::unique_ptr<embedded::Window> window_;
};

// A new, separate instance (the factory behind "create instance").
std::shared_ptr<EmbeddedApplication> createEmbeddedApplication();

} // namespace sheet
