#include "window_driver.h"

#include <shellapi.h>

#include <thread>

#include "monitor/notify_icon_record.h"

bool pump_until(const std::function<bool()>& done, int timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void pump_for(int ms) {
  pump_until([] { return false; }, ms);
}

std::string text_of(HWND window) {
  char buffer[512] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

std::string class_of(HWND window) {
  char buffer[256] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

RECT placement_of(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  HWND parent = GetParent(window);
  if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int count_open_handles() {
  int open = 0;
  for (uintptr_t value = 4; value < 0x20000; value += 4) {
    DWORD flags;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++open;
  }
  return open;
}

bool notify_icon_registered(HWND window) {
  // Only a registered icon can be modified; an empty change leaves it as it is.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = window;
  data.uID = notify_icon_id;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

SeenMessageBox click_and_dismiss_box(HWND button, const std::string& title, HWND main_window) {
  SeenMessageBox seen;
  std::thread watcher([&] {
    for (int tries = 0; tries < 250; ++tries) {
      HWND box = FindWindowA("#32770", title.c_str());
      if (box != nullptr && IsWindowVisible(box)) {
        seen.found = true;
        seen.title = text_of(box);
        seen.text = text_of(GetDlgItem(box, 0xFFFF));  // a message box's text control
        seen.owner_thread_windows_enabled = IsWindowEnabled(main_window) != FALSE;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(20);
    }
    // Never leave the click hanging: close any box of the window thread, whatever its title.
    EnumThreadWindows(
        GetWindowThreadProcessId(main_window, nullptr),
        [](HWND window, LPARAM) -> BOOL {
          if (class_of(window) == "#32770") PostMessageA(window, WM_COMMAND, IDOK, 0);
          return TRUE;
        },
        0);
  });
  // The click runs the handler on this thread; it returns when the box is closed.
  SendMessageA(button, BM_CLICK, 0, 0);
  watcher.join();
  return seen;
}
