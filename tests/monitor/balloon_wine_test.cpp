// The alert against the real shell of the platform: the record layout is
// accepted, and a refusal does not keep the beeps from sounding.

#include <gtest/gtest.h>
#include <windows.h>

#include "fakes/fake_monitor.h"
#include "monitor/alert.h"
#include "monitor/notify_icon_record.h"

namespace {

class RealShell : public testing::Test {
 protected:
  void SetUp() override {
    reset_fake_monitor();
    window_ = CreateWindowExA(0, "STATIC", "balloon test", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    fake_monitor().window = reinterpret_cast<uintptr_t>(window_);
  }
  void TearDown() override { DestroyWindow(window_); }

  HWND window_ = nullptr;
};

}  // namespace

TEST_F(RealShell, ABalloonForAnIconThatIsNotRegisteredFailsAndTheBeepsStillSound) {
  EXPECT_FALSE(show_balloon("t", "x", 1, 5));
  alert_new_listing();
  EXPECT_EQ(fake_monitor().beeps.size(), 3u);
}

TEST_F(RealShell, ABalloonForARegisteredIconIsAccepted) {
  NotifyIconRecord icon{};
  icon.size = sizeof icon;
  icon.window = reinterpret_cast<uintptr_t>(window_);
  icon.id = notify_icon_id;
  icon.flags = flag_message | flag_icon | flag_tip;
  icon.callback_message = notify_icon_callback;
  icon.icon = reinterpret_cast<uintptr_t>(LoadIconA(nullptr, IDI_APPLICATION));
  ASSERT_TRUE(shell_notify_icon(notify_add, icon)) << "the notification area needs a display";
  EXPECT_TRUE(show_balloon("t", "x", 1, 5));
  shell_notify_icon(notify_delete, icon);
}
