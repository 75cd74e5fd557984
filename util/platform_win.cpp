#include <windows.h>

#include "util/core.h"
#include "util/platform.h"

DateTime current_time() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  // Whole seconds: the milliseconds are left out.
  return make_date_time(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

int show_message(const Text& text, int flags, const Text& title) {
  return MessageBoxA(nullptr, text_pointer(text), text_pointer(title),
                     static_cast<UINT>(message_box_style(flags)));
}

void pause_ms(int ms) {
  Sleep(static_cast<DWORD>(pause_length(ms)));
}
