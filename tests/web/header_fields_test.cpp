#include <gtest/gtest.h>

#include <optional>

#include "text_helpers.h"
#include "web/header_fields.h"

TEST(TextBetween, Table) {
  struct Case {
    Text text, start_marker, end_marker;
    std::optional<int> start_pos;
    bool ignore_case;
    Text expected;
    const char* why;
  } cases[] = {
      {"Set-Cookie: sid=9; path=/",
       "Set-Cookie:",
       ";",
       {},
       false,
       " sid=9",
       "the leading blank stays: callers trim"},
      {"<<a>>b>>", "<<", ">>", {}, false, "a", "the end marker is searched after the start marker"},
      {"<<>>", "<<", ">>", {}, false, "", "markers side by side"},
      {"b;a=1", "a=", ";", {}, false, "", "an end marker only before the start marker"},
      {"a=1;", "x=", ";", {}, false, "", "no start marker"},
      {"a=1", "a=", ";", {}, false, "", "no end marker"},
      {"abc", "c", "x", {}, false, "", "a start marker that ends the text"},
      {"<1><2>", "<", ">", 3, false, "2", "from a start position"},
      {"<1><2>", "<", ">", 99, false, "", "a start position beyond the text"},
      {"<1><2>", "<", ">", -5, false, "1", "a start position below 1 searches from the beginning"},
      {"user-agent: x\r\n", "User-Agent:", "\r\n", {}, true, " x", "ignoring case"},
      {"user-agent: x\r\n", "User-Agent:", "\r\n", {}, false, "", "exact case by default"},
      {"<B>x</b>", "<b>", "</B>", {}, true, "x", "both markers ignore case"},
      {"value=\"42\" rest",
       cp936("value=#引号"),
       cp936("#引号"),
       {},
       false,
       "42",
       "the escape stands for a double quote in either marker"},
      {cp936("a#引号b;"),
       cp936("#引号"),
       ";",
       {},
       false,
       "",
       "the escape itself no longer matches"},
      {"a;b", "", ";", {}, false, "a", "an empty start marker cuts from the beginning"},
      {"\xB0\xA1<x>", "<", ">", {}, false, "x", "markers after a two-byte character"},
      {"\xB0<x>", "<", ">", {}, false, "", "the second byte of a character is no marker"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_between(c.text, c.start_marker, c.end_marker, c.start_pos, c.ignore_case),
              c.expected)
        << c.why;
  }
}

TEST(HeaderValue, Table) {
  struct Case {
    Text line;
    Text expected;
    const char* why;
  } cases[] = {
      {"Date: Mon, 03 Mar 2014 10:00:00 GMT", "Mon, 03 Mar 2014 10:00:00 GMT",
       "only the first colon separates"},
      {"NoColon", "", "no colon"},
      {"Name:", "", "nothing after the colon"},
      {"Location:   /next  ", "/next", "blanks at both ends go"},
      {"Name:\xA1\xA1v\xA1\xA1", "v", "full-width blanks go too"},
      {"Name:\tv", "\tv", "a tab is no blank"},
      {":v", "v", "an empty name"},
      {Text(), "", "an absent line"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(header_value(c.line), c.expected) << c.why;
}
