#pragma once
// Stand-ins for the clock, the message box and the pause: a settable clock,
// and a record of every box and pause instead of showing or sleeping.

#include <functional>
#include <string>
#include <vector>

#include "util/values.h"

struct MessageRecord {
  Text text;
  int flags;
  Text title;
};

struct FakePlatform {
  DateTime now;
  std::vector<MessageRecord> messages;
  std::vector<int> pauses;  // as asked, before the negative ones count as 0
  // Runs at each pause after it is recorded; tests use it to act "meanwhile".
  std::function<void(int ms)> on_pause;
  int message_result = 1;  // IDOK
  // Every call to a faked platform operation, in order, e.g. "pause 500"; the
  // fakes of other layers write here too, so tests can check the order of both.
  std::vector<std::string> events;
};

FakePlatform& fake_platform();
// Back to a fresh state: the clock at 2014-03-01 08:05:09, nothing recorded.
void reset_fake_platform();
