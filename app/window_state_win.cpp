#include <windows.h>

#include <vector>

#include "app/icon_image.h"
#include "app/main_window.h"
#include "app/window_state.h"

namespace {

HWND main_window() {
  return reinterpret_cast<HWND>(main_window_handles().window);
}

const int program_icon_id = 1;

Bytes resource_bytes(const char* name, const char* type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, name, type);
  if (resource == nullptr) return Bytes();
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) return Bytes();
  return make_bytes(std::string(static_cast<const char*>(data), SizeofResource(module, resource)));
}

void centre_window(HWND window) {
  RECT outer;
  if (!GetWindowRect(window, &outer)) return;
  const int x = centred_origin(GetSystemMetrics(SM_CXSCREEN), outer.right - outer.left);
  const int y = centred_origin(GetSystemMetrics(SM_CYSCREEN), outer.bottom - outer.top);
  if (x == outer.left && y == outer.top) return;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int get_window_position() {
  if (IsIconic(main_window())) return position_minimised;
  if (IsZoomed(main_window())) return position_maximised;
  return position_normal;
}

void set_window_position(int value) {
  HWND window = main_window();
  if (!IsWindowVisible(window)) return;
  switch (clamp_window_position(value)) {
    case position_normal: ShowWindow(window, SW_SHOWNORMAL); break;
    case position_centred:
      if (IsIconic(window) || IsZoomed(window)) ShowWindow(window, SW_RESTORE);
      centre_window(window);
      break;
    case position_minimised: ShowWindow(window, SW_MINIMIZE); break;
    default: ShowWindow(window, SW_MAXIMIZE); break;
  }
}

void set_window_visible(bool visible) {
  ShowWindow(main_window(), visible ? SW_SHOW : SW_HIDE);
}

// The program's icon is kept as an icon group resource; the ICO file is rebuilt from it.
Bytes window_icon_bytes() {
  const Bytes group = resource_bytes(MAKEINTRESOURCEA(program_icon_id), MAKEINTRESOURCEA(14));
  std::vector<Bytes> images;
  for (int id : icon_group_ids(group)) {
    images.push_back(resource_bytes(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3)));  // RT_ICON
  }
  return assemble_ico(group, images);
}
