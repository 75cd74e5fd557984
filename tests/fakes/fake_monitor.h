#pragma once
// Stand-ins for what the worker reaches outside itself: the window's controls,
// the page request, the shell's notification icon and the speaker. Each call
// is recorded, also in fake_platform().events, so tests can check the order.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "monitor/notify_icon_record.h"
#include "util/values.h"

struct FetchRecord {
  Text url;
  bool only_url;  // every other parameter left out
};

struct NotifyRecord {
  uint32_t operation;
  NotifyIconRecord record;
};

struct FakeMonitor {
  Text edit_text = "15";
  bool sound_alert_checked = true;
  uintptr_t window = 0x1234;
  std::deque<Bytes> pages;  // one per request; an empty queue answers with nothing
  std::vector<FetchRecord> fetches;
  std::function<void()> on_fetch;  // runs during each request
  std::vector<NotifyRecord> notifications;
  bool shell_accepts_version = true;
  bool shell_accepts_balloon = true;
  std::vector<std::pair<int, int>> beeps;  // frequency, duration
  std::vector<Text> edit_writes;
};

FakeMonitor& fake_monitor();
// Back to a fresh state, the fake platform included.
void reset_fake_monitor();
