#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "text_helpers.h"
#include "util/core.h"
#include "util/cutting.h"

namespace {

struct SearchCase {
  Text text;
  Text find;
  std::optional<int> start;
  bool ignore_case;
  int expected;
  const char* why;
};

}  // namespace

TEST(SearchText, Table) {
  const SearchCase cases[] = {
      {"abc", "c", -1, false, 3, "a start below 1 searches from the beginning"},
      {"abc", "c", 0, false, 3, "start 0"},
      {"abc", "c", 1, false, 3, "start 1"},
      {"abc", "c", 3, false, 3, "a match at the start position"},
      {"abc", "c", 4, false, -1, "a start beyond the size"},
      {"abc", "c", std::nullopt, false, 3, "start omitted"},
      {"abc", "", std::nullopt, false, 1, "an empty search text is found at 1"},
      {"abc", "", 3, false, 1, "1, not the start, for an empty search text"},
      {"abc", "", 4, false, -1, "nothing left to search"},
      {"", "", std::nullopt, false, -1, "an empty search text in an empty text"},
      {Text(), "a", std::nullopt, false, -1, "absent text"},
      {"abcabc", "bc", 3, false, 5, "the first occurrence at or after the start"},
      {"ABC", "b", std::nullopt, false, -1, "exact case"},
      {"ABC", "b", std::nullopt, true, 2, "ignoring case"},
      {"abc", "ABC", std::nullopt, true, 1, "folding works on either side"},
      {"ab", "abc", std::nullopt, false, -1, "longer than the text"},
      {"\xB0\x41", "A", std::nullopt, false, -1, "no match begins on a second byte"},
      {"\xB0\x41"
       "A",
       "A", std::nullopt, false, 3, "the next character is a candidate"},
      {"\xB0\x41", "A", 2, false, 2, "a start inside a character searches from that byte"},
      {"\xB0\x61", "\xB0\x41", std::nullopt, true, 1, "second bytes fold as well"},
      {"\xA3\xC1", "\xA3\xE1", std::nullopt, true, -1, "full-width letters stay distinct"},
      {"ab\x81", "\x81", std::nullopt, false, 3, "a lone lead byte at the end is a candidate"},
      {"\x81", "\x81x", std::nullopt, false, -1, "a lone lead byte ends the scan"},
      {"aXb", "x", INT_MAX, true, -1, "the largest start"},
      {"aXb", "x", INT_MIN, true, 2, "the smallest start"},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(search_text(c.text, c.find, c.start, c.ignore_case), c.expected)
        << c.why << ": " << hex_of(c.text.bytes) << " / " << hex_of(c.find.bytes);
  }
}

TEST(SearchTextBackward, Table) {
  const SearchCase cases[] = {
      {"a.b.c", ".", std::nullopt, false, 4, "start omitted: the last occurrence"},
      {"a.b.c", ".", 4, false, 2, "an occurrence beginning at the start is not seen"},
      {"a.b.c", ".", 2, false, -1, "nothing wholly before position 2"},
      {"a.b.c", ".", 1, false, -1, "start 1"},
      {"a.b.c", ".", -7, false, -1, "start below 1"},
      {"a.b.c", ".", 99, false, 4, "a start beyond the size searches the whole text"},
      {"a.b.c.", ".", 6, false, 4, "so a dot in the last byte is not seen from the length"},
      {"a.bc", ".b", 3, false, -1, "an occurrence must end before the start"},
      {"a.bc", ".b", 4, false, 2, "ending just before the start"},
      {"abc", "", std::nullopt, false, 1, "an empty search text"},
      {"", "", std::nullopt, false, -1, "an empty search text in an empty text"},
      {"\xB0.a.b", ".", std::nullopt, false, 4, "a second byte is never a candidate"},
      {"\xB0.", ".", std::nullopt, false, -1, "the only dot is a second byte"},
      {"A.B", "a", std::nullopt, true, 1, "ignoring case"},
      {"aaa", "aa", std::nullopt, false, 2, "every candidate counts, overlapping ones too"},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(search_text_backward(c.text, c.find, c.start, c.ignore_case), c.expected)
        << c.why << ": " << hex_of(c.text.bytes) << " / " << hex_of(c.find.bytes);
  }
}
