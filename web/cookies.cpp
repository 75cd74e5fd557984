#include "web/cookies.h"

#include "util/core.h"
#include "util/cutting.h"

namespace {

bool is_deleted(const Text& item) {
  return text_compare(right_part(item, 8), "=deleted") == 0;
}

}  // namespace

Text cookie_merge(Text& cookies, Text& new_cookies) {
  cookies = strip_blanks(cookies);
  new_cookies = strip_blanks(new_cookies);
  const TextArray old_items = split_by(cookies, ";");
  TextArray merged = split_by(new_cookies, ";");
  // Checked against the growing list: a new item always wins over an old one, and
  // of several old items with one name only the first is kept.
  for (const Text& item : old_items.elements) {
    if (!cookie_name_present(merged, cookie_name(item))) append_element(merged, item);
  }
  std::string kept;
  for (const Text& item : merged.elements) {
    if (!is_deleted(item)) kept += item.bytes + "; ";
  }
  cookies = join_distinct(left_part(make_text(kept), static_cast<int>(kept.size()) - 2), "; ");
  return cookies;
}

Text cookie_name(const Text& item) {
  const int equals = search_text(item, "=");
  return trim_blanks(equals == -1 ? item : left_part(item, equals - 1));
}

bool cookie_name_present(const TextArray& items, const Text& name) {
  for (const Text& item : items.elements) {
    if (text_compare(cookie_name(item), name) == 0) return true;
  }
  return false;
}

Text join_distinct(const Text& text, const Text& separator) {
  const TextArray pieces = split_by(text, separator);
  TextArray taken;
  std::string joined;
  for (const Text& piece : pieces.elements) {
    if (index_of_text(taken, piece) != -1) continue;
    append_element(taken, piece);
    joined += piece.bytes + separator.bytes;
  }
  return left_part(make_text(joined), static_cast<int>(joined.size()) - text_size(separator));
}

int index_of_text(const TextArray& items, const Text& text) {
  for (int index = 1; index <= element_count(items); ++index) {
    if (text_compare(element_at(items, index), text) == 0) return index;
  }
  return -1;
}
