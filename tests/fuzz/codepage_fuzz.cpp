// The conversion from UTF-8 to code page 936 and its two steps, over arbitrary
// bytes. Fields: text, second text, code page (number). The whole input, zero
// bytes included, is also handed to wide_to_multibyte as UTF-16 units.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "util/codepage.h"

namespace {

bool is_ascii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Whether `text` is well-formed UTF-8 (no surrogates, nothing above U+10FFFF).
bool is_utf8(const std::string& text) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = s[i];
    size_t more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b < 0x80) {
      more = 0;
    } else if (b >= 0xC2 && b <= 0xDF) {
      more = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      more = 2;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      more = 3;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (n - i - 1 < more) return false;
    for (size_t k = 1; k <= more; ++k) {
      const unsigned char lo = k == 1 ? low : 0x80;
      const unsigned char hi = k == 1 ? high : 0xBF;
      if (s[i + k] < lo || s[i + k] > hi) return false;
    }
    i += more + 1;
  }
  return true;
}

std::u16string units_of(const Bytes& wide) {
  std::u16string units(wide.data.size() / 2, u'\0');
  std::memcpy(&units[0], wide.data.data(), units.size() * 2);
  return units;
}

void check_wide(const std::string& text, int code_page) {
  const Bytes wide = multibyte_to_wide(make_text(text), code_page);
  fuzz_check(wide.data.size() % 2 == 0, "multibyte_to_wide: whole UTF-16 units");
  if (text.empty()) {
    fuzz_check(wide.data.empty(), "multibyte_to_wide: an empty text gives nothing");
    return;
  }
  if (wide.data.empty()) return;  // a code page the converter does not know
  const std::u16string units = units_of(wide);
  fuzz_check(units.back() == 0 && units.find(u'\0') == units.size() - 1,
             "multibyte_to_wide: one terminating zero unit, and only at the end");
}

void check_utf8(const std::string& text) {
  const Text value = make_text(text);
  const std::string ansi = utf8_to_ansi(value).bytes;
  fuzz_check(ansi.size() <= text.size(),
             "utf8_to_ansi: no character takes more bytes in code page 936 than in UTF-8");
  if (is_ascii(text)) {
    fuzz_check(ansi == text, "utf8_to_ansi: pure ASCII comes out unchanged");
    fuzz_check(
        wide_to_multibyte(multibyte_to_wide(value, code_page_936), code_page_936).bytes == text,
        "code page 936: pure ASCII goes there and back unchanged");
  }

  // Through UTF-16 and back to UTF-8: well-formed output, a fixed point after one pass.
  const std::string again = wide_to_multibyte(multibyte_to_wide(value), code_page_utf8).bytes;
  fuzz_check(is_utf8(again), "UTF-8 to UTF-16 and back gives well-formed UTF-8");
  if (is_utf8(text)) fuzz_check(again == text, "well-formed UTF-8 goes there and back unchanged");
  fuzz_check(wide_to_multibyte(multibyte_to_wide(make_text(again)), code_page_utf8).bytes == again,
             "UTF-8 made by the conversion stays as it is");

  // What comes out in code page 936 reads back as itself.
  const Text ansi_text = make_text(ansi);
  fuzz_check(
      wide_to_multibyte(multibyte_to_wide(ansi_text, code_page_936), code_page_936).bytes == ansi,
      "code page 936 made by the conversion goes there and back unchanged");
}

void check_lone_byte(const std::string& before, const std::string& after) {
  // A byte that can never be UTF-8 neither stops the conversion nor touches its neighbours.
  const std::string whole = utf8_to_ansi(make_text(before + "\xFF" + after)).bytes;
  const std::string apart =
      utf8_to_ansi(make_text(before)).bytes + "?" + utf8_to_ansi(make_text(after)).bytes;
  fuzz_check(whole == apart, "utf8_to_ansi: a lone 0xFF becomes '?' and the rest converts");
}

void check_any_units(const std::string& raw, int code_page) {
  const Bytes wide = make_bytes(raw);
  const Text text = wide_to_multibyte(wide, code_page);
  fuzz_check(text.bytes.find('\0') == std::string::npos, "wide_to_multibyte: no zero byte");
  const Text utf8 = wide_to_multibyte(wide, code_page_utf8);
  fuzz_check(is_utf8(utf8.bytes), "wide_to_multibyte: any units give well-formed UTF-8");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  const int code_page = number_field(input, 2).value_or(code_page_utf8);
  check_wide(text, code_page);
  check_wide(text, code_page_936);
  check_utf8(text);
  check_lone_byte(text, field_bytes(input, 1));
  check_any_units(std::string(reinterpret_cast<const char*>(data), size), code_page);
  return 0;
}
