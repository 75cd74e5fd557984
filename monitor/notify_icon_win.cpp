#include <windows.h>

#include <shellapi.h>

#include <cstddef>

#include "monitor/notify_icon_record.h"

// The record is handed to the shell as it is, so it must be the platform's own layout.
static_assert(sizeof(NotifyIconRecord) == NOTIFYICONDATAA_V2_SIZE, "balloon record size");
static_assert(offsetof(NotifyIconRecord, window) == offsetof(NOTIFYICONDATAA, hWnd), "hWnd");
static_assert(offsetof(NotifyIconRecord, icon) == offsetof(NOTIFYICONDATAA, hIcon), "hIcon");
static_assert(offsetof(NotifyIconRecord, tip) == offsetof(NOTIFYICONDATAA, szTip), "szTip");
static_assert(offsetof(NotifyIconRecord, info) == offsetof(NOTIFYICONDATAA, szInfo), "szInfo");
static_assert(offsetof(NotifyIconRecord, timeout_or_version) == offsetof(NOTIFYICONDATAA, uTimeout),
              "uTimeout");
static_assert(offsetof(NotifyIconRecord, info_title) == offsetof(NOTIFYICONDATAA, szInfoTitle),
              "szInfoTitle");
static_assert(offsetof(NotifyIconRecord, info_flags) == offsetof(NOTIFYICONDATAA, dwInfoFlags),
              "dwInfoFlags");
#ifndef _WIN64
// The shell reads the balloon fields only from a record of exactly this size.
static_assert(sizeof(NotifyIconRecord) == 488, "the 32-bit balloon record is 488 bytes");
#endif

bool shell_notify_icon(uint32_t operation, const NotifyIconRecord& record) {
  NOTIFYICONDATAA data;
  static_assert(sizeof data >= sizeof record, "the record is a prefix of NOTIFYICONDATAA");
  ZeroMemory(&data, sizeof data);
  CopyMemory(&data, &record, sizeof record);
  return Shell_NotifyIconA(operation, &data) != FALSE;
}
