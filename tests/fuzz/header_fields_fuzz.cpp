// text_between and header_value over arbitrary texts, markers and positions.
// Fields: text, start marker, end marker, start_pos (number), ignore_case (flag).
// header_value reads the text field as its line.

#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"
#include "web/header_fields.h"

namespace {

const std::string quote_escape = "#\xD2\xFD\xBA\xC5";  // "#引号"

// The marker with each double quote that begins a character written as the escape.
std::string escaped(const std::string& marker) {
  const std::vector<bool> starts = character_starts(marker);
  std::string out;
  for (size_t at = 0; at < marker.size(); ++at) {
    out += starts[at] && marker[at] == '"' ? quote_escape : std::string(1, marker[at]);
  }
  return out;
}

void check_between(const std::string& text, const std::string& start_marker,
                   const std::string& end_marker, std::optional<int> start_pos, bool ignore_case) {
  const Text between = text_between(make_text(text), make_text(start_marker), make_text(end_marker),
                                    start_pos, ignore_case);
  const std::string& cut = between.bytes;
  // The markers as the routine reads them, the escape written as a quote.
  const std::string start = substitute_text(make_text(start_marker), make_text(quote_escape), "\"",
                                            std::nullopt, std::nullopt, true)
                                .bytes;
  const std::string end = substitute_text(make_text(end_marker), make_text(quote_escape), "\"",
                                          std::nullopt, std::nullopt, true)
                              .bytes;
  if (!cut.empty()) {
    // Somewhere the start marker, the cut and the end marker follow one another.
    bool framed = false;
    for (size_t at = text.find(cut); at != std::string::npos && !framed;
         at = text.find(cut, at + 1)) {
      framed = at >= start.size() && lies_at(text, at - start.size(), start, ignore_case) &&
               lies_at(text, at + cut.size(), end, ignore_case);
    }
    fuzz_check(framed, "text_between: the cut lies between the start and the end marker");
    fuzz_check(search_text(between, make_text(end), std::nullopt, ignore_case) == -1,
               "text_between: the cut ends at the first end marker after the start marker");
  }
  // A quote written as the escape reads as the quote itself.
  const Text with_escapes = text_between(make_text(text), make_text(escaped(start_marker)),
                                         make_text(escaped(end_marker)), start_pos, ignore_case);
  fuzz_check(with_escapes.bytes == cut, "text_between: \"#引号\" in a marker stands for a quote");
}

void check_header_value(const std::string& line) {
  const std::string value = header_value(make_text(line)).bytes;
  const int colon = search_text(make_text(line), ":");
  if (colon == -1) {
    fuzz_check(value.empty(), "header_value: empty for a line without a colon");
    return;
  }
  const std::string after = line.substr(static_cast<size_t>(colon));
  fuzz_check(value.empty() || after.find(value) != std::string::npos,
             "header_value: the value comes from after the first colon");
  fuzz_check(value == trim_blanks(make_text(after)).bytes,
             "header_value: what follows the first colon, blanks trimmed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const std::string text = field_bytes(input, 0);
  check_between(text, field_bytes(input, 1), field_bytes(input, 2), number_field(input, 3),
                flag_field(input, 4));
  check_header_value(text);
  return 0;
}
