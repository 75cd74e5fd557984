// The shell's notification icon, recorded instead of shown.

#include <string>

#include "fakes/fake_monitor.h"
#include "fakes/fake_platform.h"
#include "monitor/notify_icon_record.h"

bool shell_notify_icon(uint32_t operation, const NotifyIconRecord& record) {
  fake_platform().events.push_back("notify " + std::to_string(operation));
  fake_monitor().notifications.push_back({operation, record});
  return operation == notify_set_version ? fake_monitor().shell_accepts_version
                                         : fake_monitor().shell_accepts_balloon;
}
