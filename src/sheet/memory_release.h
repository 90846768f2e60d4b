// Giving freed memory back to the system. A run reads and builds workbooks of hundreds of
// megabytes in many small pieces; once its instances are gone the allocator keeps that memory
// for itself unless asked to return it.
#pragma once

namespace sheet {

// Returns the allocator's free memory to the system where the C library can; otherwise does
// nothing. Takes a moment on a large heap: call it after a run or a closed workbook, not often.
void releaseFreedMemory();

// Lets the allocator keep up to 64 MB of freed memory for the next allocations instead of
// returning it to the system whenever the top of its heap is free. A run frees and allocates
// large amounts in quick turns (the terms of a long sum formula, a workbook just pasted), and
// memory handed back is faulted in again page by page at the next turn. These are the largest
// limits the C library moves to on its own as large blocks come and go; set at the start, they
// hold from the first allocation. The main thread's heap also starts with those 64 MB free at
// its top and advised for large pages, so that a result built on the main thread (as the batch
// runner builds it) grows with one fault per 2 MB instead of one per 4 KB page; untouched, they
// take no memory. Threads allocate from heaps of their own and get the limits only.
// releaseFreedMemory still returns everything. Linux with glibc only; call it once at the start
// of main, before any thread.
void keepFreedMemoryForReuse();

} // namespace sheet
