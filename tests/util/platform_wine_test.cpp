// The clock and the pause against Windows itself.

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "util/core.h"
#include "util/platform.h"

TEST(Platform, CurrentTimeIsTheLocalTimeInWholeSeconds) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  const DateTime now = current_time();
  SYSTEMTIME after;
  GetLocalTime(&after);
  const DateTime low = make_date_time(before.wYear, before.wMonth, before.wDay, before.wHour,
                                      before.wMinute, before.wSecond);
  const DateTime high = make_date_time(after.wYear, after.wMonth, after.wDay, after.wHour,
                                       after.wMinute, after.wSecond);
  EXPECT_GE(now.days, low.days);
  EXPECT_LE(now.days, high.days);
  const double seconds = now.days * 86400.0;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3) << "no fraction of a second";
}

TEST(Platform, APauseLastsItsCountAndANegativeOneNothing) {
  ULONGLONG start = GetTickCount64();
  pause_ms(-5);
  EXPECT_LT(GetTickCount64() - start, 100u);
  start = GetTickCount64();
  pause_ms(300);
  EXPECT_GE(GetTickCount64() - start, 280u) << "the tick count moves in steps of up to 16 ms";
}
