#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "fakes/fake_monitor.h"
#include "fakes/fake_platform.h"
#include "monitor/listing.h"
#include "monitor/monitor_loop.h"
#include "monitor/watch.h"
#include "text_helpers.h"

namespace {

const char buyable_page[] =
    "<h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>1,000 <a href=\"#\">购买</a>";

// Fresh fakes and a watch that ends after `passes` pauses.
class MonitorLoop : public testing::Test {
 protected:
  void SetUp() override {
    reset_fake_monitor();
    end_watch();
  }
  void TearDown() override { end_watch(); }

  // Runs one watch whose user presses stop during the pause of pass `passes`.
  void run_passes(int passes) {
    const int32_t watch = begin_watch();
    int pauses = 0;
    fake_platform().on_pause = [&](int ms) {
      if (ms >= 15000 && ++pauses == passes) end_watch();
    };
    monitor_loop(watch);
  }

  static int count_events(const std::string& prefix) {
    int n = 0;
    for (const std::string& e : fake_platform().events)
      n += e.rfind(prefix, 0) == 0;
    return n;
  }
};

}  // namespace

TEST_F(MonitorLoop, APassRequestsTheListingUrlAloneThenPausesTheInterval) {
  run_passes(1);
  ASSERT_EQ(fake_monitor().fetches.size(), 1u);
  EXPECT_EQ(fake_monitor().fetches[0].url, listing_url());
  EXPECT_TRUE(fake_monitor().fetches[0].only_url);
  EXPECT_EQ(fake_platform().pauses, std::vector<int>{15000});
  const std::vector<std::string> expected = {"get_edit_text", "fetch " + listing_url().bytes,
                                             "get_edit_text", "pause 15000"};
  EXPECT_EQ(fake_platform().events, expected) << "no alert on an empty page";
}

TEST_F(MonitorLoop, EveryPassJudgesItsPageAfresh) {
  // The same listing in two passes alerts twice; a page without it does not.
  fake_monitor().pages = {make_bytes(buyable_page), make_bytes(buyable_page),
                          make_bytes("<p>其他投资人转让项目</p>")};
  run_passes(3);
  EXPECT_EQ(fake_monitor().fetches.size(), 3u);
  EXPECT_EQ(count_events("notify 1"), 2) << "one balloon per pass with a listing";
  EXPECT_EQ(count_events("beep"), 6);
}

TEST_F(MonitorLoop, PagesAsTheyArriveOnTheWire) {
  struct Case {
    std::string body;
    bool alerts;
    const char* why;
  } cases[] = {
      {buyable_page, true, "a buyable listing in UTF-8"},
      {std::string("<h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>1 ") + '\0' + "购买",
       false, "the page is judged only up to a zero byte"},
      {std::string(
           "\xFF<h2>其他投资人转让项目</h2>\xE4\xB8<span class=\"rmb\">￥</span>\xC0 购买\xFF"),
       true, "invalid UTF-8 around intact markers"},
      {"<h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>1 \xE8\xB4\xAD\xE4\xB9", false,
       "the buy marker cut off at the end"},
      {"", false, "a failed request"},
  };
  for (const Case& c : cases) {
    reset_fake_monitor();
    fake_monitor().pages = {make_bytes(c.body)};
    run_passes(1);
    EXPECT_EQ(count_events("notify 1"), c.alerts ? 1 : 0) << c.why;
  }
}

TEST_F(MonitorLoop, IntervalGuard) {
  struct Case {
    const char* edit_text;
    const char* written;  // null: nothing written
    int pause_ms;
    const char* why;
  } cases[] = {
      {"15", nullptr, 15000, "the least interval"},
      {"20", nullptr, 20000, "a longer interval"},
      {"14", "15", 15000, "below the least"},
      {"abc", "15", 15000, "not a number reads as 0"},
      {"", "15", 15000, "empty"},
      {"-20", "15", 15000, "negative"},
      {"2147483", nullptr, 2147483000, "the longest interval that fits in milliseconds"},
      {"2147484", nullptr, INT_MAX, "a longer one is held at the largest pause, not wrapped"},
      {"4294968", nullptr, INT_MAX, "one that would wrap to a pause of 704 ms"},
  };
  for (const Case& c : cases) {
    reset_fake_monitor();
    fake_monitor().edit_text = c.edit_text;
    const int32_t watch = begin_watch();
    fake_platform().on_pause = [](int) { end_watch(); };
    monitor_loop(watch);
    if (c.written) {
      EXPECT_EQ(fake_monitor().edit_writes, std::vector<Text>{Text(c.written)}) << c.why;
    } else {
      EXPECT_TRUE(fake_monitor().edit_writes.empty()) << c.why;
    }
    EXPECT_EQ(fake_platform().pauses, std::vector<int>{c.pause_ms}) << c.why;
  }
}

TEST_F(MonitorLoop, ThePauseReadsTheIntervalAgain) {
  fake_monitor().edit_text = "30";
  fake_monitor().on_fetch = [] { fake_monitor().edit_text = "40"; };
  run_passes(1);
  EXPECT_EQ(fake_platform().pauses, std::vector<int>{40000});
}

TEST_F(MonitorLoop, AStopDuringTheRequestLetsThePassFinishPauseIncluded) {
  fake_monitor().pages = {make_bytes(buyable_page), make_bytes(buyable_page)};
  const int32_t watch = begin_watch();
  fake_monitor().on_fetch = [] { end_watch(); };
  monitor_loop(watch);
  EXPECT_EQ(fake_monitor().fetches.size(), 1u) << "no request after the pass in progress";
  EXPECT_EQ(count_events("notify 1"), 1) << "the alert of that pass still comes";
  ASSERT_FALSE(fake_platform().pauses.empty());
  EXPECT_EQ(fake_platform().pauses.back(), 15000) << "and so does its whole pause";
}

TEST_F(MonitorLoop, AStopDuringThePauseEndsTheWorkerWithoutAnotherRequest) {
  run_passes(2);
  EXPECT_EQ(fake_monitor().fetches.size(), 2u);
  EXPECT_EQ(fake_platform().events.back(), "pause 15000");
}

TEST_F(MonitorLoop, AStartWhileAStoppedWorkerPausesLeavesOneWorkerPolling) {
  // Worker A is in its pause when the user stops and starts again at once.
  const int32_t a = begin_watch();
  int32_t b = 0;
  fake_platform().on_pause = [&](int ms) {
    if (ms < 15000 || b != 0) return;
    end_watch();
    b = begin_watch();
  };
  monitor_loop(a);
  EXPECT_EQ(monitoring_flag.load(), 1) << "the flag keeps its meaning: a watch runs";
  EXPECT_EQ(fake_monitor().fetches.size(), 1u) << "A ends at its flag test, without a request";

  // The new worker B is the one that polls.
  fake_platform().on_pause = [](int) { end_watch(); };
  monitor_loop(b);
  EXPECT_EQ(fake_monitor().fetches.size(), 2u);
}

TEST_F(MonitorLoop, AWorkerOfAnEndedWatchMakesNoRequestAtAll) {
  const int32_t watch = begin_watch();
  end_watch();
  monitor_loop(watch);
  EXPECT_TRUE(fake_monitor().fetches.empty());
  EXPECT_TRUE(fake_platform().events.empty());
}
