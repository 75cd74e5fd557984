#pragma once
// A request to the shell about the notification icon: the NOTIFYICONDATAA
// layout up to the balloon fields, with handles as pointer-sized integers, so
// that it is the platform's own record (488 bytes in 32-bit builds, 504 in
// 64-bit ones) and still plain enough to be built and checked anywhere.

#include <cstdint>

struct NotifyIconRecord {
  uint32_t size;
  uintptr_t window;
  uint32_t id;
  uint32_t flags;
  uint32_t callback_message;
  uintptr_t icon;
  char tip[128];
  uint32_t state;
  uint32_t state_mask;
  char info[256];
  uint32_t timeout_or_version;
  char info_title[64];
  uint32_t info_flags;
};

// Shell operations and record flags, with the platform's values.
inline constexpr uint32_t notify_add = 0;          // NIM_ADD
inline constexpr uint32_t notify_modify = 1;       // NIM_MODIFY
inline constexpr uint32_t notify_delete = 2;       // NIM_DELETE
inline constexpr uint32_t notify_set_version = 4;  // NIM_SETVERSION
inline constexpr uint32_t flag_message = 0x1;      // NIF_MESSAGE
inline constexpr uint32_t flag_icon = 0x2;         // NIF_ICON
inline constexpr uint32_t flag_tip = 0x4;          // NIF_TIP
inline constexpr uint32_t flag_info = 0x10;        // NIF_INFO

inline constexpr uint32_t notify_icon_id = 100;
inline constexpr uint32_t notify_icon_callback = 0x8064;  // WM_APP + 0x64

// Hands the record to the shell (Shell_NotifyIconA); true when it accepted it.
bool shell_notify_icon(uint32_t operation, const NotifyIconRecord& record);
