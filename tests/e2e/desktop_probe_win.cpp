// A console program that runs in the same Wine desktop as the program and
// looks at it, or acts on it, as a user's eye and hand would: windows inside a
// Wine virtual desktop are not reachable by name from X, so only a program of
// the desktop can find them. One command per run; it prints what it saw as
// "key value" lines in UTF-8 and exits 0 when the command succeeded.
//
//   state                 the program's window and controls, the balloon, the taskbar
//   points                screen points of the caption buttons and controls, to click on
//   wait CONDITION [ms]   wait until window|no-window|shown|off-centre|hidden|balloon|no-balloon
//                         holds; prints the Unix time at which it first held, and the window
//   watch PATH SECONDS    append every balloon shown or hidden to PATH until the program's
//                         window has gone or the time is up
//   memory                the program process's memory counters (GetProcessMemoryInfo)
//   icon-registered HWND  whether the shell still holds icon 100 of that window
//   click-start           the start/stop button's click, without the mouse
//   wait-window [ms], wait-balloon [ms]   short forms of wait

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const wchar_t program_class[] = L"OrvaneMainWindow";
const int start_stop_id = 105;
const int interval_edit_id = 103;
const int sound_box_id = 102;
const UINT notify_icon_id = 100;
const UINT answer_ms = 2000;

HWND program_window() {
  return FindWindowW(program_class, nullptr);
}

std::string utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

// The text as the window itself answers WM_GETTEXT: for a tooltip that is the
// tip it shows, which GetWindowText would not ask another process for.
std::wstring text_of(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0],
                      reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, answer_ms, &result);
  return buffer;
}

std::wstring class_of(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

// A shown balloon is a visible tooltip window with the balloon style.
HWND visible_balloon() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL {
        if (class_of(window) == L"tooltips_class32" && IsWindowVisible(window) &&
            (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON)) {
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND tray_window() {
  return FindWindowW(L"Shell_TrayWnd", nullptr);
}

// Wine's taskbar shows a start button at its left end and then one button
// for each shown top-level window of the desktop; they are drawn by the
// taskbar and carry no text, so they can only be counted.
int taskbar_window_buttons() {
  HWND tray = tray_window();
  if (tray == nullptr) return 0;
  struct Count {
    LONG tray_left;
    int buttons;
  } count{0, 0};
  RECT r;
  GetWindowRect(tray, &r);
  count.tray_left = r.left;
  EnumChildWindows(
      tray,
      [](HWND child, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Count*>(data);
        RECT b;
        GetWindowRect(child, &b);
        if (IsWindowVisible(child) && class_of(child) == L"Button" && b.left > c->tray_left) {
          ++c->buttons;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.buttons;
}

// Wine's taskbar puts the notification icons at its right end, one small
// icon plus a border of two pixels on each side apart.
POINT rightmost_tray_icon(HWND tray) {
  RECT r;
  GetWindowRect(tray, &r);
  const int icon_width = GetSystemMetrics(SM_CXSMICON) + 4;
  return POINT{r.right - icon_width / 2, (r.top + r.bottom) / 2};
}

// The middle of the caption button that answers hit_code, found by asking the
// window itself where its parts are, in screen coordinates.
bool caption_button_point(HWND window, LRESULT hit_code, POINT* point) {
  RECT r;
  GetWindowRect(window, &r);
  auto hit_at = [window](LONG x, LONG y) {
    DWORD_PTR hit = 0;
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, answer_ms,
                        &hit);
    return static_cast<LRESULT>(hit);
  };
  // The caption buttons sit in the right half of the caption bar.
  const LONG caption_middle =
      r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSIZE) / 2;
  LONG first = -1;
  LONG last = -1;
  for (LONG x = (r.left + r.right) / 2; x < r.right; ++x) {
    if (hit_at(x, caption_middle) == hit_code) {
      if (first < 0) first = x;
      last = x;
    }
  }
  if (first < 0) return false;
  const LONG x = (first + last) / 2;
  LONG top = caption_middle;
  LONG bottom = caption_middle;
  while (top > r.top && hit_at(x, top - 1) == hit_code)
    --top;
  while (bottom < r.bottom && hit_at(x, bottom + 1) == hit_code)
    ++bottom;
  *point = POINT{x, (top + bottom) / 2};
  return true;
}

POINT centre_of(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void print_rect(const char* key, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  std::printf("%s %ld %ld %ld %ld\n", key, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void print_point(const char* key, POINT p) {
  std::printf("%s %ld %ld\n", key, p.x, p.y);
}

void print_window_placement(HWND window) {
  print_rect("rect", window);
  std::printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
  std::printf("iconic %d\n", IsIconic(window) ? 1 : 0);
}

int print_state() {
  std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  HWND tray = tray_window();
  std::printf("tray_shown %d\n", tray != nullptr && IsWindowVisible(tray) ? 1 : 0);
  if (tray != nullptr) {
    print_rect("tray", tray);
    print_point("tray_icon", rightmost_tray_icon(tray));
    std::printf("taskbar_buttons %d\n", taskbar_window_buttons());
  }
  HWND balloon = visible_balloon();
  std::printf("balloon %d\n", balloon != nullptr ? 1 : 0);
  if (balloon != nullptr) {
    print_rect("balloon_rect", balloon);
    std::printf("balloon_text %s\n", utf8(text_of(balloon)).c_str());
  }
  HWND window = program_window();
  if (window == nullptr) {
    std::printf("window none\n");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf("window %llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  std::printf("pid %lu\n", pid);
  print_window_placement(window);
  const ULONGLONG before = GetTickCount64();
  DWORD_PTR result = 0;
  const bool answered =
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, answer_ms, &result) != 0;
  std::printf("responsive %d %llu\n", answered ? 1 : 0, GetTickCount64() - before);
  std::printf("title %s\n", utf8(text_of(window)).c_str());
  HWND edit = GetDlgItem(window, interval_edit_id);
  std::printf("button %s\n", utf8(text_of(GetDlgItem(window, start_stop_id))).c_str());
  std::printf("edit %s\n", utf8(text_of(edit)).c_str());
  std::printf("edit_enabled %d\n", IsWindowEnabled(edit) ? 1 : 0);
  DWORD_PTR checked = 0;
  SendMessageTimeoutW(GetDlgItem(window, sound_box_id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                      answer_ms, &checked);
  std::printf("sound_checked %d\n", checked == BST_CHECKED ? 1 : 0);
  return 0;
}

int print_points() {
  HWND window = program_window();
  if (window == nullptr || !IsWindowVisible(window) || IsIconic(window)) {
    std::printf("window not shown\n");
    return 1;
  }
  POINT p;
  if (caption_button_point(window, HTMINBUTTON, &p)) print_point("minimise_box", p);
  if (caption_button_point(window, HTCLOSE, &p)) print_point("close_box", p);
  print_point("start_button", centre_of(GetDlgItem(window, start_stop_id)));
  print_point("edit_point", centre_of(GetDlgItem(window, interval_edit_id)));
  print_point("sound_point", centre_of(GetDlgItem(window, sound_box_id)));
  HWND tray = tray_window();
  if (tray != nullptr) print_point("tray_icon", rightmost_tray_icon(tray));
  return 0;
}

// Unix time, the clock the test and the listing server's log share.
double unix_now() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return static_cast<double>(ticks.QuadPart - 116444736000000000ULL) / 1e7;
}

bool centred(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r.left == (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2 &&
         r.top == (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
}

bool condition_holds(const std::string& condition) {
  HWND window = program_window();
  if (condition == "window") return window != nullptr;
  if (condition == "no-window") return window == nullptr;
  if (condition == "shown")
    return window != nullptr && IsWindowVisible(window) && !IsIconic(window);
  if (condition == "off-centre") {
    return window != nullptr && IsWindowVisible(window) && !centred(window);
  }
  if (condition == "hidden") return window != nullptr && !IsWindowVisible(window);
  if (condition == "balloon") return visible_balloon() != nullptr;
  if (condition == "no-balloon") return visible_balloon() == nullptr;
  return false;
}

int wait_for(const std::string& condition, int timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  while (!condition_holds(condition)) {
    if (GetTickCount64() >= deadline) {
      std::printf("timeout %s\n", condition.c_str());
      return 1;
    }
    Sleep(20);
  }
  std::printf("held %s %.3f\n", condition.c_str(), unix_now());
  HWND window = program_window();
  if (window != nullptr) print_window_placement(window);
  std::printf("taskbar_buttons %d\n", taskbar_window_buttons());
  return 0;
}

// Runs beside a whole session, so that no balloon goes unseen between two
// looks: one tab-separated line per change, written at once.
int watch_balloons(const char* path, int seconds) {
  FILE* out = std::fopen(path, "a");
  if (out == nullptr) return 1;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  HWND shown = nullptr;
  bool window_seen = false;
  ULONGLONG window_gone_since = 0;
  std::fprintf(out, "watching\t%.3f\n", unix_now());
  std::fflush(out);
  while (GetTickCount64() < deadline) {
    HWND balloon = visible_balloon();
    if (balloon != nullptr && shown == nullptr) {
      const double now = unix_now();
      RECT r;
      GetWindowRect(balloon, &r);
      std::fprintf(out, "shown\t%.3f\t%ld %ld %ld %ld\t%s\n", now, r.left, r.top, r.right - r.left,
                   r.bottom - r.top, utf8(text_of(balloon)).c_str());
      std::fflush(out);
    } else if (balloon == nullptr && shown != nullptr) {
      std::fprintf(out, "hidden\t%.3f\n", unix_now());
      std::fflush(out);
    }
    shown = balloon;
    if (program_window() != nullptr) {
      window_seen = true;
      window_gone_since = 0;
    } else if (window_seen) {
      if (window_gone_since == 0) window_gone_since = GetTickCount64();
      if (GetTickCount64() - window_gone_since > 1000) break;
    }
    Sleep(20);
  }
  std::fprintf(out, "done\t%.3f\n", unix_now());
  std::fclose(out);
  return 0;
}

int print_memory() {
  HWND window = program_window();
  DWORD pid = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &pid) == 0) return 1;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return 1;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  const BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
  CloseHandle(process);
  if (!ok) return 1;
  std::printf("working_set %llu\n", static_cast<unsigned long long>(counters.WorkingSetSize));
  std::printf("peak_working_set %llu\n",
              static_cast<unsigned long long>(counters.PeakWorkingSetSize));
  std::printf("pagefile %llu\n", static_cast<unsigned long long>(counters.PagefileUsage));
  return 0;
}

// Only a registered icon can be modified; a change without flags leaves it as it is.
int print_icon_registered(const char* window_text) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd =
      reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(window_text, nullptr, 10)));
  data.uID = notify_icon_id;
  std::printf("icon_registered %d\n", Shell_NotifyIconW(NIM_MODIFY, &data) ? 1 : 0);
  return 0;
}

int click_start() {
  HWND button = GetDlgItem(program_window(), start_stop_id);
  if (button == nullptr) return 1;
  PostMessageW(button, BM_CLICK, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  const std::string command = argc > 1 ? argv[1] : "state";
  auto number = [argc, argv](int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
  };
  if (command == "state") return print_state();
  if (command == "points") return print_points();
  if (command == "wait" && argc > 2) return wait_for(argv[2], number(3, 10000));
  if (command == "watch" && argc > 3) return watch_balloons(argv[2], number(3, 0));
  if (command == "memory") return print_memory();
  if (command == "icon-registered" && argc > 2) return print_icon_registered(argv[2]);
  if (command == "click-start") return click_start();
  if (command == "wait-window") return wait_for("window", number(2, 10000));
  if (command == "wait-balloon") return wait_for("balloon", number(2, 10000));
  std::fprintf(stderr,
               "usage: desktop_probe state | points | wait CONDITION [ms] | watch PATH SECONDS |"
               " memory | icon-registered HWND | click-start\n");
  return 2;
}
