#include <windows.h>

#include "app/icon_calls.h"

namespace {
IconCounts counts{};
}

uintptr_t create_small_icon(const Bytes& image_bits) {
  if (image_bits.data.empty()) return 0;
  HICON icon = CreateIconFromResourceEx(
      reinterpret_cast<PBYTE>(const_cast<char*>(image_bits.data.data())),
      static_cast<DWORD>(image_bits.data.size()), TRUE, 0x00030000, 16, 16, LR_DEFAULTCOLOR);
  if (icon != nullptr) ++counts.made;
  return reinterpret_cast<uintptr_t>(icon);
}

void destroy_icon(uintptr_t icon) {
  if (icon != 0 && DestroyIcon(reinterpret_cast<HICON>(icon))) ++counts.destroyed;
}

IconCounts icon_counts() {
  return counts;
}
