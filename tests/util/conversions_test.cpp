#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "text_helpers.h"
#include "util/core.h"

TEST(ParseInt, Table) {
  struct Case {
    Text text;
    int expected;
    const char* why;
  } cases[] = {
      {"15", 15, "plain digits"},
      {"  -3x", -3, "blanks, a sign, digits, then anything"},
      {"+7", 7, "a plus sign"},
      {"\t\n\v\f\r 9", 9, "all six white-space bytes are skipped"},
      {"15\xC3\xEB", 15, "15 followed by the character for seconds"},
      {"\xA3\xB1\xA3\xB5", 15, "full-width digits"},
      {"\xA3\xAD\xA3\xB5", -5, "a full-width minus"},
      {"\xA3\xAB"
       "5",
       5, "a full-width plus"},
      {"\xA1\xA1"
       "20",
       20, "the full-width blank counts as white space"},
      {"\xA3\xB2\xA3\xB0\xC3\xEB", 20, "full-width digits and a unit"},
      {"", 0, "empty"},
      {Text(), 0, "absent"},
      {"abc", 0, "letters"},
      {"- 5", 0, "a blank after the sign ends the number"},
      {"+-5", 0, "one sign only"},
      {"0x1A", 0, "no hexadecimal"},
      {"007", 7, "leading zeros"},
      {"2147483647", INT_MAX, "the largest integer"},
      {"-2147483648", INT_MIN, "the smallest integer"},
      {"2147483648", INT_MIN, "2^31 wraps"},
      {"4294967297", 1, "2^32 + 1 wraps"},
      {"99999999999999999999", 1661992959, "many digits wrap modulo 2^32"},
      {"\xA0"
       "5",
       0, "0xA0 starts a character here; no locale makes it a blank"},
      {"\x85"
       "5",
       0, "0x85 is no white space"},
      {"\xA3"
       "5",
       0, "a lead byte takes the digit as its second byte"},
      {"\xA1\xEE"
       "5",
       0, "a full-width star is no digit"},
      {"5\xA3", 5, "a lone lead byte at the end"},
  };
  // The rules hold whatever the process's locale says.
  std::setlocale(LC_ALL, "");
  for (const Case& c : cases) {
    EXPECT_EQ(parse_int(c.text), c.expected) << c.why << ": " << hex_of(c.text.bytes);
  }
  std::setlocale(LC_ALL, "C");
}

TEST(FormatValue, IntegersTextsAndBytes) {
  EXPECT_EQ(format_value(-5), Text("-5"));
  EXPECT_EQ(format_value(0), Text("0"));
  EXPECT_EQ(format_value(INT_MIN), Text("-2147483648"));
  EXPECT_EQ(format_value(INT_MAX), Text("2147483647"));
  EXPECT_EQ(format_value(Text("\xB0\xA1x")), Text("\xB0\xA1x"));
  EXPECT_EQ(format_value(make_bytes(std::string("ab\0c", 4))), Text("ab"));
  EXPECT_EQ(format_value(make_bytes("abc")), Text("abc"));
  EXPECT_FALSE(format_value(Bytes()).present);
  EXPECT_FALSE(format_value(make_bytes(std::string(3, '\0'))).present);
}

TEST(FormatValue, DateTimesLeaveOutTrailingZeroFields) {
  struct Case {
    int h, m, s;
    const char* expected_utf8;
  } cases[] = {
      {8, 5, 0, "2014年3月1日8时5分"},
      {8, 5, 9, "2014年3月1日8时5分9秒"},
      {8, 0, 0, "2014年3月1日8时"},
      {0, 0, 7, "2014年3月1日0时0分7秒"},
      {0, 0, 0, "2014年3月1日"},
      {0, 30, 0, "2014年3月1日0时30分"},
      {23, 59, 59, "2014年3月1日23时59分59秒"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format_value(make_date_time(2014, 3, 1, c.h, c.m, c.s)), cp936(c.expected_utf8))
        << c.expected_utf8;
  }
}

TEST(DateTimeFields, TakenAtTheNearestSecondWithinTheYearBounds) {
  struct Case {
    double days;
    int year, month, day, hour, minute, second;
    const char* why;
  } cases[] = {
      {0, 1899, 12, 30, 0, 0, 0, "the epoch"},
      {0.5, 1899, 12, 30, 12, 0, 0, "half a day is noon"},
      {2.0 + 0.4 / 86400, 1900, 1, 1, 0, 0, 0, "0.4 s rounds down"},
      {2.0 + 0.6 / 86400, 1900, 1, 1, 0, 0, 1, "0.6 s rounds up"},
      {3.0 - 0.4 / 86400, 1900, 1, 2, 0, 0, 0, "rounding up carries into the next day"},
      {-1.25, 1899, 12, 29, 6, 0, 0, "before the epoch the fraction still counts forward"},
      {-657434, 100, 1, 1, 0, 0, 0, "the earliest day"},
      {-1e9, 100, 1, 1, 0, 0, 0, "below the earliest day"},
      {2958465, 9999, 12, 31, 0, 0, 0, "the latest day"},
      {2958465.75, 9999, 12, 31, 0, 0, 0, "beyond the latest day is the bound itself"},
      {1e300, 9999, 12, 31, 0, 0, 0, "far beyond"},
      {41699.336909722, 2014, 3, 1, 8, 5, 9, "2014-03-01 08:05:09"},
  };
  for (const Case& c : cases) {
    const DateTime t{c.days};
    EXPECT_EQ(year_part(t), c.year) << c.why;
    EXPECT_EQ(month_part(t), c.month) << c.why;
    EXPECT_EQ(day_part(t), c.day) << c.why;
    EXPECT_EQ(hour_part(t), c.hour) << c.why;
    EXPECT_EQ(minute_part(t), c.minute) << c.why;
    EXPECT_EQ(second_part(t), c.second) << c.why;
  }
}

TEST(DateTimeFields, MakeDateTimeRoundTrips) {
  const int dates[][6] = {{2014, 3, 1, 8, 5, 9},   {100, 1, 1, 0, 0, 0},    {9999, 12, 31, 0, 0, 0},
                          {1899, 12, 29, 6, 0, 0}, {2000, 2, 29, 12, 0, 1}, {1600, 3, 1, 0, 0, 59}};
  for (const auto& d : dates) {
    const DateTime t = make_date_time(d[0], d[1], d[2], d[3], d[4], d[5]);
    EXPECT_EQ(year_part(t), d[0]);
    EXPECT_EQ(month_part(t), d[1]);
    EXPECT_EQ(day_part(t), d[2]);
    EXPECT_EQ(hour_part(t), d[3]);
    EXPECT_EQ(minute_part(t), d[4]);
    EXPECT_EQ(second_part(t), d[5]);
  }
  EXPECT_DOUBLE_EQ(make_date_time(1899, 12, 29, 6, 0, 0).days, -1.25);
}

TEST(PlatformRules, MessageBoxIsTaskModalUnlessSystemModal) {
  const int exclamation = 48, system_modal = 0x1000, task_modal = 0x2000;
  EXPECT_EQ(message_box_style(exclamation), exclamation | task_modal);
  EXPECT_EQ(message_box_style(exclamation | system_modal), exclamation | system_modal);
  EXPECT_EQ(message_box_style(task_modal), task_modal);
  EXPECT_EQ(message_box_style(0), task_modal);
}

TEST(PlatformRules, NegativePauseIsNoPause) {
  EXPECT_EQ(pause_length(-5), 0);
  EXPECT_EQ(pause_length(INT_MIN), 0);
  EXPECT_EQ(pause_length(0), 0);
  EXPECT_EQ(pause_length(15000), 15000);
}

TEST(JoinTexts, PartsInOrder) {
  EXPECT_EQ(join_texts({"a", Text(), "", "bc", "\xB0\xA1"}), Text("abc\xB0\xA1"));
  EXPECT_TRUE(join_texts({Text(), Text()}).present);
}
