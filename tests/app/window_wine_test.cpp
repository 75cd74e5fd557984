// The real main window under Wine, driven from inside the test process.

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/icon_calls.h"
#include "app/main_window.h"
#include "app/notify_icon.h"
#include "app/texts.h"
#include "app/web_page.h"
#include "loopback_server.h"
#include "monitor/alert.h"
#include "monitor/listing.h"
#include "monitor/notify_icon_record.h"
#include "monitor/watch.h"
#include "util/core.h"
#include "web/url.h"
#include "window_driver.h"

// The browser is left out of these tests: opening a page is recorded instead.
std::vector<std::string> pages_opened;
void open_web_page(const Text& address) {
  pages_opened.push_back(address.bytes);
}

namespace {

HWND as_window(uintptr_t handle) {
  return reinterpret_cast<HWND>(handle);
}

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(create_main_window());
    const MainWindowHandles& h = main_window_handles();
    window = as_window(h.window);
    button = as_window(h.start_stop);
    edit = as_window(h.interval_edit);
    pump_for(100);
  }
  void TearDown() override {
    end_watch();
    DestroyWindow(window);
    pump_for(50);
  }

  bool at_centre() const {
    RECT r;
    GetWindowRect(window, &r);
    return r.left == (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2 &&
           r.top == (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
  }

  void send_icon_event(UINT mouse_message) {
    SendMessageA(window, notify_icon_callback, notify_icon_id, mouse_message);
  }

  void minimise() {
    ShowWindow(window, SW_MINIMIZE);
    pump_for(20);
  }

  HWND window = nullptr;
  HWND button = nullptr;
  HWND edit = nullptr;
};

}  // namespace

TEST_F(MainWindow, OpensCentredWithAFixedFrame) {
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 287);
  EXPECT_EQ(outer.bottom - outer.top, 109);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 287) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 109) / 2);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "no maximise box";
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border cannot be dragged";
  EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(text_of(window), window_caption().bytes);
  EXPECT_TRUE(notify_icon_registered(window)) << "the icon is there from the start";
}

TEST_F(MainWindow, ControlsSitWhereTheFormPutsThem) {
  const MainWindowHandles& h = main_window_handles();
  struct Case {
    uintptr_t handle;
    const char* window_class;
    RECT place;  // left, top, right, bottom in the client area
    std::string text;
  } cases[] = {
      {h.credit_label, "Static", {136, 52, 136 + 148, 52 + 24}, credit_text().bytes},
      {h.sound_box, "Button", {168, 19, 168 + 80, 19 + 16}, sound_alert_label().bytes},
      {h.interval_edit, "Edit", {91, 14, 91 + 36, 14 + 24}, "15"},
      {h.interval_label, "Static", {40, 10, 40 + 112, 10 + 32}, interval_label().bytes},
      {h.start_stop, "Button", {25, 45, 25 + 100, 45 + 32}, caption_start().bytes},
  };
  const HGDIOBJ gui_font = GetStockObject(DEFAULT_GUI_FONT);
  for (const Case& c : cases) {
    HWND control = as_window(c.handle);
    const RECT place = placement_of(control);
    EXPECT_EQ(_stricmp(class_of(control).c_str(), c.window_class), 0) << c.window_class;
    EXPECT_EQ(place.left, c.place.left) << c.text;
    EXPECT_EQ(place.top, c.place.top) << c.text;
    EXPECT_EQ(place.right, c.place.right) << c.text;
    EXPECT_EQ(place.bottom, c.place.bottom) << c.text;
    EXPECT_EQ(text_of(control), c.text);
    EXPECT_TRUE(IsWindowVisible(control)) << c.text;
    EXPECT_TRUE(IsWindowEnabled(control)) << c.text;
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)), gui_font)
        << c.text;
  }
  HWND sound_box = as_window(h.sound_box);
  EXPECT_EQ(SendMessageA(sound_box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(GetWindowLongA(sound_box, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "a sunken border";
  EXPECT_FALSE(GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE);
  // The edit box lies over the blanks of its caption.
  EXPECT_EQ(GetWindow(edit, GW_HWNDFIRST), edit);
}

TEST_F(MainWindow, ShortIntervalsShowTheWarningAndChangeNothing) {
  const char* const intervals[] = {"14", "0", "-20", "", "abc"};
  for (const char* interval : intervals) {
    SetWindowTextA(edit, interval);
    const SeenMessageBox box = click_and_dismiss_box(button, short_interval_title().bytes, window);
    EXPECT_TRUE(box.found) << interval;
    EXPECT_EQ(box.title, short_interval_title().bytes) << interval;
    EXPECT_EQ(box.text, short_interval_warning().bytes) << interval;
    EXPECT_FALSE(box.owner_thread_windows_enabled) << "the box is task-modal";
    EXPECT_EQ(text_of(button), caption_start().bytes) << interval;
    EXPECT_TRUE(IsWindowEnabled(edit)) << interval;
    EXPECT_EQ(monitoring_flag.load(), 0) << interval;
  }
}

TEST_F(MainWindow, AcceptedIntervalsStartAndAStopRestoresAtOnce) {
  const char* const intervals[] = {"15", " 20", "20\xC3\xEB", "\xA3\xB2\xA3\xB0"};  // 20秒, ２０
  for (const char* interval : intervals) {
    SetWindowTextA(edit, interval);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(text_of(button), caption_stop().bytes) << interval;
    EXPECT_FALSE(IsWindowEnabled(edit)) << interval;
    EXPECT_EQ(monitoring_flag.load(), 1) << interval;
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(text_of(button), caption_start().bytes) << interval;
    EXPECT_TRUE(IsWindowEnabled(edit)) << interval;
    EXPECT_EQ(monitoring_flag.load(), 0) << interval;
  }
}

TEST_F(MainWindow, AStartRequestsTheListingPageAtOnce) {
  // The program's listing address points at this machine in the builds that run here.
  LoopbackServer server = start_loopback_server(
      {{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"}},
      url_port(listing_url()));
  ASSERT_NE(server.port, 0) << "the listing port is taken";
  SendMessageA(button, BM_CLICK, 0, 0);
  const ULONGLONG clicked = GetTickCount64();
  EXPECT_EQ(text_of(button), caption_stop().bytes);
  EXPECT_FALSE(IsWindowEnabled(edit));
  pump_until([&] { return server_request_count(server) > 0; }, 5000);
  const ULONGLONG arrived = GetTickCount64();
  SendMessageA(button, BM_CLICK, 0, 0);
  const std::vector<std::string> requests = stop_loopback_server(server);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /yuexitong/ HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_LT(arrived - clicked, 3000u) << "no wait before the first pass";
}

TEST_F(MainWindow, MinimisingHidesTheWindowAndKeepsTheIcon) {
  minimise();
  EXPECT_FALSE(IsWindowVisible(window)) << "no window and no taskbar button";
  EXPECT_TRUE(IsIconic(window));
  EXPECT_TRUE(notify_icon_registered(window));
}

TEST_F(MainWindow, OnlyADoubleClickOnTheIconRestoresAndCentres) {
  minimise();
  for (UINT message : {WM_LBUTTONUP, WM_RBUTTONUP, WM_CONTEXTMENU, WM_LBUTTONDOWN}) {
    send_icon_event(message);
    EXPECT_FALSE(IsWindowVisible(window)) << std::hex << message;
  }
  send_icon_event(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(at_centre());
}

TEST_F(MainWindow, ADoubleClickWhileShownOnlyCentres) {
  SetWindowPos(window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  send_icon_event(WM_LBUTTONDBLCLK);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_TRUE(at_centre());
  EXPECT_EQ(outer.right - outer.left, 287) << "not resized";
  EXPECT_EQ(outer.bottom - outer.top, 109);
}

TEST_F(MainWindow, ADoubleClickInTheNotificationAreaBringsItBack) {
  minimise();
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  ASSERT_NE(tray, nullptr) << "the virtual desktop's notification area";
  // Icons sit at the right of the area; ours is the only one.
  RECT area;
  GetClientRect(tray, &area);
  PostMessageA(tray, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(area.right - 2, 2));
  EXPECT_TRUE(pump_until([&] { return IsWindowVisible(window) != FALSE; }, 5000));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(at_centre());
}

TEST_F(MainWindow, FiftyMinimiseCyclesLeaveOneIconMade) {
  const IconCounts before = icon_counts();
  for (int i = 0; i < 50; ++i) {
    minimise();
    send_icon_event(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(IsWindowVisible(window)) << "cycle " << i;
  }
  const IconCounts after = icon_counts();
  EXPECT_EQ(after.made - before.made, 50);
  EXPECT_EQ(after.destroyed - before.destroyed, 50) << "every replaced icon is destroyed";
  EXPECT_EQ(after.made - after.destroyed, 1) << "only the registered one remains";
  EXPECT_NE(notify_icon_handle(), 0u);
  EXPECT_TRUE(notify_icon_registered(window));
}

TEST_F(MainWindow, TheCreditLabelActsOnTheReleaseOnly) {
  HWND label = as_window(main_window_handles().credit_label);
  pages_opened.clear();
  SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(pages_opened.empty()) << "pressing alone does nothing";
  SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(pages_opened, std::vector<std::string>{maker_address().bytes});
}

TEST_F(MainWindow, DestroyingTheWindowRemovesTheIcon) {
  const IconCounts before = icon_counts();
  DestroyWindow(window);
  EXPECT_FALSE(notify_icon_registered(window));
  EXPECT_EQ(icon_counts().destroyed - before.destroyed, 1);
  EXPECT_EQ(notify_icon_handle(), 0u);
}

TEST_F(MainWindow, TheIconComesBackWhenTheShellRestarts) {
  minimise();
  // A dying shell forgets the registration; the new one announces itself.
  NOTIFYICONDATAA forget{};
  forget.cbSize = NOTIFYICONDATAA_V2_SIZE;
  forget.hWnd = window;
  forget.uID = notify_icon_id;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &forget));
  ASSERT_FALSE(notify_icon_registered(window));
  const IconCounts before = icon_counts();
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(notify_icon_registered(window));
  EXPECT_FALSE(IsWindowVisible(window)) << "a minimised window stays hidden";
  EXPECT_EQ(icon_counts().made - before.made, 1);
  EXPECT_EQ(icon_counts().destroyed - before.destroyed, 1) << "the old handle is destroyed";

  // The double-click on the new icon brings the window back.
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  ASSERT_NE(tray, nullptr);
  RECT area;
  GetClientRect(tray, &area);
  PostMessageA(tray, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(area.right - 2, 2));
  EXPECT_TRUE(pump_until([&] { return IsWindowVisible(window) != FALSE; }, 5000));
  EXPECT_TRUE(at_centre());
  // And the next alert's balloon is accepted again.
  EXPECT_TRUE(show_balloon("t", "x", 1, 5));
}

TEST_F(MainWindow, FiftyStartsAndStopsLeaveTheHandleCountWhereItWas) {
  // Requests are answered, or refused once the server's queue is full, so that
  // no worker still waits for one when the handles are counted.
  const ScriptedReply ok = {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"};
  LoopbackServer server =
      start_loopback_server(std::vector<ScriptedReply>(60, ok), url_port(listing_url()));
  ASSERT_NE(server.port, 0) << "the listing port is taken";
  // One cycle first, so that what the first request sets up once is counted
  // before; its worker ends after its pause of 15 s.
  SendMessageA(button, BM_CLICK, 0, 0);
  SendMessageA(button, BM_CLICK, 0, 0);
  pump_for(16500);
  const int before = count_open_handles();
  for (int i = 0; i < 50; ++i) {
    SendMessageA(button, BM_CLICK, 0, 0);
    SendMessageA(button, BM_CLICK, 0, 0);
  }
  // Each worker makes its request, pauses 15 s, and ends at its next
  // flag test; on a busy machine that takes a little longer.
  pump_for(15000);
  int after = count_open_handles();
  pump_until([&] { return (after = count_open_handles()) - before <= 3; }, 45000);
  EXPECT_LE(after - before, 3) << "before " << before << ", after " << after;
  stop_loopback_server(server);
}
