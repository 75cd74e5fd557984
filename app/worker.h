#pragma once
// The worker thread of a watch.

#include <cstdint>

// Starts a thread running the watch's monitor loop, and lets go of its handle
// at once: nothing ever waits for it. False when no thread could be made.
bool start_worker(int32_t watch);
