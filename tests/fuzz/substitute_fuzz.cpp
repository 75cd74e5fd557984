// substitute_text over arbitrary bytes, start positions, counts and case.
// Fields: text, find, replacement, start (number), count (number), case_sensitive (flag).

#include <optional>
#include <string>

#include "fuzz_input.h"
#include "util/cutting.h"

namespace {

// The replacement walk as the routine's contract tells it, step by step.
std::string expected_substitution(const std::string& text, const std::string& find,
                                  const std::string& replacement, std::optional<int> start,
                                  std::optional<int> count, bool case_sensitive) {
  long long skip = start ? static_cast<long long>(*start) - 1 : 0;
  if (skip < 0) skip = 0;
  if (text.empty() || find.empty() || static_cast<unsigned long long>(skip) >= text.size() ||
      (count && *count == 0)) {
    return text;
  }
  std::string result = text.substr(0, static_cast<size_t>(skip));
  long long made = 0;
  size_t at = static_cast<size_t>(skip);
  while (at < text.size()) {
    const bool stopped = count && made == *count;
    if (stopped || text.size() - at < find.size()) return result + text.substr(at);
    if (lies_at(text, at, find, !case_sensitive)) {
      result += replacement;
      at += find.size();
      ++made;
      continue;
    }
    if (static_cast<unsigned char>(text[at]) >= 0x80) {
      if (at + 1 >= text.size()) return result;  // a cut-off character ends the scan
      result.append(text, at, 2);
      at += 2;
    } else {
      result += text[at];
      at += 1;
    }
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  const std::string find = field_bytes(input, 1);
  const std::string replacement = field_bytes(input, 2);
  const std::optional<int> start = number_field(input, 3);
  const std::optional<int> count = number_field(input, 4);
  const bool case_sensitive = flag_field(input, 5);

  const Text result = substitute_text(make_text(text), make_text(find), make_text(replacement),
                                      start, count, case_sensitive);
  fuzz_check(result.bytes.find('\0') == std::string::npos, "substitute_text: no zero byte");
  fuzz_check(
      result.bytes == expected_substitution(text, find, replacement, start, count, case_sensitive),
      "substitute_text: occurrences from the start on, at most count, never overlapping");

  // Writing each occurrence back as itself changes nothing but a cut-off last
  // character. (A searched text that ends with a cut-off character of its own
  // moves the character boundaries after each occurrence, so it is left out.)
  if (ends_with_lone_lead(find)) return 0;
  const Text same =
      substitute_text(make_text(text), make_text(find), make_text(find), start, count, true);
  const size_t from = start && *start > 1 ? static_cast<size_t>(*start) - 1 : 0;
  fuzz_check(same.bytes == text ||
                 (ends_with_lone_lead(text, from) && same.bytes == text.substr(0, text.size() - 1)),
             "substitute_text: replacing occurrences by themselves keeps the text");
  return 0;
}
