// One batch run: the project file read and validated as the save button does, the
// consolidation list made, the project's method (or the sheet check) run through the engine,
// and the outcome turned into an exit status.
#pragma once

#include "batch/batch_console.h"
#include "batch/batch_options.h"

namespace batch {

enum ExitStatus : int {
    kSucceeded = 0,     // a result was saved, or the sheet check found nothing
    kRunFailed = 1,     // cancelled, not saved, or the sheet check found errors
    kBadArguments = 2,  // the command line
    kBadProject = 3,    // the project file is missing, unreadable or refused
    kBadDataFolder = 4, // the data folder or a listed workbook
};

int runBatch(const BatchOptions& options, BatchConsole& console);

// The whole program: the arguments parsed (without the program name), then runBatch.
int runCommandLine(const QStringList& arguments, BatchConsole& console);

} // namespace batch
