#include "util/codepage.h"

#include <cstring>
#include <string>
#include <vector>

#include "util/codepage_engine.h"
#include "util/core.h"
#include "util/cutting.h"

Text utf8_to_ansi(const Text& text) {
  Bytes wide = multibyte_to_wide(text);
  return wide_to_multibyte(wide, code_page_936);
}

Bytes multibyte_to_wide(const Text& text, int code_page) {
  const char* input = text_pointer(text);
  int units = convert_to_wide(code_page, input, -1, nullptr, 0);
  Bytes wide = zero_bytes(2 * units);
  // Bytes keep their data in a std::string, so the units are written through a copy.
  std::vector<uint16_t> buffer(static_cast<size_t>(units > 0 ? units : 0));
  convert_to_wide(code_page, input, -1, buffer.empty() ? nullptr : buffer.data(), units);
  if (!buffer.empty()) std::memcpy(&wide.data[0], buffer.data(), wide.data.size());
  return wide;
}

Text wide_to_multibyte(const Bytes& wide, int code_page) {
  // Any Bytes may arrive here: read whole units only, and end them with a zero
  // unit so that the conversion never runs past the value.
  std::vector<uint16_t> units(wide.data.size() / 2 + 1, 0);
  if (wide.data.size() >= 2) std::memcpy(units.data(), wide.data.data(), wide.data.size() / 2 * 2);
  const uint16_t* input = wide.data.empty() ? nullptr : units.data();
  int size = convert_from_wide(code_page, input, -1, nullptr, 0);
  Text buffer = filled_text(size);
  if (size > 0) convert_from_wide(code_page, input, -1, &buffer.bytes[0], size);
  return make_text(std::move(buffer.bytes));
}
