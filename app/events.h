#pragma once
// The main window's event handlers. Window thread only.

#include <cstdint>

void on_main_window_created();
// Any size change; only minimising acts.
void on_main_window_resized();
// Code 1 left click, 2 left double-click, 3 right click or context menu.
void on_notify_icon_event(int code);
void on_credit_label_released();
void on_start_stop_clicked();
// The shell's taskbar was recreated and has forgotten the notification icon.
void on_taskbar_created();

// The event code of the mouse message the shell passes with the icon's
// callback; 0 when that message is no event.
int notify_event_code(uint32_t mouse_message);
