// The window's handlers and the notification icon's logic, run against fakes
// of the window, the shell and the worker thread.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "app/events.h"
#include "app/notify_icon.h"
#include "app/texts.h"
#include "app/window_state.h"
#include "build_settings.h"
#include "fakes/fake_app.h"
#include "fakes/fake_monitor.h"
#include "fakes/fake_platform.h"
#include "monitor/notify_icon_record.h"
#include "monitor/watch.h"
#include "text_helpers.h"
#include "util/core.h"
#include "util/cutting.h"

namespace {

class Handlers : public testing::Test {
 protected:
  void SetUp() override {
    reset_fake_app();
    end_watch();
    set_notify_icon(Bytes(), Text());  // no icon registered from an earlier test
    reset_fake_app();
  }
  void TearDown() override { end_watch(); }
};

}  // namespace

TEST(Texts, ReadAsTheirReadableForms) {
  const Text domain = MAKER_DOMAIN_TEXT;
  EXPECT_EQ(window_caption(), join_texts({"Vantrel by:", domain}));
  EXPECT_EQ(credit_text(), join_texts({"Pellworthwww.", domain}));
  EXPECT_EQ(maker_address(), join_texts({"http://", domain}));
  EXPECT_EQ(sound_alert_label(), cp936("声音提醒"));
  EXPECT_EQ(interval_label(), cp936("监控间隔       秒"));
  EXPECT_EQ(caption_start(), cp936("开始监控"));
  EXPECT_EQ(caption_stop(), cp936("停止"));
  EXPECT_EQ(short_interval_warning(), cp936("为保证Orvane正常运行，扫描间隔不得低于15秒1次。"));
  EXPECT_EQ(short_interval_title(), cp936("间隔过短"));
  EXPECT_EQ(notify_icon_tooltip(), Text("Moskant"));
  EXPECT_EQ(initial_interval(), Text("15"));
}

TEST_F(Handlers, StartChecksTheInterval) {
  struct Case {
    const char* interval_utf8;
    bool starts;
    const char* why;
  } cases[] = {
      {"15", true, "the least interval"},
      {" 20", true, "a leading blank"},
      {"20秒", true, "followed by the unit"},
      {"２０", true, "full-width digits"},
      {"14", false, "one below"},
      {"0", false, "zero"},
      {"-20", false, "negative"},
      {"", false, "empty"},
      {"abc", false, "letters"},
  };
  for (const Case& c : cases) {
    reset_fake_app();
    end_watch();
    fake_monitor().edit_text = cp936(c.interval_utf8);
    on_start_stop_clicked();
    if (c.starts) {
      EXPECT_EQ(monitoring_flag.load(), 1) << c.why;
      EXPECT_EQ(fake_app().workers_started.size(), 1u) << c.why;
      EXPECT_TRUE(fake_app().edit_disabled) << c.why;
      EXPECT_EQ(fake_app().button_caption, caption_stop()) << c.why;
      EXPECT_TRUE(fake_platform().messages.empty()) << c.why;
    } else {
      ASSERT_EQ(fake_platform().messages.size(), 1u) << c.why;
      const MessageRecord& box = fake_platform().messages[0];
      EXPECT_EQ(box.text, short_interval_warning());
      EXPECT_EQ(box.title, short_interval_title());
      EXPECT_EQ(box.flags, 48 | 0x2000) << "exclamation, task-modal";
      EXPECT_EQ(monitoring_flag.load(), 0) << c.why;
      EXPECT_TRUE(fake_app().workers_started.empty()) << c.why;
      EXPECT_FALSE(fake_app().edit_disabled) << c.why;
      EXPECT_EQ(fake_app().button_caption, caption_start()) << c.why;
    }
  }
}

TEST_F(Handlers, AFailedThreadStartChangesNothing) {
  fake_app().worker_starts = false;
  on_start_stop_clicked();
  EXPECT_EQ(monitoring_flag.load(), 0);
  EXPECT_FALSE(fake_app().edit_disabled);
  EXPECT_EQ(fake_app().button_caption, caption_start());
  EXPECT_TRUE(fake_platform().messages.empty()) << "nothing is shown";
}

TEST_F(Handlers, StopRestoresTheControlsThenClearsTheFlag) {
  on_start_stop_clicked();
  fake_platform().events.clear();
  on_start_stop_clicked();
  EXPECT_EQ(fake_app().button_caption, caption_start());
  EXPECT_FALSE(fake_app().edit_disabled);
  EXPECT_EQ(monitoring_flag.load(), 0);
  const std::vector<std::string> expected = {"set_button_caption", "set_edit_disabled false",
                                             "set_window_position 0"};
  EXPECT_EQ(fake_platform().events, expected);
}

TEST_F(Handlers, EachStartGivesItsWorkerAWatchOfItsOwn) {
  on_start_stop_clicked();
  on_start_stop_clicked();
  on_start_stop_clicked();
  ASSERT_EQ(fake_app().workers_started.size(), 2u);
  EXPECT_NE(fake_app().workers_started[0], fake_app().workers_started[1]);
  EXPECT_FALSE(watch_goes_on(fake_app().workers_started[0]));
  EXPECT_TRUE(watch_goes_on(fake_app().workers_started[1]));
}

TEST(NotifyEventCode, FromTheMouseMessage) {
  const uint32_t cases[][2] = {
      {0x0202, 1},  // left button released
      {0x0203, 2},  // left double-click
      {0x0205, 3},  // right button released
      {0x007B, 3},  // context menu
      {0x0201, 0},  // left button pressed
      {0x0200, 0},  // mouse move
      {0x0204, 0},  // right button pressed
      {0x0400, 0},  // NIN_SELECT
  };
  for (const auto& c : cases) {
    EXPECT_EQ(notify_event_code(c[0]), static_cast<int>(c[1])) << std::hex << c[0];
  }
}

TEST_F(Handlers, OnlyADoubleClickOnTheIconBringsTheWindowBack) {
  on_notify_icon_event(1);
  on_notify_icon_event(3);
  EXPECT_TRUE(fake_platform().events.empty());
  fake_app().visible = false;
  on_notify_icon_event(2);
  const std::vector<std::string> expected = {"set_window_visible true", "set_window_position 1"};
  EXPECT_EQ(fake_platform().events, expected);
}

TEST_F(Handlers, CreationRegistersTheIcon) {
  on_main_window_created();
  ASSERT_EQ(fake_monitor().notifications.size(), 1u);
  const NotifyRecord& add = fake_monitor().notifications[0];
  EXPECT_EQ(add.operation, notify_add);
  EXPECT_EQ(add.record.size, sizeof(NotifyIconRecord));
  EXPECT_EQ(add.record.window, fake_monitor().window);
  EXPECT_EQ(add.record.id, 100u);
  EXPECT_EQ(add.record.flags, flag_message | flag_icon | flag_tip);
  EXPECT_EQ(add.record.callback_message, 0x8064u);
  EXPECT_EQ(add.record.icon, fake_app().icons_made.at(0));
  EXPECT_STREQ(add.record.tip, "Moskant");
  EXPECT_EQ(add.record.info[0], '\0') << "no balloon fields";
  EXPECT_EQ(notify_icon_handle(), fake_app().icons_made.at(0));
}

TEST_F(Handlers, MinimisingUpdatesTheIconAndHidesTheWindow) {
  on_main_window_created();
  fake_app().position = position_minimised;
  on_main_window_resized();
  ASSERT_EQ(fake_monitor().notifications.size(), 2u);
  EXPECT_EQ(fake_monitor().notifications[1].operation, notify_modify);
  EXPECT_EQ(fake_monitor().notifications[1].record.icon, fake_app().icons_made.at(1));
  EXPECT_EQ(fake_app().icons_destroyed, std::vector<uintptr_t>{fake_app().icons_made.at(0)});
  EXPECT_FALSE(fake_app().visible);
}

TEST_F(Handlers, OtherSizeChangesDoNothing) {
  on_main_window_created();
  for (int position : {position_normal, position_maximised}) {
    fake_app().position = position;
    on_main_window_resized();
  }
  EXPECT_EQ(fake_monitor().notifications.size(), 1u);
  EXPECT_TRUE(fake_app().visible);
}

TEST_F(Handlers, FiftyMinimiseCyclesLeaveOnlyTheRegisteredIcon) {
  on_main_window_created();
  for (int i = 0; i < 50; ++i) {
    fake_app().position = position_minimised;
    on_main_window_resized();
    fake_app().position = position_normal;
    on_notify_icon_event(2);
  }
  EXPECT_EQ(fake_app().icons_made.size(), 51u);
  EXPECT_EQ(fake_app().icons_destroyed.size(), 50u);
  EXPECT_EQ(notify_icon_handle(), fake_app().icons_made.back());
  set_notify_icon(Bytes(), Text());
  EXPECT_EQ(fake_app().icons_destroyed.size(), 51u) << "destroying the window removes the last";
}

TEST_F(Handlers, SetNotifyIconRules) {
  struct Step {
    bool with_image;
    uint32_t operation;  // 99: no shell call
    bool destroys_previous;
    const char* why;
  } steps[] = {
      {false, 99, false, "no icon and none registered: nothing"},
      {true, notify_add, false, "first icon: added"},
      {true, notify_modify, true, "a new icon: the registration is updated"},
      {false, notify_delete, true, "no icon: the registration is removed"},
      {false, 99, false, "removed already: nothing"},
  };
  for (const Step& step : steps) {
    const size_t calls = fake_monitor().notifications.size();
    const size_t destroyed = fake_app().icons_destroyed.size();
    set_notify_icon(step.with_image ? fake_app().icon_file : Bytes(), "tip");
    if (step.operation == 99) {
      EXPECT_EQ(fake_monitor().notifications.size(), calls) << step.why;
    } else {
      ASSERT_EQ(fake_monitor().notifications.size(), calls + 1) << step.why;
      EXPECT_EQ(fake_monitor().notifications.back().operation, step.operation) << step.why;
    }
    EXPECT_EQ(fake_app().icons_destroyed.size(), destroyed + (step.destroys_previous ? 1 : 0))
        << step.why;
  }
}

TEST_F(Handlers, AnImageThatMakesNoIconCountsAsNone) {
  set_notify_icon(fake_app().icon_file, "tip");
  set_notify_icon(make_bytes("not an icon"), "tip");
  EXPECT_EQ(fake_monitor().notifications.back().operation, notify_delete);
  EXPECT_EQ(notify_icon_handle(), 0u);
}

TEST_F(Handlers, TheTooltipIsCutTo62Bytes) {
  set_notify_icon(fake_app().icon_file, filled_text(100));
  const NotifyIconRecord& record = fake_monitor().notifications.back().record;
  EXPECT_EQ(std::string(record.tip).size(), 62u);
}

TEST_F(Handlers, TheCreditLabelOpensTheMakersPage) {
  on_credit_label_released();
  EXPECT_EQ(fake_app().pages_opened, std::vector<Text>{maker_address()});
}

TEST(WindowRules, PositionsAreClampedAndCentringRoundsTowardZero) {
  const int clamps[][2] = {{-5, 0}, {0, 0}, {1, 1},       {2, 2},
                           {3, 3},  {4, 3}, {INT_MIN, 0}, {INT_MAX, 3}};
  for (const auto& c : clamps)
    EXPECT_EQ(clamp_window_position(c[0]), c[1]) << c[0];
  EXPECT_EQ(centred_origin(800, 287), 256);
  EXPECT_EQ(centred_origin(600, 109), 245);
  EXPECT_EQ(centred_origin(100, 287), -93) << "-93.5 rounds toward zero";
}

TEST_F(Handlers, ANewTaskbarGetsTheIconRegisteredAfresh) {
  on_main_window_created();
  fake_app().position = position_minimised;
  on_main_window_resized();
  const uintptr_t before = notify_icon_handle();
  fake_platform().events.clear();
  on_taskbar_created();
  ASSERT_EQ(fake_monitor().notifications.size(), 3u);
  const NotifyRecord& again = fake_monitor().notifications.back();
  EXPECT_EQ(again.operation, notify_add) << "the new shell knows no registration to modify";
  EXPECT_EQ(again.record.id, 100u);
  EXPECT_EQ(again.record.callback_message, 0x8064u);
  EXPECT_EQ(again.record.flags, flag_message | flag_icon | flag_tip);
  EXPECT_STREQ(again.record.tip, "Moskant");
  EXPECT_EQ(again.record.icon, notify_icon_handle());
  EXPECT_NE(notify_icon_handle(), before) << "a newly made icon";
  EXPECT_EQ(fake_app().icons_destroyed.back(), before) << "the remembered handle is destroyed";
  EXPECT_FALSE(fake_app().visible) << "a hidden window stays hidden";
  EXPECT_EQ(fake_app().icons_made.size() - fake_app().icons_destroyed.size(), 1u);
}
