#include "web/url.h"

#include "util/core.h"
#include "util/cutting.h"
#include "web/header_fields.h"

namespace {

bool is_https(const Text& url) {
  return text_compare(lowercase_text(left_part(url, 5)), "https") == 0;
}

// The host part of a URL with or without its scheme.
Text host_after_scheme(const Text& lowered_url) {
  Text s = lowered_url;
  if (text_compare(right_part(s, 1), "/") != 0) s = join_texts({s, "/"});
  if (text_compare(left_part(s, 8), "https://") == 0) return text_between(s, "https://", "/");
  if (search_text(s, "http://") == -1) s = join_texts({"http://", s});
  return text_between(s, "http://", "/");
}

// The last two labels, or the host unchanged when it has only one.
Text last_two_labels(const Text& host) {
  const TextArray labels = split_by(host, ".");
  const int count = element_count(labels);
  if (count <= 1) return host;
  return join_texts({element_at(labels, count - 1), ".", element_at(labels, count)});
}

Text host_by_levels(const Text& lowered_url, int levels, bool domain_only) {
  Text s = substitute_text(lowered_url, "http://", "", std::nullopt, std::nullopt, true);
  s = substitute_text(s, "https://", "", std::nullopt, std::nullopt, true);
  const int slash = search_text(s, "/");
  if (slash != -1) s = left_part(s, slash - 1);
  const int size = text_size(s);
  // Step back over one "." per level; once none is left, further steps find none either.
  int dot = size;
  for (int step = 0; step < levels && dot != -1; ++step)
    dot = search_text_backward(s, ".", dot);
  const int cut = search_text_backward(s, ".", dot);
  if (domain_only) return right_part(s, size - cut);
  if (cut == -1) return s;
  const int outer_cut = search_text_backward(s, ".", cut);
  return outer_cut == -1 ? s : right_part(s, size - outer_cut);
}

// Where the host begins: after the scheme marker that url_host took it from.
int host_search_start(const Text& url) {
  if (text_compare(lowercase_text(left_part(url, 8)), "https://") == 0) return 9;
  const int http = search_text(url, "http://", std::nullopt, true);
  return http == -1 ? 1 : http + 7;
}

}  // namespace

Text url_host(const Text& url, bool domain_only, bool keep_port, std::optional<int> levels) {
  const Text lowered = lowercase_text(url);
  Text host;
  if (levels) {
    host = host_by_levels(lowered, *levels, domain_only);
  } else {
    host = host_after_scheme(lowered);
    if (domain_only) host = last_two_labels(host);
  }
  if (keep_port) return host;
  const int colon = search_text(host, ":");
  return colon == -1 ? host : left_part(host, colon - 1);
}

int url_port(const Text& url) {
  const Text host = url_host(url, false, true);
  const int colon = search_text_backward(host, ":");
  if (colon != -1) return parse_int(right_part(host, text_size(host) - colon));
  return is_https(url) ? 443 : 80;
}

Text url_path(const Text& url) {
  const Text host = url_host(url);
  // Searched from behind the scheme: a short host such as "h" or "tp" also occurs
  // inside "https://", and the path would then begin at the scheme's "//".
  const int at_host = search_text(url, host, host_search_start(url), true);
  const int slash = search_text(url, "/", at_host, true);
  if (slash <= 0) return "/";
  return right_part(url, text_size(url) - slash + 1);
}
