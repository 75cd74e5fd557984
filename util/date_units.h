#pragma once
// The unit characters of dates and times, in code page 936.

inline constexpr char unit_year[] = "\xC4\xEA";    // 年
inline constexpr char unit_month[] = "\xD4\xC2";   // 月
inline constexpr char unit_day[] = "\xC8\xD5";     // 日
inline constexpr char unit_hour[] = "\xCA\xB1";    // 时
inline constexpr char unit_minute[] = "\xB7\xD6";  // 分
inline constexpr char unit_second[] = "\xC3\xEB";  // 秒
