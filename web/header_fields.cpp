#include "web/header_fields.h"

#include "util/core.h"
#include "util/cutting.h"

namespace {

Text with_quotes(const Text& marker) {
  const Text quote_escape = "#\xD2\xFD\xBA\xC5";  // "#引号"
  return substitute_text(marker, quote_escape, "\"", std::nullopt, std::nullopt, true);
}

}  // namespace

Text text_between(const Text& text, const Text& start_marker, const Text& end_marker,
                  std::optional<int> start_pos, bool ignore_case) {
  const Text start = with_quotes(start_marker);
  const Text end = with_quotes(end_marker);
  int after_start = search_text(text, start, start_pos, ignore_case);
  if (after_start != -1) after_start += text_size(start);
  const int at_end = search_text(text, end, after_start, ignore_case);
  if (after_start == -1 || at_end == -1) return Text();
  return middle_part(text, after_start, at_end - after_start);
}

Text header_value(const Text& line) {
  const int colon = search_text(line, ":");
  if (colon == -1) return Text();
  return trim_blanks(right_part(line, text_size(line) - colon));
}
