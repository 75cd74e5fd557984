// The page request against a server of our own on 127.0.0.1, through the real
// WinInet of the Windows build (under Wine here). Where Wine's WinInet differs
// from Windows', the checks keep to what the request itself controls.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "text_helpers.h"
#include "web/fetch_page.h"
#include "wire_helpers.h"

namespace {

const char* const default_agent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KEMRO; .NET CLR 2.0.50727; .NET CLR "
    "3.0.04506.648; .NET CLR 3.5.21022)";

using FetchPageOnTheWire = WireTest;

// Where `line` arrived among the header lines, or -1.
int position_of(const std::vector<std::string>& lines, const std::string& line) {
  const auto found = std::find(lines.begin(), lines.end(), line);
  return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

int count_starting_with(const std::vector<std::string>& lines, const std::string& start) {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.compare(0, start.size(), start) == 0;
  }));
}

}  // namespace

TEST_F(FetchPageOnTheWire, TheListingRequestCarriesTheDefaultLines) {
  start({{http_response("200 OK", "Content-Type: text/html\r\n", "<html>page</html>")}});
  const std::string page_url = url("/yuexitong/");

  const Bytes body = fetch_page(make_text(page_url));

  const std::vector<std::string> received = requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(request_line(received[0]), "GET /yuexitong/ HTTP/1.1");
  const std::vector<std::string> lines = request_headers(received[0]);
  const std::string expected[] = {
      std::string("User-Agent: ") + default_agent,
      "Referer: " + page_url,
      "Accept: */*",
      "Accept-Language: zh-cn",
      "Content-Type: application/x-www-form-urlencoded",
  };
  int previous = -1;
  for (const std::string& line : expected) {
    const int at = position_of(lines, line);
    EXPECT_GT(at, previous) << line << ": missing or out of order";
    previous = at;
  }
  EXPECT_EQ(request_body(received[0]), "") << "a GET sends no body";
  EXPECT_EQ(body, make_bytes("<html>page</html>"));
}

TEST_F(FetchPageOnTheWire, TheCallersLinesCrossAsGiven) {
  start({{http_response("200 OK", "", "x")}});
  const std::string name_line = "X-Name: \xD6\xD0\xCE\xC4";  // "X-Name: 中文"
  Text extra_headers = make_text(name_line + "\r\nUser-Agent: Probe/1.0");
  fetch_page(make_text(url("/p")), 0, nullptr, nullptr, nullptr, &extra_headers);
  const std::vector<std::string> received = requests();
  ASSERT_EQ(received.size(), 1u);
  const std::vector<std::string> lines = request_headers(received[0]);
  // WinInet passes header bytes through the ANSI code page; Wine takes it from the
  // locale, which the test runner sets to zh_CN, so the bytes come through whole.
  EXPECT_NE(position_of(lines, name_line), -1) << hex_of(received[0]);
  EXPECT_NE(position_of(lines, "User-Agent: Probe/1.0"), -1) << "the agent, from the caller's line";
}

TEST_F(FetchPageOnTheWire, BodiesArriveByteForByte) {
  struct Case {
    int method;
    Text post_text;
    std::optional<Bytes> post_bytes;
    std::string request_line;
    std::string body;
    const char* why;
  } cases[] = {
      {1, "a=1&b=%E4%B8%AD", std::nullopt, "POST /form HTTP/1.1", "a=1&b=%E4%B8%AD",
       "a POST with the text"},
      {1, "ignored", make_bytes(patterned_bytes(3000)), "POST /form HTTP/1.1",
       patterned_bytes(3000), "a POST with bytes, zero bytes among them"},
      {2, "x=9", std::nullopt, "GET /form HTTP/1.1", "x=9", "a GET that sends a body"},
  };
  for (const Case& c : cases) {
    start({{http_response("200 OK", "", "done")}});
    Bytes post_bytes = c.post_bytes.value_or(Bytes());
    const Bytes body = fetch_page(make_text(url("/form")), c.method, &c.post_text, nullptr, nullptr,
                                  nullptr, nullptr, false, c.post_bytes ? &post_bytes : nullptr);
    const std::vector<std::string> received = requests();
    ASSERT_EQ(received.size(), 1u) << c.why;
    EXPECT_EQ(request_line(received[0]), c.request_line) << c.why;
    EXPECT_NE(position_of(request_headers(received[0]),
                          "Content-Length: " + std::to_string(c.body.size())),
              -1)
        << c.why;
    EXPECT_TRUE(request_body(received[0]) == c.body) << c.why;
    EXPECT_EQ(body, make_bytes("done")) << c.why;
  }
}

TEST_F(FetchPageOnTheWire, ResponseBodiesComeBackExactly) {
  const std::string body = patterned_bytes(600 * 1024 + 37);
  std::string chunked;
  for (std::size_t at = 0; at < body.size(); at += 70000) {
    const std::string piece = body.substr(at, 70000);
    char size[16];
    std::snprintf(size, sizeof size, "%zx", piece.size());
    chunked += std::string(size) + "\r\n" + piece + "\r\n";
  }
  chunked += "0\r\n\r\n";
  struct Case {
    std::string response;
    std::string body;
    const char* why;
  } cases[] = {
      {http_response("200 OK", "", body), body, "with its length"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" + chunked, body,
       "in chunks"},
      {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body, body, "ended by the close"},
      {http_response("200 OK", "", ""), "", "an empty body"},
      {http_response("404 Not Found", "", "missing"), "missing", "the status is not examined"},
  };
  for (const Case& c : cases) {
    start({{c.response}});
    const Bytes received = fetch_page(make_text(url("/big")));
    requests();
    EXPECT_EQ(received.data.size(), c.body.size()) << c.why;
    EXPECT_TRUE(received.data == c.body) << c.why;
  }
}

TEST_F(FetchPageOnTheWire, CookiesAndLocationWithoutFollowing) {
  const std::string moved = http_response(
      "302 Found", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\nLocation: /elsewhere\r\n",
      "moved");
  struct Case {
    std::optional<Text> cookies;
    Text new_cookies;
    Text cookies_after;
    const char* cookie_line;  // the Cookie line sent, or null for none
    const char* why;
  } cases[] = {
      {std::nullopt, "a=1; b=2", "", nullptr, "cookies omitted"},
      {Text("z=9; a=0"), "a=1;b=2", "a=1; b=2; z=9", "Cookie: z=9; a=0",
       "cookies given: merged, and WinInet's store keeps out of it"},
  };
  for (const Case& c : cases) {
    start({{moved}});
    Text cookies = c.cookies.value_or(Text());
    Text new_cookies, redirect_url, raw_headers;
    const Bytes body =
        fetch_page(make_text(url("/start")), 0, nullptr, c.cookies ? &cookies : nullptr,
                   &new_cookies, nullptr, &redirect_url, true, nullptr, nullptr, &raw_headers);
    const std::vector<std::string> received = requests();
    ASSERT_EQ(received.size(), 1u) << c.why << ": the 302 is not followed";
    EXPECT_EQ(body, make_bytes("moved")) << c.why;
    EXPECT_EQ(redirect_url, "/elsewhere") << c.why;
    EXPECT_EQ(new_cookies, c.new_cookies) << c.why;
    if (c.cookies) {
      EXPECT_EQ(cookies, c.cookies_after) << c.why;
    }
    EXPECT_EQ(raw_headers.bytes.substr(0, 12), "HTTP/1.1 302") << c.why;
    const std::vector<std::string> lines = request_headers(received[0]);
    if (c.cookie_line != nullptr) {
      EXPECT_EQ(count_starting_with(lines, "Cookie:"), 1) << c.why;
      EXPECT_NE(position_of(lines, c.cookie_line), -1) << c.why;
    }
  }
}

TEST_F(FetchPageOnTheWire, ARedirectIsFollowedByWinInet) {
  start({{http_response("302 Found", "Location: /next\r\n", "moved")},
         {http_response("200 OK", "", "final")}});
  Text redirect_url, raw_headers;
  const Bytes body = fetch_page(make_text(url("/first")), 0, nullptr, nullptr, nullptr, nullptr,
                                &redirect_url, false, nullptr, nullptr, &raw_headers);
  const std::vector<std::string> received = requests();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(request_line(received[1]), "GET /next HTTP/1.1");
  EXPECT_EQ(body, make_bytes("final"));
  // The header block is the final response's, which names no Location.
  EXPECT_EQ(raw_headers.bytes.substr(0, 15), "HTTP/1.1 200 OK");
  EXPECT_EQ(redirect_url, raw_headers);
}

TEST_F(FetchPageOnTheWire, AProxyReceivesTheRequestInProxyForm) {
  start({{http_response("200 OK", "", "via proxy")}});
  const Text proxy = make_text("127.0.0.1:" + std::to_string(server.port));
  const Bytes body = fetch_page("http://www.example.com/yuexitong/", 0, nullptr, nullptr, nullptr,
                                nullptr, nullptr, false, nullptr, &proxy);
  const std::vector<std::string> received = requests();
  ASSERT_EQ(received.size(), 1u);
  // Wine writes the port it was given into the proxy request ("www.example.com:80");
  // Windows leaves out a default port. Either way the request names our host and path.
  const std::string line = request_line(received[0]);
  EXPECT_TRUE(line == "GET http://www.example.com/yuexitong/ HTTP/1.1" ||
              line == "GET http://www.example.com:80/yuexitong/ HTTP/1.1")
      << line;
  EXPECT_NE(position_of(request_headers(received[0]), "Host: www.example.com"), -1);
  EXPECT_EQ(body, make_bytes("via proxy"));
}

TEST_F(FetchPageOnTheWire, ARefusedConnectionGivesAnEmptyBody) {
  const std::string refused_url =
      "http://127.0.0.1:" + std::to_string(unused_loopback_port()) + "/";
  Text extra_headers, redirect_url, raw_headers, new_cookies = "stale";
  const Bytes body =
      fetch_page(make_text(refused_url), 0, nullptr, nullptr, &new_cookies, &extra_headers,
                 &redirect_url, false, nullptr, nullptr, &raw_headers);
  EXPECT_EQ(body, Bytes());
  // Failures after the request handle was opened are not detected: the routine
  // runs on to the header query and its end.
  EXPECT_TRUE(is_unanswered_block(raw_headers)) << hex_of(raw_headers.bytes);
  EXPECT_EQ(redirect_url, raw_headers) << "the block stands in for a missing Location";
  EXPECT_EQ(new_cookies, "");
  EXPECT_EQ(extra_headers.bytes.substr(0, 9), "Referer: ");
}

TEST_F(FetchPageOnTheWire, AConnectionLostMidBodyGivesWhatArrived) {
  const std::string whole = patterned_bytes(100000);
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n";
  struct Case {
    ReplyEnd end;
    const char* why;
  } cases[] = {
      {ReplyEnd::close, "closed in order"},
      {ReplyEnd::reset, "reset"},
  };
  for (const Case& c : cases) {
    start({{head + whole.substr(0, 30000), c.end}});
    Text raw_headers;
    const Bytes body = fetch_page(make_text(url("/cut")), 0, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, false, nullptr, nullptr, &raw_headers);
    requests();
    EXPECT_LE(body.data.size(), 30000u) << c.why;
    EXPECT_TRUE(whole.compare(0, body.data.size(), body.data) == 0)
        << c.why << ": what was kept is the start of the body";
    EXPECT_EQ(raw_headers.bytes.substr(0, 15), "HTTP/1.1 200 OK") << c.why;
    if (c.end == ReplyEnd::close) {
      EXPECT_EQ(body.data.size(), 30000u) << c.why << ": every byte that arrived is kept";
    }
  }
}

TEST_F(FetchPageOnTheWire, AHeaderBlockOver5000BytesIsNotCaptured) {
  // Three lines of 2 KB: Wine cuts a single header line at about 4 KB.
  const std::string filler = std::string(2000, 'f') + "\r\n";
  start({{http_response("200 OK",
                        "Set-Cookie: a=1; path=/\r\nLocation: /x\r\nX-Filler-1: " + filler +
                            "X-Filler-2: " + filler + "X-Filler-3: " + filler,
                        "body")}});
  Text new_cookies, redirect_url, raw_headers;
  const Bytes body = fetch_page(make_text(url("/long")), 0, nullptr, nullptr, &new_cookies, nullptr,
                                &redirect_url, true, nullptr, nullptr, &raw_headers);
  requests();
  const Text blanks = make_text(std::string(5000, ' '));
  EXPECT_EQ(body, make_bytes("body"));
  EXPECT_EQ(raw_headers, blanks);
  EXPECT_EQ(redirect_url, blanks);
  EXPECT_EQ(new_cookies, "");
}
