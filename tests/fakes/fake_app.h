#pragma once
// Stand-ins for the window's own operations, the icon handles, the worker
// thread and the browser, so the handlers run without a window. Calls are
// recorded in fake_platform().events beside those of the other fakes.

#include <cstdint>
#include <vector>

#include "util/values.h"

struct FakeApp {
  Text button_caption;
  bool edit_disabled = false;
  int position = 0;  // what get_window_position reads
  bool visible = true;
  std::vector<int> positions_written;
  Bytes icon_file;  // what window_icon_bytes gives
  uintptr_t next_icon = 0x100;
  std::vector<uintptr_t> icons_made;
  std::vector<uintptr_t> icons_destroyed;
  bool worker_starts = true;
  std::vector<int32_t> workers_started;
  std::vector<Text> pages_opened;
};

FakeApp& fake_app();
// Back to a fresh state, with the program's real icon file and the other fakes reset.
void reset_fake_app();
