// trim_blanks, strip_blanks and lowercase_text over arbitrary bytes.
// Field: text.

#include <string>
#include <vector>

#include "fuzz_input.h"
#include "util/cutting.h"

namespace {

// Whether a blank begins at some character start of `text`.
bool holds_blank(const std::string& text) {
  const std::vector<bool> starts = character_starts(text);
  for (size_t at = 0; at < text.size(); ++at) {
    if (starts[at] && blank_at(text, at)) return true;
  }
  return false;
}

// Where the last character of `text` begins; the text is not empty.
size_t last_character(const std::string& text) {
  const std::vector<bool> starts = character_starts(text);
  size_t at = text.size() - 1;
  while (!starts[at])
    --at;
  return at;
}

void check_trim(const std::string& text) {
  const std::string trimmed = trim_blanks(make_text(text)).bytes;
  // The leading run of blanks, read character by character.
  size_t begin = 0;
  while (begin < text.size() && blank_at(text, begin))
    begin += text[begin] == ' ' ? 1 : 2;
  fuzz_check(
      text.compare(begin, trimmed.size(), trimmed) == 0 && text.size() - begin >= trimmed.size(),
      "trim_blanks: what is left follows the leading blanks in the text");
  if (trimmed.empty()) return;
  fuzz_check(!blank_at(trimmed, 0), "trim_blanks: no blank at the start");
  if (!ends_with_lone_lead(text)) {
    fuzz_check(!blank_at(trimmed, last_character(trimmed)), "trim_blanks: no blank at the end");
  } else {
    fuzz_check(trimmed.size() < text.size() - begin,
               "trim_blanks: a cut-off last character is dropped");
  }
  fuzz_check(strip_blanks(make_text(trimmed)).bytes == strip_blanks(make_text(text)).bytes,
             "trim_blanks: only blanks, and a cut-off last character, are taken away");
}

void check_strip(const std::string& text) {
  const std::string stripped = strip_blanks(make_text(text)).bytes;
  fuzz_check(!holds_blank(stripped), "strip_blanks: no blank is left");
  fuzz_check(!ends_with_lone_lead(stripped), "strip_blanks: no cut-off last character is left");
  fuzz_check(stripped.size() <= text.size(), "strip_blanks: nothing is added");
  fuzz_check(strip_blanks(make_text(stripped)).bytes == stripped,
             "strip_blanks: a stripped text stays as it is");
  if (!holds_blank(text) && !ends_with_lone_lead(text)) {
    fuzz_check(stripped == text, "strip_blanks: a text without blanks stays as it is");
  }
}

void check_lowercase(const std::string& text) {
  const std::string lowered = lowercase_text(make_text(text)).bytes;
  fuzz_check(lowered.size() == text.size(), "lowercase_text: the size stays");
  const std::vector<bool> starts = character_starts(text);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char expected =
        starts[i] ? folded(text[i]) : static_cast<unsigned char>(text[i]);
    fuzz_check(static_cast<unsigned char>(lowered[i]) == expected,
               "lowercase_text: A-Z lowered where a character begins, every other byte kept");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  check_trim(text);
  check_strip(text);
  check_lowercase(text);
  return 0;
}
