#include <gtest/gtest.h>

#include <climits>

#include <string>
#include <vector>

#include "fakes/fake_monitor.h"
#include "fakes/fake_platform.h"
#include "monitor/alert.h"
#include "text_helpers.h"
#include "util/core.h"
#include "util/cutting.h"

namespace {

class Alert : public testing::Test {
 protected:
  void SetUp() override { reset_fake_monitor(); }

  static const NotifyIconRecord& balloon() {
    EXPECT_EQ(fake_monitor().notifications.size(), 2u);
    return fake_monitor().notifications.back().record;
  }
};

}  // namespace

TEST_F(Alert, BalloonTextIsTheTimeOfDayAndTheSuffix) {
  struct Case {
    int h, m, s;
    const char* text_utf8;
  } cases[] = {{9, 5, 7, "09:05:07有新债权"}, {21, 0, 0, "21:00:00有新债权"}};
  for (const Case& c : cases) {
    reset_fake_monitor();
    fake_platform().now = make_date_time(2026, 12, 11, c.h, c.m, c.s);
    alert_new_listing();
    EXPECT_EQ(Text(balloon().info), cp936(c.text_utf8));
    EXPECT_EQ(std::string(balloon().info).size(), 16u);
    EXPECT_EQ(Text(balloon().info_title), cp936("新债权"));
  }
}

TEST_F(Alert, VersionRequestThenABalloonRequestWithInfoAlone) {
  alert_new_listing();
  const std::vector<NotifyRecord>& calls = fake_monitor().notifications;
  ASSERT_EQ(calls.size(), 2u);

  const NotifyIconRecord& version = calls[0].record;
  EXPECT_EQ(calls[0].operation, notify_set_version);
  EXPECT_EQ(version.size, sizeof(NotifyIconRecord));
  EXPECT_EQ(version.window, fake_monitor().window);
  EXPECT_EQ(version.id, 100u);
  EXPECT_EQ(version.flags, 0u);
  EXPECT_EQ(version.timeout_or_version, 3u);

  const NotifyIconRecord& info = calls[1].record;
  EXPECT_EQ(calls[1].operation, notify_modify);
  EXPECT_EQ(info.size, sizeof(NotifyIconRecord));
  EXPECT_EQ(info.window, fake_monitor().window);
  EXPECT_EQ(info.id, 100u);
  EXPECT_EQ(info.flags, flag_info) << "the icon's image, tooltip and callback stay untouched";
  EXPECT_EQ(info.info_flags, 1u) << "the information icon";
  EXPECT_EQ(info.timeout_or_version, 5u);
  EXPECT_EQ(info.icon, 0u);
  EXPECT_EQ(info.callback_message, 0u);
  EXPECT_EQ(info.tip[0], '\0');
  EXPECT_EQ(info.state, 0u);
  EXPECT_EQ(info.state_mask, 0u);
}

TEST_F(Alert, ThreeBeepsWhenTheBoxIsCheckedReadAfterTheBalloon) {
  alert_new_listing();
  const std::vector<std::string> expected = {"notify 4",    "notify 1",   "is_sound_alert_checked",
                                             "beep 999 50", "pause 500",  "beep 999 50",
                                             "pause 500",   "beep 999 50"};
  EXPECT_EQ(fake_platform().events, expected);
}

TEST_F(Alert, NoSoundWhenTheBoxIsCleared) {
  fake_monitor().sound_alert_checked = false;
  alert_new_listing();
  const std::vector<std::string> expected = {"notify 4", "notify 1", "is_sound_alert_checked"};
  EXPECT_EQ(fake_platform().events, expected);
}

TEST_F(Alert, BeepsEvenWhenTheShellRefusesTheBalloon) {
  fake_monitor().shell_accepts_version = false;
  alert_new_listing();
  EXPECT_EQ(fake_monitor().notifications.size(), 1u) << "no balloon request after a refusal";
  EXPECT_EQ(fake_monitor().beeps.size(), 3u);
}

TEST_F(Alert, ShowBalloonReportsTheShellsAnswer) {
  EXPECT_TRUE(show_balloon("t", "x", 1, 5));
  fake_monitor().shell_accepts_balloon = false;
  EXPECT_FALSE(show_balloon("t", "x", 1, 5));
  fake_monitor().shell_accepts_version = false;
  EXPECT_FALSE(show_balloon("t", "x", 1, 5));
}

TEST_F(Alert, KindsOutsideTheFourBecomeInformation) {
  const int kinds[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {7, 1}, {-1, 1}, {INT_MIN, 1}};
  for (const auto& k : kinds) {
    reset_fake_monitor();
    show_balloon("t", "x", k[0], 9);
    EXPECT_EQ(fake_monitor().notifications.back().record.info_flags, static_cast<uint32_t>(k[1]))
        << "kind " << k[0];
    EXPECT_EQ(fake_monitor().notifications.back().record.timeout_or_version, 9u)
        << "the timeout is passed unchanged";
  }
}

TEST_F(Alert, TitleAndTextAreCutToTheirFields) {
  struct Case {
    int title_size, text_size;
    size_t kept_title, kept_text;
    const char* why;
  } cases[] = {
      {63, 255, 63, 255, "exactly fits"},
      {64, 256, 63, 255, "one over is cut"},
      {500, 5000, 63, 255, "far over"},
      {0, 0, 0, 0, "empty"},
  };
  for (const Case& c : cases) {
    reset_fake_monitor();
    show_balloon(filled_text(c.title_size), filled_text(c.text_size), 1, 5);
    const NotifyIconRecord& r = fake_monitor().notifications.back().record;
    EXPECT_EQ(std::string(r.info_title, sizeof r.info_title).find('\0'), c.kept_title) << c.why;
    EXPECT_EQ(std::string(r.info, sizeof r.info).find('\0'), c.kept_text) << c.why;
  }
}
