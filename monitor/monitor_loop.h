#pragma once
// The worker's loop: poll the listing page once per interval until the watch ends.

#include <cstdint>

// The least interval in seconds; a smaller value in the field is replaced by it.
inline constexpr int least_interval_s = 15;

// Runs passes of watch `watch` (from begin_watch) until its flag test fails.
// Worker thread only.
void monitor_loop(int32_t watch);

// The pause after a pass for an interval in seconds: the milliseconds, kept
// within the 32-bit range instead of wrapping into a short or absent pause.
int pause_for_interval(int seconds);
