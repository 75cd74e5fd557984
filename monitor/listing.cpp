#include "monitor/listing.h"

#include "build_settings.h"
#include "util/core.h"

Text listing_url() {
  return LISTING_URL_TEXT;
}

// "其他投资人转让项目"
Text section_heading() {
  return "\xC6\xE4\xCB\xFB\xCD\xB6\xD7\xCA\xC8\xCB\xD7\xAA\xC8\xC3\xCF\xEE\xC4\xBF";
}

// "<span class="rmb">￥</span>"
Text price_markup() {
  return "<span class=\"rmb\">\xA3\xA4</span>";
}

// "购买"
Text buy_marker() {
  return "\xB9\xBA\xC2\xF2";
}

ListingPositions find_listing_markers(const Text& page) {
  ListingPositions found;
  found.section_pos = search_text(page, section_heading(), std::nullopt, true);
  // Each search starts where the previous match begins.
  found.start_pos =
      found.section_pos != -1 ? search_text(page, price_markup(), found.section_pos, true) : -1;
  found.buy_pos = search_text(page, buy_marker(), found.start_pos, true);
  return found;
}
