#pragma once
// Dates and times as text, in the notations the program shows.

#include <optional>

#include "util/values.h"

// The six fields of a date-time, zero-padded to two digits except the year.
struct TimeFields {
  Text year;
  Text month;
  Text day;
  Text hour;
  Text minute;
  Text second;
};

TimeFields time_fields(DateTime time);

// `type`: 0 unit characters, 1 dashes and colons, 2 slashes, 3 digits only.
// `style`: 0 date and time, 1 date, 2 month and day, 3 time, 4 hour and minute,
// 5 minute and second. Without `time`, the current local time. Arguments out of
// range give a fixed error text in place of a time.
Text 时间_到文本(std::optional<DateTime> time, int type, int style);
