#include "app/window_state.h"

int clamp_window_position(int value) {
  if (value < position_normal) return position_normal;
  return value > position_maximised ? position_maximised : value;
}

// Integer division rounds toward zero, also for a window larger than the screen.
int centred_origin(int screen, int size) {
  return (screen - size) / 2;
}
