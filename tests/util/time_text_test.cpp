#include <gtest/gtest.h>

#include <climits>

#include "fakes/fake_platform.h"
#include "text_helpers.h"
#include "util/core.h"
#include "util/time_text.h"

namespace {

const DateTime morning = make_date_time(2014, 3, 1, 8, 5, 9);
const char* const error_text_utf8 = "时间_到文本() 命令参数填写有误";

}  // namespace

TEST(TimeFields, PadAllButTheYear) {
  const TimeFields f = time_fields(morning);
  EXPECT_EQ(f.year, Text("2014"));
  EXPECT_EQ(f.month, Text("03"));
  EXPECT_EQ(f.day, Text("01"));
  EXPECT_EQ(f.hour, Text("08"));
  EXPECT_EQ(f.minute, Text("05"));
  EXPECT_EQ(f.second, Text("09"));
  const TimeFields late = time_fields(make_date_time(100, 12, 31, 23, 59, 59));
  EXPECT_EQ(late.year, Text("100"));
  EXPECT_EQ(late.month, Text("12"));
  EXPECT_EQ(late.second, Text("59"));
}

TEST(TimeToText, EveryTypeAndStyleAt080509) {
  // Rows are styles 0 to 5, columns types 0 to 3.
  const char* const table[6][4] = {
      {"2014年3月1日8时5分9秒", "2014-03-01 08:05:09", "2014/03/01 08/05/09", "20140301080509"},
      {"2014年03月01日", "2014-03-01", "2014/03/01", "20140301"},
      {"03月01日", "03-01", "03/01", "0301"},
      {"08时05分09秒", "08:05:09", "08/05/09", "080509"},
      {"08时05分", "08:05", "08/05", "0805"},
      {"05分09秒", "05:09", "05/09", "0509"},
  };
  for (int style = 0; style < 6; ++style) {
    for (int type = 0; type < 4; ++type) {
      EXPECT_EQ(时间_到文本(morning, type, style), cp936(table[style][type]))
          << "type " << type << ", style " << style;
    }
  }
}

TEST(TimeToText, EdgesOfTheFields) {
  struct Case {
    DateTime time;
    int type, style;
    const char* expected_utf8;
    const char* why;
  } cases[] = {
      {make_date_time(2014, 3, 1, 0, 0, 0), 1, 3, "00:00:00", "midnight keeps its zeros"},
      {make_date_time(2014, 3, 1, 21, 0, 0), 1, 3, "21:00:00", "evening"},
      {make_date_time(2014, 3, 1, 8, 5, 0), 0, 0, "2014年3月1日8时5分", "no seconds"},
      {make_date_time(2014, 3, 1, 8, 0, 0), 0, 0, "2014年3月1日8时", "whole hour"},
      {make_date_time(2014, 3, 1, 0, 0, 0), 0, 0, "2014年3月1日", "midnight: the date alone"},
      {make_date_time(2014, 3, 1, 0, 0, 9), 0, 0, "2014年3月1日0时0分9秒",
       "seconds after midnight"},
      {make_date_time(100, 1, 1, 0, 0, 0), 1, 1, "100-01-01", "the year is never padded"},
      {DateTime{1e12}, 1, 0, "9999-12-31 00:00:00", "beyond the latest day"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(时间_到文本(c.time, c.type, c.style), cp936(c.expected_utf8)) << c.why;
  }
}

TEST(TimeToText, ArgumentsOutOfRangeGiveTheErrorText) {
  const int bad[][2] = {{4, 0}, {-1, 0}, {0, 6}, {0, -1}, {1, 99}, {INT_MIN, INT_MAX}};
  for (const auto& b : bad) {
    EXPECT_EQ(时间_到文本(morning, b[0], b[1]), cp936(error_text_utf8))
        << "type " << b[0] << ", style " << b[1];
  }
}

TEST(TimeToText, WithoutATimeReadsTheClock) {
  reset_fake_platform();
  fake_platform().now = make_date_time(2026, 12, 11, 9, 5, 7);
  EXPECT_EQ(时间_到文本(std::nullopt, 1, 3), Text("09:05:07"));
  EXPECT_EQ(时间_到文本(std::nullopt, 1, 3), 时间_到文本(std::nullopt, 1, 3))
      << "two calls within one second";
  EXPECT_EQ(时间_到文本(std::nullopt, 3, 0), Text("20261211090507"));
}
