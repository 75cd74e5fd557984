#pragma once
// Measuring, comparing, searching, joining and converting values. No routine
// here fails: out-of-range arguments are clamped or give an empty result.

#include <initializer_list>
#include <optional>

#include "util/values.h"

int text_size(const Text& text);
int bytes_size(const Bytes& bytes);
// 0 when both hold the same bytes (absent equals empty); otherwise the sign of
// the first difference, unsigned, with a text that ends first being the smaller.
int text_compare(const Text& a, const Text& b);

int element_count(const TextArray& items);
// Element `index`, counted from 1; an index outside 1..element_count reads as empty.
Text element_at(const TextArray& items, int index);

// 1-based position of the first occurrence of `find` at or after `start`, or -1.
// Steps over two-byte characters; `ignore_case` folds ASCII A-Z only.
int search_text(const Text& text, const Text& find, std::optional<int> start = std::nullopt,
                bool ignore_case = false);

// The parts one after another; always present, even when empty.
Text join_texts(std::initializer_list<Text> parts);

// The leading decimal number after blanks and one sign, full-width forms
// accepted, wrapping modulo 2^32; 0 when there is none. Independent of the locale.
int parse_int(const Text& text);

Text format_value(int value);
Text format_value(const Text& value);
// The bytes before the first zero byte, or all of them.
Text format_value(const Bytes& value);
// "2014年3月1日8时5分9秒", leaving out trailing time fields that are 0.
Text format_value(DateTime value);

// Fields of a date-time at the nearest second, within the years 100 to 9999.
int year_part(DateTime time);
int month_part(DateTime time);
int day_part(DateTime time);
int hour_part(DateTime time);
int minute_part(DateTime time);
int second_part(DateTime time);
DateTime make_date_time(int year, int month, int day, int hour, int minute, int second);

// The message-box style show_message uses: task-modal unless system-modal is asked for.
int message_box_style(int flags);
// The pause pause_ms makes: a negative count is no pause.
int pause_length(int ms);
