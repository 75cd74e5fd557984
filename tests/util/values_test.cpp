#include <gtest/gtest.h>

#include "text_helpers.h"
#include "util/core.h"
#include "util/cutting.h"

// Absent and empty differ only where a platform call receives a pointer.
TEST(Values, AbsentAndEmptyAreEqualButOnlyPresentGivesAPointer) {
  const Text absent;
  const Text empty_literal = "";
  EXPECT_EQ(absent, empty_literal);
  EXPECT_EQ(text_compare(absent, empty_literal), 0);
  EXPECT_EQ(text_size(absent), 0);
  EXPECT_EQ(text_pointer(absent), nullptr);
  ASSERT_NE(text_pointer(empty_literal), nullptr);
  EXPECT_STREQ(text_pointer(empty_literal), "");
}

TEST(Values, EmptyResultsAreAbsentExceptJoinTexts) {
  EXPECT_FALSE(char_of_code(0).present);
  EXPECT_EQ(text_pointer(char_of_code(0)), nullptr);
  EXPECT_FALSE(left_part("abc", 0).present);
  EXPECT_FALSE(format_value(Bytes()).present);
  EXPECT_FALSE(trim_blanks("   ").present);
  const Text joined = join_texts({"", Text()});
  EXPECT_TRUE(joined.present);
  EXPECT_STREQ(text_pointer(joined), "");
}

TEST(Values, ATextEndsAtItsFirstZeroByte) {
  EXPECT_EQ(make_text(std::string("ab\0c", 4)).bytes, "ab");
  EXPECT_FALSE(make_text(std::string("\0c", 2)).present);
}

TEST(Values, EmptyBytesGiveANullPointer) {
  EXPECT_EQ(bytes_pointer(Bytes()), nullptr);
  EXPECT_EQ(bytes_pointer(make_bytes("")), nullptr);
  const Bytes zero = make_bytes(std::string(1, '\0'));
  EXPECT_NE(bytes_pointer(zero), nullptr);
  EXPECT_EQ(bytes_size(zero), 1);
  EXPECT_EQ(Bytes(), make_bytes(""));
  EXPECT_NE(zero, Bytes());
}

TEST(Values, TextCompareIsUnsignedAndExact) {
  struct Case {
    Text a, b;
    int sign;
    const char* why;
  } cases[] = {
      {"abc", "abc", 0, "same bytes"},
      {Text(), "", 0, "absent equals empty"},
      {"ab", "abc", -1, "a text that ends first is the smaller"},
      {"abc", "ab", 1, "longer after a common start"},
      {"a", "B", 1, "exact case: 'a' is above 'B'"},
      {"\x80", "a", 1, "bytes compare unsigned"},
  };
  for (const Case& c : cases) {
    int order = text_compare(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.sign) << c.why;
  }
}

TEST(Values, ElementsAreCountedFromOne) {
  TextArray items;
  EXPECT_EQ(element_count(items), 0);
  append_element(items, "x");
  append_element(items, Text());
  EXPECT_EQ(element_count(items), 2);
  EXPECT_EQ(element_at(items, 1), Text("x"));
  EXPECT_EQ(element_at(items, 2), Text(""));
  EXPECT_EQ(element_at(items, 0), Text(""));
  EXPECT_EQ(element_at(items, 3), Text(""));
}
