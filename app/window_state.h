#pragma once
// The main window's state: position, visibility and icon image. Window thread.

#include "util/values.h"

// Values of get_window_position and set_window_position.
inline constexpr int position_normal = 0;
inline constexpr int position_centred = 1;  // only written: a centred window reads 0
inline constexpr int position_minimised = 2;
inline constexpr int position_maximised = 3;

// 2 when minimised, else 3 when maximised, else 0.
int get_window_position();
// Acts only while the window is visible; the value is clamped to 0..3.
void set_window_position(int value);
// False hides the window, taskbar button included; true shows it in its current state.
void set_window_visible(bool visible);
// The main window's icon image: the whole ICO file.
Bytes window_icon_bytes();

int clamp_window_position(int value);
// Where a window of `size` starts when centred on a screen of `screen`.
int centred_origin(int screen, int size);
