#pragma once
// The new-listing alert: a balloon on the notification icon and, with the
// sound alert on, three beeps. Runs on the worker thread and keeps no state.

#include "util/values.h"

// Balloon kinds: 0 none, 1 information, 2 warning, 3 error.
inline constexpr int balloon_info = 1;

void alert_new_listing();

// Shows one balloon on the notification icon; true when the shell accepted the
// request. A kind outside 0..3 shows the information icon.
bool show_balloon(const Text& title, const Text& text, int kind, int timeout);
