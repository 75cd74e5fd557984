#include "monitor/alert.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "monitor/controls.h"
#include "monitor/notify_icon_record.h"
#include "monitor/sound.h"
#include "util/core.h"
#include "util/platform.h"
#include "util/time_text.h"

namespace {

// "新债权"
const char balloon_title[] = "\xD0\xC2\xD5\xAE\xC8\xA8";
// "有新债权"
const char balloon_suffix[] = "\xD3\xD0\xD0\xC2\xD5\xAE\xC8\xA8";
const int balloon_timeout = 5;
const uint32_t icon_version = 3;  // NOTIFYICON_VERSION
const int beep_hz = 999;
const int beep_ms = 50;
const int beep_gap_ms = 500;

// Copies at most size - 1 bytes and ends them with a zero byte.
template <size_t size>
void copy_cut(char (&field)[size], const Text& text) {
  const size_t n = std::min(text.bytes.size(), size - 1);
  std::memcpy(field, text.bytes.data(), n);
  field[n] = '\0';
}

}  // namespace

bool show_balloon(const Text& title, const Text& text, int kind, int timeout) {
  NotifyIconRecord record{};
  record.size = sizeof record;
  record.window = main_window_handle();
  record.id = notify_icon_id;
  record.timeout_or_version = icon_version;
  if (!shell_notify_icon(notify_set_version, record)) return false;
  if (kind < 0 || kind > 3) kind = balloon_info;
  // NIF_INFO alone leaves the icon's image, tooltip and callback as they are.
  record.flags = flag_info;
  copy_cut(record.info_title, title);
  copy_cut(record.info, text);
  record.info_flags = static_cast<uint32_t>(kind);
  record.timeout_or_version = static_cast<uint32_t>(timeout);
  return shell_notify_icon(notify_modify, record);
}

void alert_new_listing() {
  const Text time_of_day = 时间_到文本(std::nullopt, 1, 3);
  show_balloon(balloon_title, join_texts({time_of_day, balloon_suffix}), balloon_info,
               balloon_timeout);
  // The box is read now, so that ticking it during a watch counts at the next alert.
  if (is_sound_alert_checked()) {
    beep(beep_hz, beep_ms);
    pause_ms(beep_gap_ms);
    beep(beep_hz, beep_ms);
    pause_ms(beep_gap_ms);
    beep(beep_hz, beep_ms);
  }
}
