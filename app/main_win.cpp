#include <windows.h>

#include "app/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!create_main_window()) return 1;
  const int code = run_message_loop();
  // The process ends at once: a worker waiting for the server or pausing ends with it.
  ExitProcess(static_cast<UINT>(code));
}
