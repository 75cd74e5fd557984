#pragma once
// The link between the start/stop toggle and the worker.

#include <atomic>
#include <cstdint>

// 1 while a watch runs; 0 when none runs or a stop has been asked for.
// Written by the window thread only, with single whole-word stores.
extern std::atomic<int32_t> monitoring_flag;

// Each start opens a watch with a number of its own, so that a worker still
// finishing the pass of a stopped watch ends at its next flag test even when a
// new watch has set the flag to 1 again: never two workers polling.
// Window thread: sets the flag to 1 and returns the new watch's number.
int32_t begin_watch();
// Window thread: sets the flag to 0.
void end_watch();
// Worker: the flag test at the top of each pass.
bool watch_goes_on(int32_t watch);
