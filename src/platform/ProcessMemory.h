#pragma once

// How the process keeps its memory.
namespace ProcessMemory {

// Memory a show frees goes back to the system. The C library gives each
// thread that allocates a heap of its own, and lets big blocks freed once
// come from the heap afterwards, where they stay with the process: the prize
// desk's table of 30,000 rows, written at every stop off the screen's thread,
// grew a million-name show by a hundred megabytes. All threads share one
// heap, and blocks of a megabyte or more are always mapped on their own.
// Call before any thread starts.
void keepLean();

} // namespace ProcessMemory
