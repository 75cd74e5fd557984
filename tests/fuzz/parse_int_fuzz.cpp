// parse_int over arbitrary bytes, full-width forms included.
// Fields: text, number (read by the harness, for the round trip).

#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "util/core.h"

namespace {

// The reading the routine's contract describes: full-width forms made ASCII,
// white space, one sign, decimal digits modulo 2^32.
int expected_number(const std::string& text) {
  std::string narrow;
  for (size_t at = 0; at < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80 || at + 1 >= text.size()) {
      narrow += text[at++];
      continue;
    }
    const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      narrow += static_cast<char>(trail - 0x80);
    } else if (lead == 0xA1 && trail == 0xA1) {
      narrow += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      narrow += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      narrow += '*';
    } else {
      narrow += text.substr(at, 2);
    }
    at += 2;
  }
  size_t at = narrow.find_first_not_of(" \t\n\v\f\r");
  if (at == std::string::npos) return 0;
  const bool negative = narrow[at] == '-';
  if (narrow[at] == '-' || narrow[at] == '+') ++at;
  uint32_t value = 0;
  for (; at < narrow.size() && narrow[at] >= '0' && narrow[at] <= '9'; ++at)
    value = value * 10u + static_cast<uint32_t>(narrow[at] - '0');
  return static_cast<int>(negative ? 0u - value : value);
}

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
  fuzz_check(parsed == expected_number(text),
             "parse_int: the leading decimal number, wrapping modulo 2^32");
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
