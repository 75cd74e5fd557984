#pragma once
// Taking a URL apart for the connection and the request. The routines work on
// the text alone: no percent-decoding, no user names, no validation.

#include <optional>

#include "util/values.h"

// The host name, lowered. Without `levels`, the part after the scheme (http://
// assumed), reduced to its last two labels by `domain_only`. With `levels` N,
// the last N+2 labels, or N+1 with `domain_only`. The port stays with `keep_port`.
Text url_host(const Text& url, bool domain_only = false, bool keep_port = false,
              std::optional<int> levels = std::nullopt);

// The port the URL names, else 443 for https and 80 for anything else.
int url_port(const Text& url);

// The object path from the first "/" after the host, query included; "/" when none.
Text url_path(const Text& url);
