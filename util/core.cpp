#include "util/core.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "util/date_units.h"
#include "util/stepping.h"

int text_size(const Text& text) {
  return static_cast<int>(text.bytes.size());
}

int bytes_size(const Bytes& bytes) {
  return static_cast<int>(bytes.data.size());
}

int text_compare(const Text& a, const Text& b) {
  int order = a.bytes.compare(b.bytes);  // std::string compares bytes as unsigned char
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int element_count(const TextArray& items) {
  return static_cast<int>(items.elements.size());
}

Text element_at(const TextArray& items, int index) {
  if (index < 1 || index > element_count(items)) return Text();
  return items.elements[static_cast<size_t>(index) - 1];
}

int search_text(const Text& text, const Text& find, std::optional<int> start, bool ignore_case) {
  long long skip = start ? static_cast<long long>(*start) - 1 : 0;
  if (skip < 0) skip = 0;
  const size_t size = text.bytes.size();
  if (static_cast<unsigned long long>(skip) >= size) return -1;
  if (find.bytes.empty()) return 1;
  size_t at = find_stepping(text.bytes, static_cast<size_t>(skip), size, find.bytes, ignore_case);
  return at == std::string::npos ? -1 : static_cast<int>(at) + 1;
}

Text join_texts(std::initializer_list<Text> parts) {
  std::string joined;
  for (const Text& part : parts)
    joined += part.bytes;
  return make_present_text(std::move(joined));
}

namespace {

// Full-width forms become their ASCII counterparts before a number is read.
std::string narrow_full_width(const std::string& text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    if (!is_lead_byte(lead) || i + 1 >= text.size()) {
      narrow += text[i];
      i += 1;
      continue;
    }
    unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      narrow += static_cast<char>(trail - 0x80);
    } else if (lead == 0xA1 && trail == 0xA1) {
      narrow += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      narrow += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      narrow += '*';
    } else {
      narrow.append(text, i, 2);
    }
    i += 2;
  }
  return narrow;
}

bool is_white_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int parse_int(const Text& text) {
  const std::string s = narrow_full_width(text.bytes);
  size_t i = 0;
  while (i < s.size() && is_white_space(s[i]))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  uint32_t value = 0;  // unsigned, so that a long number wraps instead of overflowing
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(s[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

Text format_value(int value) {
  return make_text(std::to_string(value));
}

Text format_value(const Text& value) {
  return value;
}

Text format_value(const Bytes& value) {
  return make_text(value.data);
}

namespace {

// Days between 1970-01-01 and a date of the proleptic Gregorian calendar.
constexpr long long days_from_civil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

struct CivilDate {
  int year;
  int month;
  int day;
};

CivilDate civil_from_days(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr long long ole_epoch = days_from_civil(1899, 12, 30);
// 0100-01-01 and 9999-12-31, the range in which fields are taken.
constexpr double earliest_day = -657434;
constexpr double latest_day = 2958465;

struct Fields {
  CivilDate date;
  int hour;
  int minute;
  int second;
};

Fields fields_of(DateTime time) {
  double value = std::isnan(time.days) ? 0 : time.days;
  if (value < earliest_day) value = earliest_day;
  if (value > latest_day) value = latest_day;
  // The whole part counts days; the fraction is the time of that day, also below zero.
  double whole = std::trunc(value);
  long long seconds = std::llround(std::fabs(value - whole) * 86400.0);
  long long day = static_cast<long long>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += 1;
  }
  Fields fields;
  fields.date = civil_from_days(ole_epoch + day);
  fields.hour = static_cast<int>(seconds / 3600);
  fields.minute = static_cast<int>(seconds / 60 % 60);
  fields.second = static_cast<int>(seconds % 60);
  return fields;
}

}  // namespace

int year_part(DateTime time) {
  return fields_of(time).date.year;
}
int month_part(DateTime time) {
  return fields_of(time).date.month;
}
int day_part(DateTime time) {
  return fields_of(time).date.day;
}
int hour_part(DateTime time) {
  return fields_of(time).hour;
}
int minute_part(DateTime time) {
  return fields_of(time).minute;
}
int second_part(DateTime time) {
  return fields_of(time).second;
}

DateTime make_date_time(int year, int month, int day, int hour, int minute, int second) {
  long long days =
      days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - ole_epoch;
  double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // Before the epoch the fraction still counts forward from the start of the day.
  return DateTime{days >= 0 ? static_cast<double>(days) + fraction
                            : static_cast<double>(days) - fraction};
}

Text format_value(DateTime value) {
  const Fields f = fields_of(value);
  std::string text = std::to_string(f.date.year) + unit_year + std::to_string(f.date.month) +
                     unit_month + std::to_string(f.date.day) + unit_day;
  if (f.second != 0) {
    text += std::to_string(f.hour) + unit_hour + std::to_string(f.minute) + unit_minute +
            std::to_string(f.second) + unit_second;
  } else if (f.minute != 0) {
    text += std::to_string(f.hour) + unit_hour + std::to_string(f.minute) + unit_minute;
  } else if (f.hour != 0) {
    text += std::to_string(f.hour) + unit_hour;
  }
  return make_text(std::move(text));
}

int message_box_style(int flags) {
  const int system_modal = 0x1000;  // MB_SYSTEMMODAL
  const int task_modal = 0x2000;    // MB_TASKMODAL
  return (flags & system_modal) ? flags : (flags | task_modal);
}

int pause_length(int ms) {
  return ms < 0 ? 0 : ms;
}
