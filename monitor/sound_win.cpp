#include <windows.h>

#include "monitor/sound.h"

void beep(int frequency_hz, int duration_ms) {
  Beep(static_cast<DWORD>(frequency_hz), static_cast<DWORD>(duration_ms));
}
