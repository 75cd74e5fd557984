#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_wininet.h"
#include "text_helpers.h"
#include "web/fetch_page.h"

namespace {

const char* const listing_url = "http://www.example.com/yuexitong/";
const char* const default_agent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KEMRO; .NET CLR 2.0.50727; .NET CLR "
    "3.0.04506.648; .NET CLR 3.5.21022)";
const std::string default_lines =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
    "application/x-www-form-urlencoded";

struct FetchPage : testing::Test {
  void SetUp() override { reset_fake_wininet(); }
};

// The body served in the pieces a reading client would get.
void serve_body(const std::string& body) {
  fake_wininet().reads.push_back({body, true});
}

}  // namespace

TEST_F(FetchPage, TheListingRequestMakesEveryCallWithTheDefaults) {
  serve_body("<html>");
  fake_wininet().raw_headers = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n";

  const Bytes body = fetch_page(listing_url);

  const FakeWininet& fake = fake_wininet();
  EXPECT_EQ(body, make_bytes("<html>"));
  const std::vector<std::string> calls = {
      "InternetOpenA",    "InternetSetOptionA",  "InternetSetOptionA",  "InternetSetOptionA",
      "InternetConnectA", "InternetSetOptionA",  "InternetSetOptionA",  "InternetSetOptionA",
      "HttpOpenRequestA", "HttpSendRequestA",    "InternetReadFile",    "InternetReadFile",
      "HttpQueryInfoA",   "InternetCloseHandle", "InternetCloseHandle", "InternetCloseHandle"};
  EXPECT_EQ(fake.calls, calls);

  EXPECT_EQ(fake.open.agent, CallText(default_agent));
  EXPECT_EQ(fake.open.access_type, 1u) << "direct";
  EXPECT_EQ(fake.open.proxy, std::nullopt);
  EXPECT_EQ(fake.open.proxy_bypass, std::nullopt);
  EXPECT_EQ(fake.open.flags, 0u);

  // Windows' defaults, so that a silent server is given up under Wine too, which
  // reads the send and receive time-outs from the connection handle only.
  ASSERT_EQ(fake.options.size(), 6u);
  const std::uint32_t options[][2] = {{2, 60000}, {5, 30000}, {6, 30000}};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(fake.options[i].handle, i < 3 ? fake_internet_handle : fake_connection_handle);
    EXPECT_EQ(fake.options[i].option, options[i % 3][0]);
    EXPECT_EQ(fake.options[i].value, options[i % 3][1]);
    EXPECT_EQ(fake.options[i].length, 4u);
  }

  EXPECT_EQ(fake.connect.internet, fake_internet_handle);
  EXPECT_EQ(fake.connect.server, CallText("www.example.com"));
  EXPECT_EQ(fake.connect.port, 80);
  EXPECT_EQ(fake.connect.user, std::nullopt);
  EXPECT_EQ(fake.connect.password, std::nullopt);
  EXPECT_EQ(fake.connect.service, 3u);
  EXPECT_EQ(fake.connect.flags, 0u);
  EXPECT_EQ(fake.connect.context, 0u);

  EXPECT_EQ(fake.open_request.connection, fake_connection_handle);
  EXPECT_EQ(fake.open_request.verb, CallText("GET"));
  EXPECT_EQ(fake.open_request.object, CallText("/yuexitong/"));
  EXPECT_EQ(fake.open_request.version, CallText("HTTP/1.1"));
  EXPECT_EQ(fake.open_request.referrer, std::nullopt);
  EXPECT_TRUE(fake.open_request.accept_types_null);
  EXPECT_EQ(fake.open_request.flags, 0x80000000u | 0x10u | 0x4000u);
  EXPECT_EQ(fake.open_request.context, 0u);

  const std::string headers = std::string("Referer: ") + listing_url + default_lines;
  EXPECT_EQ(fake.send.request, fake_request_handle);
  EXPECT_EQ(fake.send.headers, CallText(headers));
  EXPECT_EQ(fake.send.headers_length, headers.size());
  EXPECT_EQ(fake.send.body, CallText("")) << "a GET sends an empty string, not a null pointer";
  EXPECT_EQ(fake.send.body_length, 0u);

  EXPECT_EQ(fake.read_sizes, (std::vector<std::uint32_t>{1024, 1024}));

  EXPECT_EQ(fake.query.request, fake_request_handle);
  EXPECT_EQ(fake.query.info_level, 22u);
  EXPECT_EQ(fake.query.buffer_given, std::string(5000, ' '));
  EXPECT_EQ(fake.query.length_given, 5000u);
  EXPECT_TRUE(fake.query.index_null);

  EXPECT_EQ(fake.closed, (std::vector<InternetHandle>{fake_request_handle, fake_connection_handle,
                                                      fake_internet_handle}));
}

TEST_F(FetchPage, PortAndRequestFlags) {
  struct Case {
    const char* url;
    bool cookies_given;
    bool no_redirect;
    const char* host;
    std::uint16_t port;
    const char* object;
    std::uint32_t flags;
    const char* why;
  } cases[] = {
      {listing_url, false, false, "www.example.com", 80, "/yuexitong/", 0x80004010,
       "http: reload, need-file, ignore redirects to https"},
      {"https://www.example.com", false, false, "www.example.com", 443, "/", 0x80800010,
       "https: secure instead"},
      {"HTTPS://H/x", false, false, "h", 443, "/x", 0x80800010, "the scheme in any case"},
      {listing_url, true, false, "www.example.com", 80, "/yuexitong/", 0x80084010,
       "cookies given: WinInet's own cookies off"},
      {listing_url, false, true, "www.example.com", 80, "/yuexitong/", 0x80204010,
       "no_redirect: no automatic redirects"},
      {"https://h:8443/a?b=1", true, true, "h", 8443, "/a?b=1", 0x80A80010, "everything"},
      {"Www.Example.com:8080/Page", false, false, "www.example.com", 8080, "/Page", 0x80004010,
       "no scheme, a port"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    Text cookies;
    fetch_page(c.url, 0, nullptr, c.cookies_given ? &cookies : nullptr, nullptr, nullptr, nullptr,
               c.no_redirect);
    EXPECT_EQ(fake_wininet().connect.server, CallText(c.host)) << c.why;
    EXPECT_EQ(fake_wininet().connect.port, c.port) << c.why;
    EXPECT_EQ(fake_wininet().open_request.object, CallText(c.object)) << c.why;
    EXPECT_EQ(fake_wininet().open_request.flags, c.flags) << c.why;
  }
}

TEST_F(FetchPage, HeaderTextAndUserAgent) {
  const std::string referer = std::string("\r\nReferer: ") + listing_url;
  struct Case {
    std::optional<Text> extra_headers;  // nullopt: omitted
    std::optional<Text> cookies;
    const char* agent;
    std::string sent;
    const char* why;
  } cases[] = {
      {std::nullopt, std::nullopt, default_agent,
       std::string("Referer: ") + listing_url + default_lines, "omitted: the default lines"},
      {Text(""), std::nullopt, default_agent,
       std::string("Referer: ") + listing_url + default_lines,
       "empty: Referer opens the text without a line break"},
      {Text("User-Agent: Test"), std::nullopt, "Test", "User-Agent: Test" + referer + default_lines,
       "the agent from the only line, which is sent as well"},
      {Text("User-Agent:  Test 2 \r\nX-A: 1"), std::nullopt, "Test 2",
       "User-Agent:  Test 2 \r\nX-A: 1" + referer + default_lines,
       "the agent's line is followed by another"},
      {Text("user-agent: low"), std::nullopt, "low", "user-agent: low" + referer + default_lines,
       "a name in other case: the first header's value stands in"},
      {Text("referer: x"), std::nullopt, default_agent, "referer: x" + referer + default_lines,
       "names are searched in exact case"},
      {Text("Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c"), std::nullopt,
       default_agent, "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c",
       "all four given: nothing is added"},
      {Text("X-Note: Accept: inside"), std::nullopt, default_agent,
       "X-Note: Accept: inside" + referer +
           "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded",
       "a name inside another line counts as present"},
      {std::nullopt, Text("a=1; b=2"), default_agent,
       std::string("Referer: ") + listing_url + default_lines + "\r\nCookie: a=1; b=2",
       "cookies go last"},
      {Text("Cookie: z=9"), Text("a=1"), default_agent,
       "Cookie: z=9" + referer + default_lines + "\r\nCookie: a=1",
       "a Cookie line of the caller does not stop ours"},
      {std::nullopt, Text(""), default_agent,
       std::string("Referer: ") + listing_url + default_lines, "empty cookies: no Cookie line"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    Text extra_headers = c.extra_headers.value_or(Text());
    Text cookies = c.cookies.value_or(Text());
    fetch_page(listing_url, 0, nullptr, c.cookies ? &cookies : nullptr, nullptr,
               c.extra_headers ? &extra_headers : nullptr);
    EXPECT_EQ(fake_wininet().open.agent, CallText(c.agent)) << c.why;
    EXPECT_EQ(fake_wininet().send.headers, CallText(c.sent)) << c.why;
    EXPECT_EQ(fake_wininet().send.headers_length, c.sent.size()) << c.why;
    if (c.extra_headers) {
      EXPECT_EQ(extra_headers, make_text(c.sent)) << c.why << ": written back";
    }
  }
}

TEST_F(FetchPage, TheRefererIsTheUrlAsGiven) {
  Text extra_headers;
  fetch_page("http://WWW.Example.com/A", 0, nullptr, nullptr, nullptr, &extra_headers);
  EXPECT_EQ(extra_headers, make_text("Referer: http://WWW.Example.com/A" + default_lines));
  EXPECT_EQ(fake_wininet().connect.server, CallText("www.example.com"));
}

TEST_F(FetchPage, VerbAndBody) {
  struct Case {
    int method;
    Text post_text;
    std::optional<Bytes> post_bytes;  // nullopt: omitted
    const char* verb;
    CallText body_sent;
    Bytes post_bytes_after;
    const char* why;
  } cases[] = {
      {0, "a=1", std::nullopt, "GET", CallText(""), Bytes(), "no body: an empty string"},
      {1, "a=1", std::nullopt, "POST", CallText("a=1"), Bytes(), "POST with the text"},
      {2, "a=1", std::nullopt, "GET", CallText("a=1"), Bytes(), "a GET with a body"},
      {-1, "a=1", std::nullopt, "GET", CallText("a=1"), Bytes(), "any non-zero method"},
      {1, "a=1", Bytes(), "POST", CallText("a=1"), make_bytes("a=1"),
       "empty bytes receive the text"},
      {1, "ignored", make_bytes(std::string("x\0y", 3)), "POST", CallText(std::string("x\0y", 3)),
       make_bytes(std::string("x\0y", 3)), "bytes win over the text, zero bytes included"},
      {1, "", Bytes(), "POST", std::nullopt, Bytes(), "nothing to send: a null pointer"},
      {0, "a=1", make_bytes("zz"), "GET", CallText(""), make_bytes("zz"),
       "method 0 leaves the bytes alone"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    Bytes post_bytes = c.post_bytes.value_or(Bytes());
    fetch_page(listing_url, c.method, &c.post_text, nullptr, nullptr, nullptr, nullptr, false,
               c.post_bytes ? &post_bytes : nullptr);
    EXPECT_EQ(fake_wininet().open_request.verb, CallText(c.verb)) << c.why;
    EXPECT_EQ(fake_wininet().send.body, c.body_sent) << c.why;
    EXPECT_EQ(fake_wininet().send.body_length, c.body_sent ? c.body_sent->size() : 0u) << c.why;
    if (c.post_bytes) {
      EXPECT_EQ(post_bytes, c.post_bytes_after) << c.why;
    }
  }
}

TEST_F(FetchPage, TheBodyIsReadIn1024BytePiecesAsReceived) {
  std::string body;
  for (int i = 0; i < 2500; ++i)
    body += static_cast<char>(i % 7 == 0 ? 0 : 'a' + i % 26);
  serve_body(body);
  EXPECT_EQ(fetch_page(listing_url), make_bytes(body));
  EXPECT_EQ(fake_wininet().read_sizes, (std::vector<std::uint32_t>{1024, 1024, 1024, 1024}))
      << "three pieces and the read that finds the end";
}

TEST_F(FetchPage, ReadingStopsAtTheEndOrAtAFailedRead) {
  struct Case {
    std::vector<ReadReply> reads;
    std::string body;
    std::size_t read_count;
    const char* why;
  } cases[] = {
      {{}, "", 1, "an empty body"},
      {{{"abc", true}, {"def", true}}, "abcdef", 3, "short pieces are joined"},
      {{{"abc", false}, {"def", true}},
       "abc",
       1,
       "what a failed read still gave is kept, and nothing after it is read"},
      {{{"abc", true}, {"", false}, {"def", true}}, "abc", 2, "a failed read that gave nothing"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    fake_wininet().reads = c.reads;
    EXPECT_EQ(fetch_page(listing_url), make_bytes(c.body)) << c.why;
    EXPECT_EQ(fake_wininet().read_sizes.size(), c.read_count) << c.why;
  }
}

TEST_F(FetchPage, ProxyList) {
  struct Case {
    std::optional<Text> proxy;
    std::uint32_t access_type;
    CallText list, bypass;
    const char* why;
  } cases[] = {
      {std::nullopt, 1, std::nullopt, std::nullopt, "omitted: direct, null lists"},
      {Text("127.0.0.1:8080"), 3, CallText("http=127.0.0.1:8080"), CallText(""),
       "given: the http proxy and an empty bypass list"},
      {Text(""), 3, CallText("http="), CallText(""), "given empty: still the proxy form"},
      {Text(), 3, CallText("http="), CallText(""), "given absent: still the proxy form"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    fetch_page(listing_url, 0, nullptr, nullptr, nullptr, nullptr, nullptr, false, nullptr,
               c.proxy ? &*c.proxy : nullptr);
    EXPECT_EQ(fake_wininet().open.access_type, c.access_type) << c.why;
    EXPECT_EQ(fake_wininet().open.proxy, c.list) << c.why;
    EXPECT_EQ(fake_wininet().open.proxy_bypass, c.bypass) << c.why;
  }
}

TEST_F(FetchPage, HeaderScan) {
  const std::string two_cookies =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\n\r\n";
  struct Case {
    std::string block;
    std::optional<Text> cookies;  // nullopt: omitted
    Text redirect_before;
    Text new_cookies;
    Text cookies_after;
    Text redirect;  // "=block" stands for the raw block
    const char* why;
  } cases[] = {
      {two_cookies, std::nullopt, "", "a=1; b=2", "", "=block",
       "items joined by \"; \"; no Location: the raw block"},
      {two_cookies, Text(""), "", "a=1;b=2", "a=1; b=2", "=block",
       "cookies given: merged, and the new ones lose their blanks"},
      {two_cookies, Text("b=0; z = 9"), "", "a=1;b=2", "a=1; b=2; z=9", "=block",
       "merged with the caller's cookies"},
      {"HTTP/1.1 200 OK\r\nSet-Cookie: c=3\r\n\r\n", std::nullopt, "", "", "", "=block",
       "a cookie line without ';' gives an empty item"},
      {"HTTP/1.1 200 OK\r\nSet-Cookie:  sid=9 ; path=/\r\n\r\n", std::nullopt, "", "sid=9", "",
       "=block", "the item is trimmed"},
      {"HTTP/1.1 302 Found\r\nLocation:  /next \r\n\r\n", std::nullopt, "", "", "", "/next",
       "the Location value, trimmed"},
      {"HTTP/1.1 200 OK\r\nContent-Location: /c\r\n\r\n", std::nullopt, "", "", "", "/c",
       "Location: anywhere in a line"},
      {"HTTP/1.1 302 Found\r\nLocation: /1\r\nX: y\r\nLocation: /2\r\n\r\n", std::nullopt, "", "",
       "", "/2", "the last one wins"},
      {"HTTP/1.1 302 Found\r\nlocation: /x\r\n\r\n", std::nullopt, "", "", "", "=block",
       "Location: in exact case only"},
      {"HTTP/1.1 200 OK\r\n\r\n", std::nullopt, "kept", "", "", "kept",
       "no Location: a text held on entry stays"},
      {"HTTP/1.1 302 Found\r\nLocation: /new\r\n\r\n", std::nullopt, "old", "", "", "/new",
       "a Location replaces a text held on entry"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    fake_wininet().raw_headers = c.block;
    Text cookies = c.cookies.value_or(Text());
    Text new_cookies = "stale";
    Text redirect_url = c.redirect_before;
    Text raw_headers;
    fetch_page(listing_url, 0, nullptr, c.cookies ? &cookies : nullptr, &new_cookies, nullptr,
               &redirect_url, false, nullptr, nullptr, &raw_headers);
    EXPECT_EQ(raw_headers, make_text(c.block)) << c.why;
    EXPECT_EQ(new_cookies, c.new_cookies) << c.why;
    if (c.cookies) {
      EXPECT_EQ(cookies, c.cookies_after) << c.why;
    }
    const Text redirect = c.redirect == Text("=block") ? make_text(c.block) : c.redirect;
    EXPECT_EQ(redirect_url, redirect) << c.why;
  }
}

TEST_F(FetchPage, AHeaderBlockThatDoesNotFitLeavesTheBlanks) {
  struct Case {
    bool query_fails;
    std::string block;
    const char* why;
  } cases[] = {
      {true, "HTTP/1.1 200 OK\r\nLocation: /x\r\nSet-Cookie: a=1;\r\n\r\n", "the query fails"},
      {false, "HTTP/1.1 200 OK\r\nSet-Cookie: a=1;\r\nX: " + std::string(5000, 'x') + "\r\n\r\n",
       "a block over 5000 bytes"},
      {false, "HTTP/1.1 200 OK\r\nX: " + std::string(4975, 'x') + "\r\n\r\n",
       "exactly 5000 bytes with its terminating zero"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    fake_wininet().query_fails = c.query_fails;
    fake_wininet().raw_headers = c.block;
    serve_body("page");
    Text cookies = "a = 1";
    Text new_cookies, redirect_url, raw_headers;
    const Bytes body = fetch_page(listing_url, 0, nullptr, &cookies, &new_cookies, nullptr,
                                  &redirect_url, false, nullptr, nullptr, &raw_headers);
    const bool fits = !c.query_fails && c.block.size() < 5000;
    const Text expected_block = fits ? make_text(c.block) : make_text(std::string(5000, ' '));
    EXPECT_EQ(body, make_bytes("page")) << c.why;
    EXPECT_EQ(raw_headers, expected_block) << c.why;
    EXPECT_EQ(redirect_url, expected_block) << c.why << ": the block stands in for Location";
    EXPECT_EQ(new_cookies, "") << c.why;
    EXPECT_EQ(cookies, "a=1") << c.why << ": the merge still runs";
  }
}

TEST_F(FetchPage, AFailedSendRunsOnToTheEnd) {
  fake_wininet().send_fails = true;
  fake_wininet().query_fails = true;
  Text extra_headers, redirect_url;
  EXPECT_EQ(fetch_page(listing_url, 0, nullptr, nullptr, nullptr, &extra_headers, &redirect_url),
            Bytes());
  EXPECT_EQ(extra_headers, make_text(std::string("Referer: ") + listing_url + default_lines));
  EXPECT_EQ(redirect_url, make_text(std::string(5000, ' ')));
  EXPECT_EQ(fake_wininet().closed.size(), 3u);
}

TEST_F(FetchPage, EarlyFailuresWriteNothing) {
  struct Case {
    bool open_fails, connect_fails, open_request_fails;
    std::vector<InternetHandle> closed;
    std::size_t options_set;
    const char* why;
  } cases[] = {
      {true, false, false, {}, 0, "no Internet handle"},
      {false, true, false, {fake_internet_handle}, 3, "no connection"},
      {false, false, true, {fake_connection_handle, fake_internet_handle}, 6, "no request"},
  };
  for (const Case& c : cases) {
    reset_fake_wininet();
    fake_wininet().open_fails = c.open_fails;
    fake_wininet().connect_fails = c.connect_fails;
    fake_wininet().open_request_fails = c.open_request_fails;
    serve_body("never read");
    const Text post_text = "p";
    Text cookies = "c=1", new_cookies = "n", extra_headers = "X: 1", redirect_url = "r",
         raw_headers = "h";
    Bytes post_bytes;
    const Text proxy = "127.0.0.1:1";
    const Bytes body =
        fetch_page(listing_url, 1, &post_text, &cookies, &new_cookies, &extra_headers,
                   &redirect_url, true, &post_bytes, &proxy, &raw_headers);
    EXPECT_EQ(body, Bytes()) << c.why;
    EXPECT_EQ(cookies, "c=1") << c.why;
    EXPECT_EQ(new_cookies, "n") << c.why;
    EXPECT_EQ(extra_headers, "X: 1") << c.why;
    EXPECT_EQ(redirect_url, "r") << c.why;
    EXPECT_EQ(raw_headers, "h") << c.why;
    EXPECT_EQ(post_bytes, Bytes()) << c.why;
    EXPECT_EQ(fake_wininet().closed, c.closed) << c.why;
    EXPECT_EQ(fake_wininet().options.size(), c.options_set) << c.why;
    EXPECT_TRUE(fake_wininet().read_sizes.empty()) << c.why;
  }
}
