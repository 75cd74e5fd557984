// A console program that runs in the same Wine desktop as the program and
// looks at it, or acts on it, as a user's eye and hand would: windows inside a
// Wine virtual desktop are not X windows, so only a program of the desktop can
// find them. One command per run; it prints what it saw and exits 0 when the
// command succeeded.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char program_class[] = "OrvaneMainWindow";

HWND program_window() {
  return FindWindowA(program_class, nullptr);
}

HWND start_stop_button(HWND window) {
  return GetDlgItem(window, 105);
}

std::string text_of(HWND window) {
  char buffer[512] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// A shown balloon is a visible tooltip window with the balloon style.
HWND visible_balloon() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "tooltips_class32") == 0 && IsWindowVisible(window) &&
            (GetWindowLongA(window, GWL_STYLE) & 0x40 /* TTS_BALLOON */)) {
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

template <typename Condition>
bool wait_for(Condition condition, int timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(50);
  }
  return true;
}

int print_state() {
  HWND window = program_window();
  if (window == nullptr) {
    std::printf("window none\n");
    return 1;
  }
  RECT r;
  GetWindowRect(window, &r);
  std::printf("window %d %d %d %d visible %d iconic %d\n", static_cast<int>(r.left),
              static_cast<int>(r.top), static_cast<int>(r.right - r.left),
              static_cast<int>(r.bottom - r.top), IsWindowVisible(window) ? 1 : 0,
              IsIconic(window) ? 1 : 0);
  std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  std::printf("button %s\n", text_of(start_stop_button(window)).c_str());
  std::printf("balloon %d\n", visible_balloon() != nullptr ? 1 : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  const std::string command = argc > 1 ? argv[1] : "state";
  const int timeout_ms = argc > 2 ? std::atoi(argv[2]) : 10000;
  if (command == "wait-window") {
    const bool found = wait_for([] { return program_window() != nullptr; }, timeout_ms);
    std::printf("window %s\n", found ? "found" : "none");
    return found ? 0 : 1;
  }
  if (command == "click-start") {
    HWND button = start_stop_button(program_window());
    if (button == nullptr) return 1;
    PostMessageA(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "wait-balloon") {
    const bool shown = wait_for([] { return visible_balloon() != nullptr; }, timeout_ms);
    std::printf("balloon %s\n", shown ? "shown" : "none");
    return shown ? 0 : 1;
  }
  if (command == "state") return print_state();
  std::fprintf(stderr, "usage: desktop_probe wait-window|click-start|wait-balloon [ms]|state\n");
  return 2;
}
