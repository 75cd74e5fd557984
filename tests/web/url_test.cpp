#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "text_helpers.h"
#include "web/url.h"

TEST(UrlHost, Table) {
  struct Case {
    Text url;
    bool domain_only, keep_port;
    std::optional<int> levels;
    Text expected;
    const char* why;
  } cases[] = {
      {"http://aa.bb.cc:81/a/b?x=1", false, false, {}, "aa.bb.cc", "the port goes"},
      {"http://aa.bb.cc:81/a/b?x=1", false, true, {}, "aa.bb.cc:81", "the port stays"},
      {"aa.bb.cc/Index.html", false, false, {}, "aa.bb.cc", "no scheme"},
      {"HTTPS://Aa.Bb.CC", false, false, {}, "aa.bb.cc", "https, lowered, no path"},
      {"https://h:8443/x", false, true, {}, "h:8443", "https with its port"},
      {"aa.bb/?u=http://cc.dd/",
       false,
       false,
       {},
       "cc.dd",
       "without a scheme of its own, the host follows an inner http://"},
      {"", false, false, {}, "", "an empty URL"},
      {"http://aa.bb.cc.dd/", true, false, {}, "cc.dd", "domain_only: the last two labels"},
      {"http://localhost/", true, false, {}, "localhost", "domain_only: one label stays"},
      {"http://a.b.c:8080/", true, false, {}, "b.c", "domain_only, then the port goes"},
      {"http://a.b.c:8080/", true, true, {}, "b.c:8080", "domain_only keeps the port"},
      {"p.q.r.s", false, false, 0, "r.s", "levels 0: two labels"},
      {"p.q.r.s", true, false, 0, "s", "levels 0, domain_only: one label"},
      {"p.q.r.s", false, false, 1, "q.r.s", "levels 1: three labels"},
      {"p.q.r.s", true, false, 1, "r.s", "levels 1, domain_only: two labels"},
      {"r.s", false, false, 1, "r.s", "fewer labels than asked: the whole host"},
      {"r.s", true, false, 5, "r.s", "fewer labels, domain_only"},
      {"p.q.r.s", false, false, -3, "r.s", "negative levels count as 0"},
      {"p.q.r.s", false, false, INT_MAX, "p.q.r.s", "the largest levels"},
      {"HTTP://P.Q.R.S:81/x.y/z", false, false, 0, "r.s", "scheme, path and port go"},
      {"https://p.q.r.s:81/", false, true, 0, "r.s:81", "the port stays with keep_port"},
      {"p.q.r.s.", false, false, 0, "r.s.", "a dot in the last byte is not counted"},
      {"http://p.q.r.s/", false, false, {}, "p.q.r.s", "levels omitted is not levels 0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(url_host(c.url, c.domain_only, c.keep_port, c.levels), c.expected)
        << c.why << ": " << hex_of(c.url.bytes);
  }
}

TEST(UrlPortAndPath, Table) {
  struct Case {
    Text url;
    int port;
    Text path;
    const char* why;
  } cases[] = {
      {"http://aa.bb.cc:81/a/b?x=1", 81, "/a/b?x=1", "port, and the path with its query"},
      {"aa.bb.cc/Index.html", 80, "/Index.html", "no scheme: port 80, the path's own case"},
      {"HTTPS://Aa.Bb.CC", 443, "/", "https without a port or path"},
      {"", 80, "/", "an empty URL"},
      {"https://h:8443/", 8443, "/", "https with its port"},
      {"http://Host.COM/Path/A#top", 80, "/Path/A#top", "the host found ignoring case"},
      {"http://h:80x/", 80, "/", "the port's leading digits"},
      {"http://h:/", 0, "/", "an empty port reads as 0"},
      {"http://www.example.com/yuexitong/", 80, "/yuexitong/", "the listing page"},
      {"http://p/q", 80, "/q", "a host that also occurs inside the scheme"},
      {"HTTPS://TP:81/x", 81, "/x", "the same, in capitals, with a port"},
      {"go/?u=http://cc.dd/x", 80, "/x", "the host after an inner http://, the path after it"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(url_port(c.url), c.port) << c.why << ": " << hex_of(c.url.bytes);
    EXPECT_EQ(url_path(c.url), c.path) << c.why << ": " << hex_of(c.url.bytes);
  }
}
