// Giving freed memory back to the system. A run reads and builds workbooks of hundreds of
// megabytes in many small pieces; once its instances are gone the allocator keeps that memory
// for itself unless asked to return it.
#pragma once

namespace sheet {

// Returns the allocator's free memory to the system where the C library can; otherwise does
// nothing. Takes a moment on a large heap: call it after a run or a closed workbook, not often.
void releaseFreedMemory();

} // namespace sheet
