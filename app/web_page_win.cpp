#include <windows.h>

#include <shellapi.h>

#include "app/web_page.h"

void open_web_page(const Text& address) {
  ShellExecuteA(nullptr, "open", text_pointer(address), "", "", SW_SHOWNORMAL);
}
