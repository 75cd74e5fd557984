// The control operations. The worker calls some of them: SendMessage hands
// each to the window thread, which owns the controls, and waits for it.

#include <windows.h>

#include <string>

#include "app/controls.h"
#include "app/main_window.h"
#include "monitor/controls.h"

namespace {

HWND control(uintptr_t handle) {
  return reinterpret_cast<HWND>(handle);
}

Text window_text(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return Text();
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      SendMessageA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]));
  buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return make_text(std::move(buffer));
}

}  // namespace

Text get_edit_text() {
  return window_text(control(main_window_handles().interval_edit));
}

void set_edit_text(const Text& text) {
  SendMessageA(control(main_window_handles().interval_edit), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(text_pointer(text)));
}

bool is_sound_alert_checked() {
  return SendMessageA(control(main_window_handles().sound_box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void set_edit_disabled(bool disabled) {
  EnableWindow(control(main_window_handles().interval_edit), disabled ? FALSE : TRUE);
}

Text get_button_caption() {
  return window_text(control(main_window_handles().start_stop));
}

void set_button_caption(const Text& caption) {
  SetWindowTextA(control(main_window_handles().start_stop), text_pointer(caption));
}
