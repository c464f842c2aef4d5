#pragma once

// How a thread shares the processor with the screen's thread.
namespace ThreadPriority {

// The calling thread runs only when a processor would otherwise be idle, so
// work handed off the GUI thread never takes a processor from it: on a
// two-core laptop a stop's worker, the pool's digest and the winners table's
// writer would otherwise delay the frames they were moved off to spare.
void runWhenIdle();

} // namespace ThreadPriority
