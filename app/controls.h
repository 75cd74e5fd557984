#pragma once
// Control operations the window thread alone uses; the ones the worker uses
// too are in monitor/controls.h.

#include "util/values.h"

// True greys the interval field and blocks input; false enables it again.
void set_edit_disabled(bool disabled);
// The start/stop button's caption, which is also the toggle's state.
Text get_button_caption();
void set_button_caption(const Text& caption);
