#include <windows.h>

#include "app/worker.h"
#include "monitor/monitor_loop.h"

namespace {

DWORD WINAPI monitor_thread_entry(LPVOID parameter) {
  monitor_loop(static_cast<int32_t>(reinterpret_cast<intptr_t>(parameter)));
  return 0;
}

}  // namespace

bool start_worker(int32_t watch) {
  HANDLE thread = CreateThread(nullptr, 0, monitor_thread_entry,
                               reinterpret_cast<LPVOID>(static_cast<intptr_t>(watch)), 0, nullptr);
  if (thread == nullptr) return false;
  CloseHandle(thread);
  return true;
}
