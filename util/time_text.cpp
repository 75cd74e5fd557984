#include "util/time_text.h"

#include "util/core.h"
#include "util/cutting.h"
#include "util/date_units.h"
#include "util/platform.h"

namespace {

Text padded(int value) {
  Text digits = format_value(value);
  return join_texts({repeated(2 - text_size(digits), "0"), digits});
}

// "时间_到文本() 命令参数填写有误"
const char bad_arguments[] =
    "\xCA\xB1\xBC\xE4_\xB5\xBD\xCE\xC4\xB1\xBE() "
    "\xC3\xFC\xC1\xEE\xB2\xCE\xCA\xFD\xCC\xEE\xD0\xB4\xD3\xD0\xCE\xF3";

}  // namespace

TimeFields time_fields(DateTime time) {
  TimeFields fields;
  fields.year = format_value(year_part(time));
  fields.month = padded(month_part(time));
  fields.day = padded(day_part(time));
  fields.hour = padded(hour_part(time));
  fields.minute = padded(minute_part(time));
  fields.second = padded(second_part(time));
  return fields;
}

Text 时间_到文本(std::optional<DateTime> time, int type, int style) {
  const DateTime moment = time ? *time : current_time();
  const TimeFields f = time_fields(moment);
  if (style < 0 || style > 5 || type < 0 || type > 3) return bad_arguments;
  const Text& Y = f.year;
  const Text& M = f.month;
  const Text& D = f.day;
  const Text& h = f.hour;
  const Text& m = f.minute;
  const Text& s = f.second;
  // Separators per type: between date fields, between date and time, between time fields.
  static const char* const date_separators[] = {nullptr, "-", "/", ""};
  static const char* const time_separators[] = {nullptr, ":", "/", ""};
  if (type == 0) {
    switch (style) {
      case 0: return format_value(moment);
      case 1: return join_texts({Y, unit_year, M, unit_month, D, unit_day});
      case 2: return join_texts({M, unit_month, D, unit_day});
      case 3: return join_texts({h, unit_hour, m, unit_minute, s, unit_second});
      case 4: return join_texts({h, unit_hour, m, unit_minute});
      default: return join_texts({m, unit_minute, s, unit_second});
    }
  }
  const Text ds = date_separators[type];
  const Text ts = time_separators[type];
  const Text between = type == 3 ? "" : " ";
  switch (style) {
    case 0: return join_texts({Y, ds, M, ds, D, between, h, ts, m, ts, s});
    case 1: return join_texts({Y, ds, M, ds, D});
    case 2: return join_texts({M, ds, D});
    case 3: return join_texts({h, ts, m, ts, s});
    case 4: return join_texts({h, ts, m});
    default: return join_texts({m, ts, s});
  }
}
