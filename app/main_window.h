#pragma once
// The program's one top-level window and its controls.

#include <cstdint>

struct MainWindowHandles {
  uintptr_t window;          // 窗口
  uintptr_t credit_label;    // 标签2
  uintptr_t sound_box;       // 选择框1
  uintptr_t interval_edit;   // 编辑框1
  uintptr_t interval_label;  // 标签1
  uintptr_t start_stop;      // 按钮_开启监控
};

inline constexpr int main_window_width = 287;
inline constexpr int main_window_height = 109;

// Creates the main window centred on the screen, with its controls, and shows
// it; false when it could not be made. Window thread.
bool create_main_window();
// Runs the window thread's message loop until the main window is destroyed.
int run_message_loop();
const MainWindowHandles& main_window_handles();
