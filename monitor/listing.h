#pragma once
// What the listing page is searched for, and the rule that says a listing can be bought.

#include "util/values.h"

// The page the worker polls, fixed when the program is built.
Text listing_url();

// Where the searches of one page ended: 1-based positions, -1 for not found.
struct ListingPositions {
  int section_pos;  // the section heading
  int start_pos;    // the price markup after the heading; where the buy marker is sought from
  int buy_pos;      // the buy marker
};

// A page (code page 936) shows a buyable listing when the buy marker occurs at
// or after the price markup that follows the section heading; without the
// heading or without markup after it, the buy marker anywhere counts.
ListingPositions find_listing_markers(const Text& page);
inline bool shows_buyable_listing(const ListingPositions& found) {
  return found.buy_pos != -1;
}

// The markers, in code page 936.
Text section_heading();
Text price_markup();
Text buy_marker();
