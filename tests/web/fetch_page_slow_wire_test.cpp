// The page request's slow cases on the wire: a server that never answers, and a
// very large body. Their run times are printed, not judged.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "text_helpers.h"
#include "web/fetch_page.h"
#include "wire_helpers.h"

namespace {

using FetchPageSlowOnTheWire = WireTest;

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

// Wine's WinInet waits for ever on a silent server; Windows gives up after its
// default receive time-out of 30 s. The request sets that time-out itself, so
// the watch goes on under both.
TEST_F(FetchPageSlowOnTheWire, ASilentServerIsGivenUpAfterTheReceiveTimeout) {
  start({{"", ReplyEnd::stay_silent}});
  Text raw_headers;
  const auto started = std::chrono::steady_clock::now();
  const Bytes body = fetch_page(make_text(url("/silent")), 0, nullptr, nullptr, nullptr, nullptr,
                                nullptr, false, nullptr, nullptr, &raw_headers);
  const double waited = seconds_since(started);
  std::printf("gave up after %.1f s\n", waited);
  const std::vector<std::string> received = requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(request_line(received[0]), "GET /silent HTTP/1.1");
  EXPECT_EQ(body, Bytes());
  EXPECT_TRUE(is_unanswered_block(raw_headers)) << hex_of(raw_headers.bytes);
  // Well above any failure that is not the time-out, and well below "never".
  EXPECT_GE(waited, 25.0);
  EXPECT_LT(waited, 90.0);
}

TEST_F(FetchPageSlowOnTheWire, A64MegabyteBodyComesBackExactly) {
  const std::string body = patterned_bytes(64u << 20);
  start({{http_response("200 OK", "", body)}});
  const auto started = std::chrono::steady_clock::now();
  const Bytes received = fetch_page(make_text(url("/huge")));
  std::printf("64 MB read in %.1f s\n", seconds_since(started));
  requests();
  EXPECT_EQ(received.data.size(), body.size());
  EXPECT_TRUE(received.data == body);
}
