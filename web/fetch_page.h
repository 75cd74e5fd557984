#pragma once
// One synchronous HTTP(S) request through WinInet. Blocks the calling thread.

#include "util/values.h"

// Returns the response body as received; empty when the request could not be
// made. Optional parameters are pointers: null means the caller left it out,
// and only `cookies` and `proxy` act on having been given. The caller's
// `extra_headers`, `post_bytes`, `cookies` and the outputs are written back.
Bytes fetch_page(const Text& url, int method = 0, const Text* post_text = nullptr,
                 Text* cookies = nullptr, Text* new_cookies = nullptr,
                 Text* extra_headers = nullptr, Text* redirect_url = nullptr,
                 bool no_redirect = false, Bytes* post_bytes = nullptr, const Text* proxy = nullptr,
                 Text* raw_headers = nullptr);
