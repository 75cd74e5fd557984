// search_text and search_text_backward over arbitrary bytes, positions and case.
// Fields: text, find, start (number), ignore_case (flag), backward start (number).

#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"

namespace {

void check_forward(const std::string& text, const std::string& find, std::optional<int> start,
                   bool ignore_case) {
  const int found = search_text(make_text(text), make_text(find), start, ignore_case);
  long long skip = start ? static_cast<long long>(*start) - 1 : 0;
  if (skip < 0) skip = 0;
  if (static_cast<unsigned long long>(skip) >= text.size()) {
    fuzz_check(found == -1, "search_text: nothing is found when the start lies beyond the text");
    return;
  }
  if (find.empty()) {
    fuzz_check(found == 1, "search_text: an empty search text is found at 1");
    return;
  }
  // Candidates are the character starts met when stepping from the start position.
  const std::vector<bool> candidates = character_starts(text, static_cast<size_t>(skip));
  size_t first = std::string::npos;
  for (size_t at = static_cast<size_t>(skip); at < text.size(); ++at) {
    if (candidates[at] && lies_at(text, at, find, ignore_case)) {
      first = at;
      break;
    }
  }
  if (first == std::string::npos) {
    fuzz_check(found == -1, "search_text: -1 when no candidate matches");
    return;
  }
  fuzz_check(found >= 1 && static_cast<size_t>(found) <= text.size(),
             "search_text: a found position lies in the text");
  fuzz_check(candidates[static_cast<size_t>(found) - 1],
             "search_text: a found position is a character start reached from the start");
  fuzz_check(lies_at(text, static_cast<size_t>(found) - 1, find, ignore_case),
             "search_text: a found position points at the searched bytes");
  fuzz_check(static_cast<size_t>(found) - 1 == first,
             "search_text: the first occurrence at or after the start is reported");
}

void check_backward(const std::string& text, const std::string& find, std::optional<int> start,
                    bool ignore_case) {
  const int found = search_text_backward(make_text(text), make_text(find), start, ignore_case);
  long long limit = static_cast<long long>(text.size());
  if (start) {
    const long long given = static_cast<long long>(*start) - 1;
    if (given <= 0) {
      fuzz_check(found == -1, "search_text_backward: -1 from a start of 1 or less");
      return;
    }
    if (given < limit) limit = given;
  }
  if (find.empty()) {
    fuzz_check(found == (limit >= 1 ? 1 : -1), "search_text_backward: an empty search text");
    return;
  }
  // Candidates are stepped from the first byte; an occurrence must end within the limit.
  const std::vector<bool> candidates = character_starts(text);
  size_t last = std::string::npos;
  for (size_t at = 0; at < text.size(); ++at) {
    if (candidates[at] && at + find.size() <= static_cast<size_t>(limit) &&
        lies_at(text, at, find, ignore_case)) {
      last = at;
    }
  }
  if (last == std::string::npos) {
    fuzz_check(found == -1, "search_text_backward: -1 when no occurrence lies before the start");
    return;
  }
  fuzz_check(found >= 1 && static_cast<size_t>(found) <= text.size(),
             "search_text_backward: a found position lies in the text");
  fuzz_check(candidates[static_cast<size_t>(found) - 1],
             "search_text_backward: a found position is a character start");
  fuzz_check(lies_at(text, static_cast<size_t>(found) - 1, find, ignore_case),
             "search_text_backward: a found position points at the searched bytes");
  fuzz_check(static_cast<long long>(found) - 1 + static_cast<long long>(find.size()) <= limit,
             "search_text_backward: the occurrence lies wholly before the start");
  fuzz_check(static_cast<size_t>(found) - 1 == last,
             "search_text_backward: the last such occurrence is reported");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  const std::string find = field_bytes(input, 1);
  const bool ignore_case = flag_field(input, 3);
  check_forward(text, find, number_field(input, 2), ignore_case);
  check_backward(text, find, number_field(input, 4), ignore_case);
  return 0;
}
