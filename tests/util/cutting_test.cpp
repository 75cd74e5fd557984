#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

#include "text_helpers.h"
#include "util/core.h"
#include "util/cutting.h"

TEST(Cutting, LeftRightMiddleClampTheirCounts) {
  struct Case {
    Text actual;
    Text expected;
    const char* why;
  } cases[] = {
      {left_part("abc", 0), "", "left 0"},
      {left_part("abc", -2), "", "left negative"},
      {left_part("abc", 2), "ab", "left 2"},
      {left_part("abc", 5), "abc", "left beyond the size"},
      {left_part("abc", INT_MAX), "abc", "left of the largest count"},
      {right_part("abc", 0), "", "right 0"},
      {right_part("abc", -2), "", "right negative"},
      {right_part("abc", 2), "bc", "right 2"},
      {right_part("abc", 5), "abc", "right beyond the size"},
      {right_part(Text(), 3), "", "right of an absent text"},
      {middle_part("abcdef", 2, 3), "bcd", "middle from 2 with 3"},
      {middle_part("abcdef", 5, 10), "ef", "a count past the end stops at the end"},
      {middle_part("abcdef", 0, 2), "", "start 0"},
      {middle_part("abcdef", 7, 2), "", "start beyond the size"},
      {middle_part("abcdef", 6, 1), "f", "the last byte"},
      {middle_part("abcdef", 2, 0), "", "count 0"},
      {middle_part("abcdef", INT_MAX, INT_MAX), "", "the largest start"},
      {middle_part("abcdef", 3, INT_MAX), "cdef", "the largest count"},
      {left_part("\xB0\xA1z", 1), "\xB0", "counts bytes: a character may be cut in half"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.actual, c.expected) << c.why;
}

TEST(Transforming, LowercaseTrimAndStrip) {
  struct Case {
    Text actual;
    Text expected;
    const char* why;
  } cases[] = {
      {lowercase_text("AbC-Z@["), "abc-z@[", "ASCII letters only"},
      {lowercase_text("\xB0\x41"
                      "B"),
       "\xB0\x41"
       "b",
       "a second byte is never lowered"},
      {lowercase_text("\xA3\xC1"), "\xA3\xC1", "full-width letters stay"},
      {lowercase_text("A\xC1"), "a\xC1", "a lone lead byte at the end stays"},
      {trim_blanks(" \xA1\xA1x y \xA1\xA1"), "x y", "spaces and full-width blanks at both ends"},
      {trim_blanks("\tx\t"), "\tx\t", "tabs are no blanks"},
      {trim_blanks("   "), "", "blanks only"},
      {trim_blanks(""), "", "empty"},
      {trim_blanks("\xB0\xA1 "), "\xB0\xA1", "A1 as a second byte is no half of a blank"},
      {trim_blanks("\xA1\xA1\xA1"), "", "a full-width blank and a lone lead byte"},
      {trim_blanks(" x  \x81"), "x  ", "a lone lead byte is dropped and the blanks before it stay"},
      {trim_blanks("x\xA1\xA1\xA1\xA1"), "x", "two full-width blanks at the end"},
      {trim_blanks("x \xA1"), "x ", "a lone A1 at the end is no blank"},
      {strip_blanks(" a b "), "ab", "every space"},
      {strip_blanks("a\xA1\xA1"
                    "b\xB0\xA1"),
       "ab\xB0\xA1", "full-width blanks go, characters stay"},
      {strip_blanks("k=a b\x81"), "k=ab", "a lone lead byte at the end is left out"},
      {strip_blanks("\xA1 x"), "\xA1 x", "A1 followed by a space is one character"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.actual, c.expected) << c.why;
}

TEST(SubstituteText, Table) {
  struct Case {
    Text text, find, replacement;
    std::optional<int> start, count;
    bool case_sensitive;
    Text expected;
    const char* why;
  } cases[] = {
      {"aaa", "aa", "b", {}, {}, true, "ba", "occurrences never overlap"},
      {"aa", "a", "aa", {}, {}, true, "aaaa", "replacement text is not searched again"},
      {"http://a/http://b", "http://", "", {}, {}, true, "a/b", "every occurrence, removed"},
      {"aXa", "x", "-", {}, {}, true, "aXa", "exact case"},
      {"aXa", "x", "-", {}, {}, false, "a-a", "case folded"},
      {"ababab", "ab", "", 2, {}, true, "ab", "from position 2: the first b is copied"},
      {"ababab", "ab", "-", {}, 2, true, "--ab", "at most 2"},
      {"ababab", "ab", "-", {}, 0, true, "ababab", "a count of 0 replaces nothing"},
      {"ab", "ab", "-", 3, {}, true, "ab", "a start beyond the size"},
      {"ab", "ab", "-", -4, {}, true, "-", "a negative start counts as 1"},
      {"abc", "", "-", {}, {}, true, "abc", "an empty search text"},
      {"", "a", "-", {}, {}, true, "", "an empty text"},
      {"\xB0\x41", "A", "-", {}, {}, true, "\xB0\x41", "no match on a second byte"},
      {"\xB0\x41"
       "A",
       "A",
       "-",
       {},
       {},
       true,
       "\xB0\x41-",
       "the next character matches"},
      {"xa\x81", "a", "-", {}, {}, true, "x-", "a lone lead byte is dropped and the scan ends"},
      {"xa\x81", "ab", "-", {}, {}, true, "xa\x81", "the rest is copied when too short to match"},
      {"#\xD2\xFD\xBA\xC5x#\xD2\xFD\xBA\xC5",
       "#\xD2\xFD\xBA\xC5",
       "\"",
       {},
       {},
       true,
       "\"x\"",
       "the quote escape of the header helpers"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(substitute_text(c.text, c.find, c.replacement, c.start, c.count, c.case_sensitive),
              c.expected)
        << c.why;
  }
}

TEST(SplitBy, Table) {
  struct Case {
    Text text, separator;
    std::optional<int> max_count;
    std::vector<const char*> pieces;
    const char* why;
  } cases[] = {
      {"a,,b,", ",", {}, {"a", "", "b"}, "inner empty pieces stay, an empty last one does not"},
      {",a", ",", {}, {"", "a"}, "an empty first piece"},
      {",", ",", {}, {""}, "a separator alone"},
      {"", ",", {}, {}, "an empty text gives no pieces"},
      {"abc", "", {}, {"abc"}, "an empty separator gives the whole text"},
      {"abc", ",", {}, {"abc"}, "no separator in the text"},
      {"a\r\nb\r\n\r\n", "\r\n", {}, {"a", "b", ""}, "line breaks"},
      {"\xB0,a,b", ",", {}, {"\xB0,a", "b"}, "a second byte is no separator"},
      {"a,b\x81", ",", {}, {"a", "b\x81"}, "a lone lead byte ends the scan"},
      {"a,b,c", ",", 2, {"a", "b"}, "at most 2 pieces: the rest is dropped"},
      {"a,b,c", ",", 0, {}, "a limit of 0"},
      {"a,b,c", ",", -1, {}, "a negative limit counts as 0"},
      {"a,b", ",", 5, {"a", "b"}, "a limit not reached"},
      {"aXbxc", "x", {}, {"aXb", "c"}, "exact bytes"},
      {"a;;b", ";;", {}, {"a", "b"}, "a separator of two bytes"},
  };
  for (const Case& c : cases) {
    TextArray pieces = split_by(c.text, c.separator, c.max_count);
    ASSERT_EQ(element_count(pieces), static_cast<int>(c.pieces.size())) << c.why;
    for (size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_EQ(element_at(pieces, static_cast<int>(i) + 1), Text(c.pieces[i])) << c.why;
    }
  }
  EXPECT_EQ(element_count(split_by("a,b")), 2) << "the default separator is a comma";
}

TEST(Building, TextsAndArrays) {
  EXPECT_EQ(char_of_code('A'), Text("A"));
  EXPECT_EQ(char_of_code(0xB0), Text("\xB0"));
  EXPECT_EQ(filled_text(3), Text("   "));
  EXPECT_EQ(filled_text(0), Text(""));
  EXPECT_EQ(filled_text(-1), Text(""));
  EXPECT_EQ(repeated(2, "0"), Text("00"));
  EXPECT_EQ(repeated(3, "ab"), Text("ababab"));
  EXPECT_EQ(repeated(-1, "0"), Text(""));
  EXPECT_EQ(repeated(INT_MAX, ""), Text(""));
  TextArray items = split_by("a");
  append_element(items, "b");
  EXPECT_EQ(element_count(items), 2);
  EXPECT_EQ(element_at(items, 2), Text("b"));
}

TEST(Building, BytesAndIntegers) {
  const Bytes four = make_bytes(std::string("a\0b\0", 4));
  EXPECT_EQ(text_to_bytes("ab"), make_bytes("ab"));
  EXPECT_EQ(text_to_bytes(Text()), Bytes());
  EXPECT_EQ(zero_bytes(1024), make_bytes(std::string(1024, '\0')));
  EXPECT_EQ(zero_bytes(-3), Bytes());
  EXPECT_EQ(bytes_head(four, 10), four);
  EXPECT_EQ(bytes_head(four, 3), make_bytes(std::string("a\0b", 3)));
  EXPECT_EQ(bytes_head(four, 0), Bytes());
  EXPECT_EQ(join_bytes({four, Bytes(), four}), make_bytes(std::string("a\0b\0a\0b\0", 8)));
  EXPECT_EQ(bytes_size(join_bytes({Bytes(), Bytes()})), 0);
  EXPECT_EQ(bit_or({static_cast<int>(0x80000000u), 0x10, 0x4000}), static_cast<int>(0x80004010u));
}
