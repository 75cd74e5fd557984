#include "app/events.h"

#include "app/controls.h"
#include "app/notify_icon.h"
#include "app/texts.h"
#include "app/web_page.h"
#include "app/window_state.h"
#include "app/worker.h"
#include "monitor/controls.h"
#include "monitor/monitor_loop.h"
#include "monitor/watch.h"
#include "util/core.h"
#include "util/platform.h"

namespace {
const int exclamation_box = 48;  // MB_ICONEXCLAMATION
}

int notify_event_code(uint32_t mouse_message) {
  switch (mouse_message) {
    case 0x0202: return 1;  // WM_LBUTTONUP
    case 0x0203: return 2;  // WM_LBUTTONDBLCLK
    case 0x0205: return 3;  // WM_RBUTTONUP
    case 0x007B: return 3;  // WM_CONTEXTMENU
    default: return 0;
  }
}

void on_main_window_created() {
  set_notify_icon(window_icon_bytes(), notify_icon_tooltip());
}

void on_main_window_resized() {
  if (get_window_position() != position_minimised) return;
  // A fresh handle replaces the registered one, then the window leaves the
  // screen and the taskbar: the icon is the way back.
  set_notify_icon(window_icon_bytes(), notify_icon_tooltip());
  set_window_visible(false);
}

void on_notify_icon_event(int code) {
  if (code != 2) return;
  set_window_visible(true);
  set_window_position(position_centred);
}

void on_taskbar_created() {
  // Without this a minimised window would have no icon and no taskbar button to come back by.
  register_notify_icon_again(window_icon_bytes(), notify_icon_tooltip());
}

void on_credit_label_released() {
  open_web_page(maker_address());
}

void on_start_stop_clicked() {
  if (text_compare(get_button_caption(), caption_start()) != 0) {
    set_button_caption(caption_start());
    set_edit_disabled(false);
    end_watch();
    set_window_position(position_normal);
    return;
  }
  if (parse_int(get_edit_text()) < least_interval_s) {
    show_message(short_interval_warning(), exclamation_box, short_interval_title());
    return;
  }
  const int32_t watch = begin_watch();
  if (!start_worker(watch)) {
    end_watch();
    return;
  }
  set_edit_disabled(true);
  set_button_caption(caption_stop());
}
