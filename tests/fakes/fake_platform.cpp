#include "fakes/fake_platform.h"

#include <string>

#include "util/core.h"
#include "util/platform.h"

FakePlatform& fake_platform() {
  static FakePlatform platform;
  return platform;
}

void reset_fake_platform() {
  fake_platform() = FakePlatform();
  fake_platform().now = make_date_time(2014, 3, 1, 8, 5, 9);
}

DateTime current_time() {
  return fake_platform().now;
}

int show_message(const Text& text, int flags, const Text& title) {
  fake_platform().messages.push_back({text, message_box_style(flags), title});
  return fake_platform().message_result;
}

void pause_ms(int ms) {
  fake_platform().pauses.push_back(ms);
  fake_platform().events.push_back("pause " + std::to_string(ms));
  if (fake_platform().on_pause) fake_platform().on_pause(ms);
}
