// The embedded spreadsheet component's application: the object layer of automation.h over the
// in-memory model, with copy and paste between instances through one process-wide clipboard.
#pragma once

#include "sheet/automation.h"
#include "sheet/model.h"

#include <memory>
#include <string>

namespace sheet {

class EmbeddedApplication;

// Whoever shows an instance's workbooks (the workbook window) listens here. Called on the
// thread that drives the instance.
class ApplicationObserver {
public:
    virtual ~ApplicationObserver() = default;
    virtual void visibleChanged(EmbeddedApplication& app, bool visible) = 0;
    // Cells, sheets or workbooks of the instance changed; a shown window repaints.
    virtual void contentChanged(EmbeddedApplication& app) = 0;
    // The instance quits; a window showing it closes. With alerts on, `unsaved` lists the
    // workbooks never saved, so the window may ask about them first.
    virtual void quitting(EmbeddedApplication& app) = 0;
};

// PrintOut of a worksheet goes here. Throws AutomationError when there is no printer.
class Printer {
public:
    virtual ~Printer() = default;
    virtual void print(const Workbook& workbook, const Worksheet& sheet) = 0;
};

// Process-wide settings of the embedded component, set once by the program at start-up.
struct EmbeddedEnvironment {
    std::shared_ptr<ApplicationObserver> observer; // may be null (headless)
    std::shared_ptr<Printer> printer;              // null: PrintOut throws "no printer"
};
void setEmbeddedEnvironment(EmbeddedEnvironment environment);
const EmbeddedEnvironment& embeddedEnvironment();

// A new, separate instance (the factory behind "create instance").
std::shared_ptr<EmbeddedApplication> createEmbeddedApplication();

} // namespace sheet
