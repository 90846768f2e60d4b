// Ctrl+C and termination requests for the batch runner. The signal only raises a flag; the run
// sees it between two workbooks and cancels as a failed run does, so that nothing half-written
// is left behind.
#pragma once

namespace batch {

// Catches SIGINT and SIGTERM from now on (where the system has them).
void catchInterrupts();
// True once SIGINT or SIGTERM arrived.
bool interruptRequested();

} // namespace batch
