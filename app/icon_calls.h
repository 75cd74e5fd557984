#pragma once
// Icon handles for the notification area. Every handle made here is counted,
// so that a long session can be checked for icons that were never destroyed.

#include <cstdint>

#include "util/values.h"

// A 16x16 icon from one image of an ICO file; 0 when none can be made.
uintptr_t create_small_icon(const Bytes& image_bits);
void destroy_icon(uintptr_t icon);

struct IconCounts {
  int made;
  int destroyed;
};
IconCounts icon_counts();
