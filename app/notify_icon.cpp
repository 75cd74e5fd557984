#include "app/notify_icon.h"

#include <algorithm>
#include <cstring>

#include "app/icon_calls.h"
#include "app/icon_image.h"
#include "monitor/controls.h"
#include "monitor/notify_icon_record.h"

namespace {

const size_t tooltip_limit = 62;  // bytes kept of a longer tooltip

uintptr_t shown_icon = 0;

// The notification area shows the 16x16, 32-bit image of the program's icon.
uintptr_t make_notify_icon(const Bytes& icon_image) {
  if (icon_image.data.empty()) return 0;
  const Bytes bits = icon_image_bits(icon_image, 16, 16, 32);
  return bits.data.empty() ? 0 : create_small_icon(bits);
}

NotifyIconRecord registration(uintptr_t icon, const Text& tooltip) {
  NotifyIconRecord record{};
  record.size = sizeof record;
  record.window = main_window_handle();
  record.id = notify_icon_id;
  const size_t tip_size = std::min(tooltip.bytes.size(), tooltip_limit);
  std::memcpy(record.tip, tooltip.bytes.data(), tip_size);
  if (icon != 0) {
    record.flags = flag_message | flag_icon | flag_tip;
    record.callback_message = notify_icon_callback;
    record.icon = icon;
  }
  return record;
}

}  // namespace

uintptr_t notify_icon_handle() {
  return shown_icon;
}

void set_notify_icon(const Bytes& icon_image, const Text& tooltip) {
  const uintptr_t new_icon = make_notify_icon(icon_image);
  const NotifyIconRecord record = registration(new_icon, tooltip);
  // The shell's answer is not looked at: the handle is remembered all the same.
  if (shown_icon != 0) {
    shell_notify_icon(new_icon != 0 ? notify_modify : notify_delete, record);
    destroy_icon(shown_icon);
  } else if (new_icon != 0) {
    shell_notify_icon(notify_add, record);
  }
  shown_icon = new_icon;
}

void register_notify_icon_again(const Bytes& icon_image, const Text& tooltip) {
  const uintptr_t new_icon = make_notify_icon(icon_image);
  if (new_icon != 0) shell_notify_icon(notify_add, registration(new_icon, tooltip));
  if (shown_icon != 0) destroy_icon(shown_icon);
  shown_icon = new_icon;
}
