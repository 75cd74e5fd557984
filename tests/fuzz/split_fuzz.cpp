// split_by over arbitrary texts, separators and limits.
// Fields: text, separator, separator given (flag; when false the default "," is
// used), max_count (number).

#include <optional>
#include <string>

#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  const bool separator_given = flag_field(input, 2);
  const std::string separator = separator_given ? field_bytes(input, 1) : ",";
  const std::optional<int> max_count = number_field(input, 3);

  const TextArray pieces = separator_given
                               ? split_by(make_text(text), make_text(separator), max_count)
                               : split_by(make_text(text), ",", max_count);
  const size_t count = pieces.elements.size();

  if (text.empty() || (max_count && *max_count <= 0)) {
    fuzz_check(count == 0, "split_by: no pieces of an empty text or with a limit of 0 or less");
    return 0;
  }
  if (separator.empty()) {
    fuzz_check(count == 1 && pieces.elements[0].bytes == text,
               "split_by: an empty separator gives the text as one piece");
    return 0;
  }
  fuzz_check(count >= 1, "split_by: a text gives at least one piece");
  if (max_count) fuzz_check(count <= static_cast<size_t>(*max_count), "split_by: the limit holds");
  for (const Text& piece : pieces.elements) {
    // Pieces begin where the text's characters begin, so a separator the
    // stepping did not see in the text is not seen in a piece either.
    fuzz_check(search_text(piece, make_text(separator)) == -1,
               "split_by: no piece holds the separator");
  }

  const std::string joined = joined_with(pieces, separator);
  const bool limit_hit = max_count && count == static_cast<size_t>(*max_count);
  if (limit_hit) {
    fuzz_check(starts_with(text, joined), "split_by: with a limit hit, the pieces begin the text");
    return 0;
  }
  if (!ends_with(text, separator)) {
    fuzz_check(joined == text, "split_by: the pieces joined give back the text");
  } else {
    fuzz_check(joined == text || joined + separator == text,
               "split_by: a text ending with the separator has no empty last piece");
  }
  return 0;
}
