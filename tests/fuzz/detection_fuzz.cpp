// One whole detection pass over an arbitrary page: the downloaded bytes made a
// text, converted from UTF-8 to code page 936 and searched for the markers.
// The whole input, zero bytes included, is the page.

#include <string>
#include <vector>

#include "fuzz_input.h"
#include "monitor/listing.h"
#include "util/codepage.h"
#include "util/core.h"

namespace {

// The markers as they arrive, in UTF-8.
const std::string heading_utf8 =
    "\xE5\x85\xB6\xE4\xBB\x96\xE6\x8A\x95\xE8\xB5\x84\xE4\xBA\xBA"
    "\xE8\xBD\xAC\xE8\xAE\xA9\xE9\xA1\xB9\xE7\x9B\xAE";  // 其他投资人转让项目
const std::string markup_utf8 =
    "<SPAN class=\"RMB\">\xEF\xBF\xA5</span>";            // ￥, letters in mixed case
const std::string buy_utf8 = "\xE8\xB4\xAD\xE4\xB9\xB0";  // 购买

ListingPositions detect(const Bytes& page) {
  return find_listing_markers(utf8_to_ansi(format_value(page)));
}

// A found position must point at the marker, at a character start of the
// search that found it, which began at `from` (1-based; below 2 is the beginning).
void check_found(const std::string& page, int found, int from, const std::string& marker,
                 const char* property) {
  if (found == -1) return;
  const size_t start = from > 1 ? static_cast<size_t>(from) - 1 : 0;
  fuzz_check(found >= 1 && static_cast<size_t>(found) <= page.size(), property);
  fuzz_check(static_cast<size_t>(found) - 1 >= start, property);
  fuzz_check(character_starts(page, start)[static_cast<size_t>(found) - 1], property);
  fuzz_check(lies_at(page, static_cast<size_t>(found) - 1, marker, true), property);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const Bytes page = make_bytes(raw);
  const std::string converted = utf8_to_ansi(format_value(page)).bytes;
  const ListingPositions found = find_listing_markers(make_text(converted));

  check_found(converted, found.section_pos, 1, section_heading().bytes,
              "detection: the section heading is where it is said to be");
  check_found(converted, found.start_pos, found.section_pos, price_markup().bytes,
              "detection: the price markup is where it is said to be");
  check_found(converted, found.buy_pos, found.start_pos, buy_marker().bytes,
              "detection: the buy marker is where it is said to be");
  if (found.start_pos != -1) {
    fuzz_check(found.section_pos != -1 && found.start_pos >= found.section_pos,
               "detection: the price markup is sought only after the section heading");
  }

  // The page counts only up to its first zero byte.
  const std::string before_zero = raw.substr(0, raw.find('\0'));
  const ListingPositions cut = detect(make_bytes(before_zero));
  fuzz_check(cut.section_pos == found.section_pos && cut.start_pos == found.start_pos &&
                 cut.buy_pos == found.buy_pos,
             "detection: a page is judged up to its first zero byte");

  // Whatever comes before, a line with a whole listing is seen.
  const ListingPositions planted =
      detect(make_bytes(before_zero + "\n" + heading_utf8 + markup_utf8 + buy_utf8 + "\n"));
  fuzz_check(planted.section_pos != -1 && planted.start_pos != -1 && planted.buy_pos != -1,
             "detection: a listing after any page content is found");
  return 0;
}
