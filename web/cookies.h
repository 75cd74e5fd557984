#pragma once
// Merging the cookies a response sets into the cookie text a caller keeps.
// Cookie texts are items "name=value" separated by ";"; names compare exactly.

#include "util/values.h"

// Rewrites both texts: `new_cookies` loses its blanks; `cookies` becomes the new
// items followed by the old ones whose names the new ones lack, without deleted
// items or repeats, joined by "; ". Returns a copy of the merged `cookies`.
Text cookie_merge(Text& cookies, Text& new_cookies);

// The text before the first "=" (or all of it), without surrounding blanks.
Text cookie_name(const Text& item);

// Whether some item carries the name `name`.
bool cookie_name_present(const TextArray& items, const Text& name);

// The pieces of `text` between separators, each first occurrence only, joined again.
Text join_distinct(const Text& text, const Text& separator);

// The 1-based index of the first element equal to `text`, or -1.
int index_of_text(const TextArray& items, const Text& text);
