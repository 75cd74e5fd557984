#include <windows.h>

#include "util/codepage_engine.h"

int convert_to_wide(int code_page, const char* text, int length, uint16_t* wide, int wide_units) {
  return MultiByteToWideChar(static_cast<UINT>(code_page), 0, text, length,
                             reinterpret_cast<LPWSTR>(wide), wide_units);
}

int convert_from_wide(int code_page, const uint16_t* wide, int length, char* text, int text_size) {
  return WideCharToMultiByte(static_cast<UINT>(code_page), 0, reinterpret_cast<LPCWCH>(wide),
                             length, text, text_size, nullptr, nullptr);
}
