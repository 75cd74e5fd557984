#pragma once
// The clock, the message box and the pause: the only platform services of the
// text layer. Windows builds define them in platform_win.cpp; tests use fakes.

#include "util/values.h"

// The local date and time now, in whole seconds.
DateTime current_time();
// A modal message box with no owner window; returns the button pressed. Window thread only.
int show_message(const Text& text, int flags, const Text& title);
// Suspends the calling thread; a negative count is no pause. Messages are not processed.
void pause_ms(int ms);
