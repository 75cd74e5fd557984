#include "fakes/fake_app.h"

#include <fstream>
#include <sstream>
#include <string>

#include "app/controls.h"
#include "app/icon_calls.h"
#include "app/texts.h"
#include "app/web_page.h"
#include "app/window_state.h"
#include "app/worker.h"
#include "fakes/fake_monitor.h"
#include "fakes/fake_platform.h"

namespace {

void log_event(const std::string& event) {
  fake_platform().events.push_back(event);
}

Bytes read_file(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return make_bytes(content.str());
}

}  // namespace

FakeApp& fake_app() {
  static FakeApp fake;
  return fake;
}

void reset_fake_app() {
  reset_fake_monitor();
  fake_app() = FakeApp();
  fake_app().button_caption = caption_start();
  fake_app().icon_file = read_file(PROGRAM_ICON_PATH);
}

void set_edit_disabled(bool disabled) {
  log_event(disabled ? "set_edit_disabled true" : "set_edit_disabled false");
  fake_app().edit_disabled = disabled;
}

Text get_button_caption() {
  return fake_app().button_caption;
}

void set_button_caption(const Text& caption) {
  log_event("set_button_caption");
  fake_app().button_caption = caption;
}

int get_window_position() {
  return fake_app().position;
}

void set_window_position(int value) {
  log_event("set_window_position " + std::to_string(value));
  fake_app().positions_written.push_back(value);
}

void set_window_visible(bool visible) {
  log_event(visible ? "set_window_visible true" : "set_window_visible false");
  fake_app().visible = visible;
}

Bytes window_icon_bytes() {
  return fake_app().icon_file;
}

uintptr_t create_small_icon(const Bytes& image_bits) {
  if (image_bits.data.empty()) return 0;
  const uintptr_t icon = fake_app().next_icon++;
  fake_app().icons_made.push_back(icon);
  return icon;
}

void destroy_icon(uintptr_t icon) {
  fake_app().icons_destroyed.push_back(icon);
}

IconCounts icon_counts() {
  return {static_cast<int>(fake_app().icons_made.size()),
          static_cast<int>(fake_app().icons_destroyed.size())};
}

bool start_worker(int32_t watch) {
  log_event("start_worker");
  if (fake_app().worker_starts) fake_app().workers_started.push_back(watch);
  return fake_app().worker_starts;
}

void open_web_page(const Text& address) {
  log_event("open_web_page " + address.bytes);
  fake_app().pages_opened.push_back(address);
}
