// The cutting, building and byte primitives with arbitrary counts and positions.
// Fields: text, count (number), start (number), second text, code (first byte).
// The whole input, zero bytes included, is also used as a Bytes value.
//
// filled_text, repeated and zero_bytes build results as long as their count
// asks: a count near 2^31 asks for gigabytes, which would only test the
// machine's memory. Their counts are held to at most 64 KiB of result here;
// counts of 0 and below, which allocate nothing, are passed on unchanged.

#include <algorithm>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"

namespace {

const long long largest_result = 1 << 16;

int held_count(int count, size_t unit_size) {
  if (count <= 0 || unit_size == 0) return count;
  const long long most = largest_result / static_cast<long long>(unit_size);
  return static_cast<int>(std::min<long long>(count, most));
}

void check_cutting(const std::string& text, int count, int start) {
  const Text value = make_text(text);
  const long long size = static_cast<long long>(text.size());
  const long long kept = std::clamp<long long>(count, 0, size);
  const std::string left = left_part(value, count).bytes;
  const std::string right = right_part(value, count).bytes;
  fuzz_check(left == text.substr(0, static_cast<size_t>(kept)),
             "left_part: the first count bytes, clamped to the text");
  fuzz_check(right == text.substr(static_cast<size_t>(size - kept)),
             "right_part: the last count bytes, clamped to the text");
  if (count >= 0 && count <= size) {
    fuzz_check(left + right_part(value, static_cast<int>(size) - count).bytes == text,
               "left_part and right_part of the rest give the text back");
  }
  const std::string middle = middle_part(value, start, count).bytes;
  if (start < 1 || start > size || count <= 0) {
    fuzz_check(middle.empty(), "middle_part: empty outside the text or for no bytes");
  } else {
    fuzz_check(middle == text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)),
               "middle_part: count bytes from start, stopping at the end");
  }
}

void check_building(const std::string& text, int count, unsigned char code) {
  const Text one = char_of_code(code);
  if (code == 0) {
    fuzz_check(text_pointer(one) == nullptr, "char_of_code: 0 gives an absent text");
  } else {
    fuzz_check(one.bytes == std::string(1, static_cast<char>(code)), "char_of_code: the one byte");
  }

  const int blanks = held_count(count, 1);
  const std::string filled = filled_text(blanks).bytes;
  fuzz_check(filled == std::string(static_cast<size_t>(std::max(blanks, 0)), ' '),
             "filled_text: count blanks, none for a count of 0 or less");

  const int times = held_count(count, text.size());
  const std::string written = repeated(times, make_text(text)).bytes;
  fuzz_check(written.size() == (times > 0 ? static_cast<size_t>(times) * text.size() : 0),
             "repeated: count times the text");
  for (size_t at = 0; at < written.size(); at += text.size()) {
    fuzz_check(written.compare(at, text.size(), text) == 0, "repeated: the text each time");
  }

  const int zeros = held_count(count, 1);
  const Bytes zeroed = zero_bytes(zeros);
  fuzz_check(zeroed.data == std::string(static_cast<size_t>(std::max(zeros, 0)), '\0'),
             "zero_bytes: count zero bytes");
}

void check_bytes(const std::string& raw, const std::string& text, int count, int second) {
  const Bytes bytes = make_bytes(raw);
  const long long kept = std::clamp<long long>(count, 0, static_cast<long long>(raw.size()));
  fuzz_check(bytes_head(bytes, count).data == raw.substr(0, static_cast<size_t>(kept)),
             "bytes_head: the first count bytes, zero bytes included");
  fuzz_check(text_to_bytes(make_text(text)).data == text, "text_to_bytes: the text's bytes");
  const Bytes joined = join_bytes({bytes, text_to_bytes(make_text(text)), Bytes()});
  fuzz_check(joined.data == raw + text, "join_bytes: the parts in order");
  fuzz_check(join_bytes({Bytes(), Bytes()}).data.empty(), "join_bytes: empty parts give empty");
  fuzz_check(bit_or({count, second}) == (count | second), "bit_or: the bitwise or");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  const int count = number_field(input, 1).value_or(0);
  const int start = number_field(input, 2).value_or(0);
  const std::string second = field_bytes(input, 3);
  const std::string code_field = field_bytes(input, 4);
  const unsigned char code = code_field.empty() ? 0 : static_cast<unsigned char>(code_field[0]);

  check_cutting(text, count, start);
  check_building(second, count, code);
  check_bytes(std::string(reinterpret_cast<const char*>(data), size), text, count, start);
  return 0;
}
