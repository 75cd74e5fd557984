#pragma once
// Driving the real main window from inside the test process, as the window
// thread: messages are pumped while the test waits. Windows builds only.

#include <windows.h>

#include <functional>
#include <string>

// Processes this thread's messages until `done` holds or `timeout_ms` passes.
bool pump_until(const std::function<bool()>& done, int timeout_ms);
void pump_for(int ms);

std::string text_of(HWND window);
std::string class_of(HWND window);
// The window's rectangle in its parent's client coordinates (screen ones for a top-level window).
RECT placement_of(HWND window);

// Open handles of this process, counted by probing handle values: Wine 8
// answers GetProcessHandleCount with 0.
int count_open_handles();

// Whether the shell knows an icon of `window` with the identifier 100.
bool notify_icon_registered(HWND window);

struct SeenMessageBox {
  bool found = false;
  std::string title;
  std::string text;
  bool owner_thread_windows_enabled = true;  // the main window while the box was up
};

// Clicks `button` (the handler runs on this thread) while another thread waits
// for a message box titled `title`, reads it and presses its OK button.
SeenMessageBox click_and_dismiss_box(HWND button, const std::string& title, HWND main_window);
