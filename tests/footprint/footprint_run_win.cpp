// How much the program takes while it watches: the real main window and its
// worker, in this process, polling the bundled listing server with an alert in
// every pass. tools/footprint runs it under Wine.
//
//   footprint_run.exe LOG PASSES
//
// LOG is the listing server's request log (a Z:\ path under Wine); each listing
// request there begins a pass. The run presses the start button with the
// interval at 15 and takes its figures in the pause of every pass: the
// process's CPU time, working set, private bytes and open handles, and the
// balloons seen. The first pass, which also loads WinInet, is shown apart;
// PASSES passes after it are measured one by one.

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/web_page.h"
#include "util/values.h"
#include "window_driver.h"

// The credit label is never pressed here; the browser stays out.
void open_web_page(const Text&) {}

namespace {

struct Sample {
  double cpu_ms;        // user and kernel time of the whole process so far
  double measuring_ms;  // of that, the handle count's own probing
  double wall_s;        // since the start button was pressed
  SIZE_T working_set;
  SIZE_T peak_working_set;
  SIZE_T private_bytes;
  SIZE_T peak_private_bytes;
  int handles;
  int balloons;
};

double process_cpu_ms() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

PROCESS_MEMORY_COUNTERS_EX memory_now() {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                       sizeof memory);
  return memory;
}

// The private bytes are the commit charge. Wine fills only PagefileUsage with
// it (from the kernel's count of the process's anonymous pages), leaves
// PrivateUsage at 0 and reports no real peak, so the run keeps its own peak
// from a look every second.
SIZE_T private_bytes(const PROCESS_MEMORY_COUNTERS_EX& memory) {
  return memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
}

SIZE_T private_peak = 0;

void note_private_bytes(const PROCESS_MEMORY_COUNTERS_EX& memory) {
  if (private_bytes(memory) > private_peak) private_peak = private_bytes(memory);
}

Sample take_sample(ULONGLONG started, int balloons) {
  Sample sample{};
  const PROCESS_MEMORY_COUNTERS_EX memory = memory_now();
  note_private_bytes(memory);
  sample.working_set = memory.WorkingSetSize;
  sample.peak_working_set = memory.PeakWorkingSetSize;
  sample.private_bytes = private_bytes(memory);
  sample.peak_private_bytes = private_peak;
  sample.wall_s = static_cast<double>(GetTickCount64() - started) / 1000.0;
  sample.cpu_ms = process_cpu_ms();
  sample.handles = count_open_handles();
  sample.measuring_ms = process_cpu_ms() - sample.cpu_ms;
  sample.balloons = balloons;
  return sample;
}

// The listing requests the server has logged so far.
int listing_requests(const char* log_path) {
  std::ifstream log(log_path);
  int count = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.find("\"GET /yuexitong/ ") != std::string::npos) ++count;
  }
  return count;
}

// The shell's balloon is a visible tooltip window with the balloon style.
bool balloon_shown() {
  bool shown = false;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "tooltips_class32" && IsWindowVisible(window) &&
            (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON)) {
          *reinterpret_cast<bool*>(result) = true;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&shown));
  return shown;
}

// Carries out the window's messages for `ms`, sleeping between them as the
// program's own message loop does, so that the waiting costs no more here.
void idle_for(DWORD ms) {
  const ULONGLONG until = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
  }
}

double kib(SIZE_T bytes) {
  return static_cast<double>(bytes) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: footprint_run LOG PASSES\n");
    return 2;
  }
  const char* log_path = argv[1];
  const int passes = std::atoi(argv[2]);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  if (!create_main_window()) {
    std::fprintf(stderr, "footprint_run: the main window could not be made\n");
    return 1;
  }
  const MainWindowHandles& handles = main_window_handles();
  HWND window = reinterpret_cast<HWND>(handles.window);
  HWND edit = reinterpret_cast<HWND>(handles.interval_edit);
  HWND button = reinterpret_cast<HWND>(handles.start_stop);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("15"));

  // The window alone for one interval: what the waiting, and this run's own
  // looks at the log (each second) and for a balloon (once), cost without the watch.
  idle_for(2000);
  const Sample idle_begin = take_sample(GetTickCount64(), 0);
  const ULONGLONG idle_started = GetTickCount64();
  for (int second = 0; second < 15; ++second) {
    idle_for(1000);
    note_private_bytes(memory_now());
    if (second == 5) balloon_shown();
    listing_requests(log_path);
  }
  const Sample idle_end = take_sample(idle_started, 0);

  // Requests while no watch runs come from another program polling the same
  // server; its passes would mix with ours.
  if (listing_requests(log_path) != 0) {
    std::printf("another program polls the listing server: no figures\n");
    DestroyWindow(window);
    return 3;
  }
  const ULONGLONG started = GetTickCount64();
  SendMessageA(button, BM_CLICK, 0, 0);
  // The balloon shows about 2 s after a request and stays 10 s: one look 4 s
  // after the request sees the pass's alert. The figures are taken 8 s after
  // it, while the worker sleeps, so that the handle probe, which keeps the
  // window thread busy for a while, never holds up the worker.
  std::vector<Sample> samples;
  std::vector<ULONGLONG> request_times;
  int balloons = 0;
  ULONGLONG balloon_due = 0;
  ULONGLONG sample_due = 0;
  bool mixed = false;
  const ULONGLONG deadline = started + static_cast<ULONGLONG>(passes + 2) * 30000;
  while (static_cast<int>(samples.size()) < passes + 1 && !mixed && GetTickCount64() < deadline) {
    idle_for(1000);
    note_private_bytes(memory_now());
    const ULONGLONG now = GetTickCount64();
    if (balloon_due != 0 && now >= balloon_due) {
      if (balloon_shown()) ++balloons;
      balloon_due = 0;
    }
    if (sample_due != 0 && now >= sample_due) {
      samples.push_back(take_sample(started, balloons));
      sample_due = 0;
    }
    const int seen = listing_requests(log_path);
    if (seen > static_cast<int>(request_times.size())) {
      // Two requests within one interval: another program polls the server too.
      mixed = seen > static_cast<int>(request_times.size()) + 1 ||
              (!request_times.empty() && now - request_times.back() < 14500);
      request_times.push_back(now);
      balloon_due = now + 4000;
      sample_due = now + 8000;
    }
  }
  SendMessageA(button, BM_CLICK, 0, 0);  // stop: the worker ends after its pause

  const double idle_cpu = idle_end.cpu_ms - idle_begin.cpu_ms - idle_begin.measuring_ms;
  std::printf(
      "idle window, %.0f s: %.0f ms CPU; working set %.0f KiB, private %.0f KiB, "
      "%d open handles\n",
      idle_end.wall_s, idle_cpu, kib(idle_end.working_set), kib(idle_end.private_bytes),
      idle_end.handles);
  if (mixed) {
    std::printf("another program polls the listing server: no figures\n");
    DestroyWindow(window);
    return 3;
  }
  if (static_cast<int>(samples.size()) < passes + 1) {
    std::printf("only %d listing requests in time; the server or the program is not working\n",
                static_cast<int>(request_times.size()));
    DestroyWindow(window);
    return 1;
  }
  const Sample& first = samples.front();
  const Sample& last = samples.back();
  // The first pass also loads and starts WinInet.
  std::printf(
      "first pass (WinInet loaded): %.0f ms CPU; working set %.0f KiB, private %.0f KiB, "
      "%d open handles, %d alert\n",
      first.cpu_ms - idle_end.cpu_ms - idle_end.measuring_ms, kib(first.working_set),
      kib(first.private_bytes), first.handles, first.balloons);
  std::printf("%4s %8s %9s %12s %12s %8s %8s\n", "pass", "cpu_ms", "length_s", "work_set_kib",
              "private_kib", "handles", "alerts");
  double cpu_total = 0, cpu_most = 0, cpu_least = 1e300;
  for (int pass = 1; pass <= passes; ++pass) {
    const Sample& begin = samples[static_cast<size_t>(pass) - 1];
    const Sample& end = samples[static_cast<size_t>(pass)];
    // The handle probe of the earlier sample is this run's own work, not the program's.
    const double cpu = end.cpu_ms - begin.cpu_ms - begin.measuring_ms;
    cpu_total += cpu;
    if (cpu > cpu_most) cpu_most = cpu;
    if (cpu < cpu_least) cpu_least = cpu;
    std::printf("%4d %8.0f %9.1f %12.0f %12.0f %8d %8d\n", pass + 1, cpu, end.wall_s - begin.wall_s,
                kib(end.working_set), kib(end.private_bytes), end.handles,
                end.balloons - begin.balloons);
  }
  std::printf("passes measured: %d (2 to %d), alerts seen in them: %d\n", passes, passes + 1,
              last.balloons - first.balloons);
  // Wine counts CPU time in ticks of 10 ms: the total over all passes is the figure to go by.
  std::printf(
      "CPU: %.0f ms over the %d passes, %.1f ms per pass (least %.0f, most %.0f); "
      "a pass lasts %.1f s\n",
      cpu_total, passes, cpu_total / passes, cpu_least, cpu_most,
      (last.wall_s - first.wall_s) / passes);
  std::printf("working set: peak %.0f KiB, final %.0f KiB\n", kib(last.peak_working_set),
              kib(last.working_set));
  std::printf("private bytes: peak %.0f KiB, final %.0f KiB\n", kib(last.peak_private_bytes),
              kib(last.private_bytes));
  std::printf("open handles: %d before the start, %d after the first pass, %d at the end\n",
              idle_end.handles, first.handles, last.handles);
  DestroyWindow(window);
  idle_for(200);
  return 0;
}
