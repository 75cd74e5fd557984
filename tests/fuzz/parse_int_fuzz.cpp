// parse_int over arbitrary bytes, full-width forms included.
// Fields: text, number (read by the harness, for the round trip).

#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "util/core.h"

namespace {

// The full-width form of an ASCII text: printable characters as A3 xx, the
// space as A1 A1; control bytes stay.
std::string widened(const std::string& ascii) {
  std::string wide;
  for (char c : ascii) {
    if (c == ' ') {
      wide += "\xA1\xA1";
    } else if (c > 0x20 && c < 0x7F) {
      wide += '\xA3';
      wide += static_cast<char>(static_cast<unsigned char>(c) + 0x80);
    } else {
      wide += c;
    }
  }
  return wide;
}

bool is_ascii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  const int parsed = parse_int(make_text(text));
  if (is_ascii(text)) {
    fuzz_check(parse_int(make_text(widened(text))) == parsed,
               "parse_int: full-width digits, signs and blanks read as ASCII ones");
  }
  const std::optional<int> number = number_field(input, 1);
  if (number) {
    fuzz_check(parse_int(format_value(*number)) == *number,
               "parse_int reads back what format_value writes");
  }
  return 0;
}
