#pragma once
// The main window as the worker reaches it. The program's window defines
// these; each is carried out on the window thread while the worker waits.

#include <cstdint>

#include "util/values.h"

// The interval field's text, as the user sees it.
Text get_edit_text();
// Replaces the interval field's text.
void set_edit_text(const Text& text);
// Whether the sound-alert box shows the checked state.
bool is_sound_alert_checked();
// The main window's handle, the owner of the notification icon.
uintptr_t main_window_handle();
