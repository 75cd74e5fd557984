#include "monitor/monitor_loop.h"

#include <climits>

#include "monitor/alert.h"
#include "monitor/controls.h"
#include "monitor/listing.h"
#include "monitor/watch.h"
#include "util/codepage.h"
#include "util/core.h"
#include "util/platform.h"
#include "web/fetch_page.h"

int pause_for_interval(int seconds) {
  const long long ms = static_cast<long long>(seconds) * 1000;
  if (ms > INT_MAX) return INT_MAX;
  if (ms < INT_MIN) return INT_MIN;
  return static_cast<int>(ms);
}

void monitor_loop(int32_t watch) {
  // Nothing survives a pass: a listing still on the page alerts again.
  while (watch_goes_on(watch)) {
    if (parse_int(get_edit_text()) < least_interval_s) set_edit_text("15");
    const Bytes body = fetch_page(listing_url());
    const Text page = utf8_to_ansi(format_value(body));
    if (shows_buyable_listing(find_listing_markers(page))) alert_new_listing();
    // The interval is read again; a stop asked for meanwhile waits for the next flag test.
    pause_ms(pause_for_interval(parse_int(get_edit_text())));
  }
}
