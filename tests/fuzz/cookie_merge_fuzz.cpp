// cookie_merge over arbitrary cookie texts.
// Fields: cookies, new cookies.

#include <string>
#include <vector>

#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"
#include "web/cookies.h"

namespace {

bool is_among(const std::vector<Text>& items, const Text& item) {
  for (const Text& each : items) {
    if (each.bytes == item.bytes) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const Text old_given = text_field(input, 0);
  const Text new_given = text_field(input, 1);

  Text cookies = old_given;
  Text new_cookies = new_given;
  const Text returned = cookie_merge(cookies, new_cookies);

  fuzz_check(returned.bytes == cookies.bytes, "cookie_merge: returns what it leaves in cookies");
  fuzz_check(new_cookies.bytes == strip_blanks(new_given).bytes,
             "cookie_merge: the new cookies lose their blanks");

  const std::vector<Text> old_items = split_by(strip_blanks(old_given), ";").elements;
  const std::vector<Text> new_items = split_by(new_cookies, ";").elements;
  const std::vector<Text> merged = split_by(cookies, "; ").elements;
  std::vector<Text> seen;
  for (const Text& item : merged) {
    fuzz_check(!is_among(seen, item), "cookie_merge: no item twice");
    seen.push_back(item);
    fuzz_check(!ends_with(item.bytes, "=deleted"), "cookie_merge: deleted items are gone");
    fuzz_check(strip_blanks(item).bytes == item.bytes, "cookie_merge: no blank inside an item");
    const bool is_new = is_among(new_items, item);
    fuzz_check(is_new || is_among(old_items, item), "cookie_merge: every item was given");
    if (!is_new) {
      // An old item is kept only when no new item carries its name.
      for (const Text& new_item : new_items) {
        fuzz_check(cookie_name(new_item).bytes != cookie_name(item).bytes,
                   "cookie_merge: a new item wins over an old one of its name");
      }
    }
  }
  for (const Text& item : new_items) {
    if (item.bytes.empty() || ends_with(item.bytes, "=deleted")) continue;
    fuzz_check(is_among(merged, item), "cookie_merge: every new item is kept");
  }
  return 0;
}
