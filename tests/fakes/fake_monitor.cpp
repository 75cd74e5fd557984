#include "fakes/fake_monitor.h"

#include "fakes/fake_platform.h"
#include "monitor/controls.h"
#include "monitor/sound.h"
#include "web/fetch_page.h"

namespace {
void log_event(const std::string& event) {
  fake_platform().events.push_back(event);
}
}  // namespace

FakeMonitor& fake_monitor() {
  static FakeMonitor fake;
  return fake;
}

void reset_fake_monitor() {
  fake_monitor() = FakeMonitor();
  reset_fake_platform();
}

Text get_edit_text() {
  log_event("get_edit_text");
  return fake_monitor().edit_text;
}

void set_edit_text(const Text& text) {
  log_event("set_edit_text " + text.bytes);
  fake_monitor().edit_text = text;
  fake_monitor().edit_writes.push_back(text);
}

bool is_sound_alert_checked() {
  log_event("is_sound_alert_checked");
  return fake_monitor().sound_alert_checked;
}

uintptr_t main_window_handle() {
  return fake_monitor().window;
}

void beep(int frequency_hz, int duration_ms) {
  log_event("beep " + std::to_string(frequency_hz) + " " + std::to_string(duration_ms));
  fake_monitor().beeps.emplace_back(frequency_hz, duration_ms);
}

Bytes fetch_page(const Text& url, int method, const Text* post_text, Text* cookies,
                 Text* new_cookies, Text* extra_headers, Text* redirect_url, bool no_redirect,
                 Bytes* post_bytes, const Text* proxy, Text* raw_headers) {
  log_event("fetch " + url.bytes);
  const bool only_url = method == 0 && post_text == nullptr && cookies == nullptr &&
                        new_cookies == nullptr && extra_headers == nullptr &&
                        redirect_url == nullptr && !no_redirect && post_bytes == nullptr &&
                        proxy == nullptr && raw_headers == nullptr;
  fake_monitor().fetches.push_back({url, only_url});
  if (fake_monitor().on_fetch) fake_monitor().on_fetch();
  if (fake_monitor().pages.empty()) return Bytes();
  Bytes page = fake_monitor().pages.front();
  fake_monitor().pages.pop_front();
  return page;
}
