#include <gtest/gtest.h>

#include <vector>

#include "text_helpers.h"
#include "web/cookies.h"

namespace {

TextArray array_of(std::vector<Text> elements) {
  return TextArray{std::move(elements)};
}

}  // namespace

TEST(CookieMerge, Table) {
  struct Case {
    Text cookies, new_cookies;
    Text merged, new_after;
    const char* why;
  } cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4",
       "new items first, then old ones whose names they lack"},
      {"a=1; b=2", "b=deleted", "a=1", "b=deleted", "a deleted cookie goes, the old one with it"},
      {"", "x=1", "x=1", "x=1", "no old cookies"},
      {"", "", "", "", "both empty"},
      {"", "a=1;a=1", "a=1", "a=1;a=1", "an item equal in full is kept once"},
      {"", "a=1;a=2", "a=1; a=2", "a=1;a=2", "one name, two values: both stay"},
      {"a=1;a=2", "", "a=1", "", "of old items with one name the first is kept"},
      {"k=a b", "", "k=ab", "", "a blank inside a value is lost"},
      {"a=1\xA1\xA1;\xA1\xA1"
       "b=2",
       "", "a=1; b=2", "", "full-width blanks go too"},
      {"A=1", "a=2", "a=2; A=1", "a=2", "names compare in exact case"},
      {"flag; a=1", "", "flag; a=1", "", "an item without '='"},
      {"a=1;", "", "a=1", "", "a separator at the end gives no item"},
      {"x=deleted", "", "", "", "a deleted item among the old ones goes as well"},
  };
  for (const Case& c : cases) {
    Text cookies = c.cookies;
    Text new_cookies = c.new_cookies;
    const Text result = cookie_merge(cookies, new_cookies);
    EXPECT_EQ(cookies, c.merged) << c.why;
    EXPECT_EQ(new_cookies, c.new_after) << c.why;
    EXPECT_EQ(result, c.merged) << c.why;
  }
}

TEST(CookieName, Table) {
  struct Case {
    Text item;
    Text expected;
    const char* why;
  } cases[] = {
      {"a=1", "a", "before the '='"},
      {" a =1", "a", "trimmed"},
      {"a=b=c", "a", "the first '=' separates"},
      {"flag", "flag", "no '=': the whole item"},
      {"=v", "", "an empty name"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(cookie_name(c.item), c.expected) << c.why;
}

TEST(CookieNamePresent, Table) {
  const TextArray items = array_of({"a=1", " b =2", "flag"});
  EXPECT_TRUE(cookie_name_present(items, "b")) << "names are trimmed before comparing";
  EXPECT_TRUE(cookie_name_present(items, "flag")) << "an item without '='";
  EXPECT_FALSE(cookie_name_present(items, "B")) << "exact case";
  EXPECT_FALSE(cookie_name_present(items, "1")) << "values are no names";
  EXPECT_FALSE(cookie_name_present(TextArray(), "")) << "an empty array";
}

TEST(JoinDistinct, Table) {
  struct Case {
    Text text, separator;
    Text expected;
    const char* why;
  } cases[] = {
      {"x; y; x", "; ", "x; y", "a repeat goes"},
      {"", "; ", "", "an empty text"},
      {"x; x; ", "; ", "x", "a separator at the end"},
      {"a,,b,,c", ",", "a,,b,c", "one empty piece is kept, its repeat goes"},
      {"a", "", "a", "an empty separator leaves the text"},
      {"X; x", "; ", "X; x", "exact case"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(join_distinct(c.text, c.separator), c.expected) << c.why;
}

TEST(IndexOfText, Table) {
  const TextArray items = array_of({"a", "b", "a", Text()});
  EXPECT_EQ(index_of_text(items, "a"), 1) << "the first of two";
  EXPECT_EQ(index_of_text(items, "b"), 2);
  EXPECT_EQ(index_of_text(items, "c"), -1) << "missing";
  EXPECT_EQ(index_of_text(items, ""), 4) << "an absent element equals the empty text";
  EXPECT_EQ(index_of_text(TextArray(), "a"), -1) << "an empty array";
}
