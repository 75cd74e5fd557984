#include <gtest/gtest.h>

#include "build_settings.h"
#include "monitor/listing.h"
#include "text_helpers.h"
#include "util/core.h"

TEST(Listing, MarkersAreTheirReadableForms) {
  EXPECT_EQ(section_heading(), cp936("其他投资人转让项目"));
  EXPECT_EQ(price_markup(), cp936("<span class=\"rmb\">￥</span>"));
  EXPECT_EQ(text_size(price_markup()), 27);
  EXPECT_EQ(buy_marker(), cp936("购买"));
  EXPECT_EQ(listing_url(), Text(LISTING_URL_TEXT));
}

TEST(Listing, DetectionRule) {
  struct Case {
    const char* page_utf8;
    bool buyable;
    const char* why;
  } cases[] = {
      {"<h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>100 <a>购买</a>", true,
       "heading, markup, then the buy marker"},
      {"<a>购买</a><h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>100", false,
       "the buy marker only before the markup"},
      {"<h2>其他投资人转让项目</h2>购买<span class=\"rmb\">￥</span>100", false,
       "the buy marker between heading and markup"},
      {"<nav><a>购买</a></nav><p>nothing listed</p>", true,
       "no heading: the buy marker anywhere counts"},
      {"<a>购买</a><h2>其他投资人转让项目</h2><p>none</p>", true,
       "a heading without markup: the buy marker anywhere counts"},
      {"<span class=\"rmb\">￥</span><a>购买</a><h2>其他投资人转让项目</h2>", true,
       "markup only before the heading does not count, so the marker anywhere does"},
      {"<h2>其他投资人转让项目</h2><SPAN CLASS=\"RMB\">￥</SPAN>1 购买", true,
       "markup letters in upper case"},
      {"<h2>其他投资人转让项目</h2><Span Class=\"Rmb\">￥</Span>1 <p>sold out</p>", false,
       "markup but no buy marker"},
      {"<h2>其他投资人转让项目</h2><span class=\"rmb\">￥</span>1 肮郝颉", false,
       "the marker's bytes only across character boundaries"},
      {"<h2>其他投资人转让项目</h2><span class=\"rmb\">¥</span>1 <p>none</p>", false,
       "a half-width yen sign is no price markup, and there is no buy marker"},
      {"", false, "an empty page"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shows_buyable_listing(find_listing_markers(cp936(c.page_utf8))), c.buyable) << c.why;
  }
}

TEST(Listing, EachSearchStartsWhereThePreviousMatchBegins) {
  const Text page = cp936("x其他投资人转让项目<span class=\"rmb\">￥</span>购买");
  const ListingPositions found = find_listing_markers(page);
  EXPECT_EQ(found.section_pos, 2);
  EXPECT_EQ(found.start_pos, 20);
  EXPECT_EQ(found.buy_pos, 47);

  const ListingPositions no_heading = find_listing_markers(cp936("购买"));
  EXPECT_EQ(no_heading.section_pos, -1);
  EXPECT_EQ(no_heading.start_pos, -1);
  EXPECT_EQ(no_heading.buy_pos, 1);
}
