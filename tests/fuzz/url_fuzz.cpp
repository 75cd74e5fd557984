// url_host (both forms), url_port and url_path over arbitrary texts, and over
// URLs built from a host, a port and a path the input gives.
// Fields: url, domain_only (flag), keep_port (flag), levels (number; empty for
// the form without levels), host, port (number), path, scheme choice (number).

#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"
#include "web/url.h"

namespace {

// The '.' characters of a host, one in its last byte not counted.
size_t dots_before_last_byte(const std::string& host) {
  const std::vector<bool> starts = character_starts(host);
  size_t dots = 0;
  for (size_t at = 0; at + 1 < host.size(); ++at) {
    if (starts[at] && host[at] == '.') ++dots;
  }
  return dots;
}

bool holds_upper_case(const std::string& text) {
  const std::vector<bool> starts = character_starts(text);
  for (size_t at = 0; at < text.size(); ++at) {
    if (starts[at] && text[at] >= 'A' && text[at] <= 'Z') return true;
  }
  return false;
}

void check_arbitrary(const std::string& url, bool domain_only, bool keep_port,
                     std::optional<int> levels) {
  const Text value = make_text(url);
  const std::string host = url_host(value, domain_only, keep_port, levels).bytes;
  fuzz_check(!occurs_at_character(host, "/"), "url_host: no '/' in a host");
  fuzz_check(!holds_upper_case(host), "url_host: the host is lowered");
  if (!keep_port) fuzz_check(!occurs_at_character(host, ":"), "url_host: the port is cut off");
  if (levels) {
    const size_t most = static_cast<size_t>(*levels > 0 ? *levels : 0) + (domain_only ? 0 : 1);
    fuzz_check(dots_before_last_byte(host) <= most,
               "url_host: with levels N, at most the last N+2 labels (N+1 with domain_only)");
  }

  const std::string with_port = url_host(value, false, true).bytes;
  if (!occurs_at_character(with_port, ":")) {
    const bool https = lowercase_text(left_part(value, 5)).bytes == "https";
    fuzz_check(url_port(value) == (https ? 443 : 80),
               "url_port: 443 for https and 80 otherwise when the URL names no port");
  }

  const std::string path = url_path(value).bytes;
  fuzz_check(starts_with(path, "/"), "url_path: the path begins with '/'");
  fuzz_check(path == "/" || ends_with(url, path), "url_path: the path is the end of the URL");
}

// A host of plain name bytes, as the connection needs it.
std::string plain_host(const std::string& bytes) {
  std::string host;
  for (char c : bytes) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
        c == '-') {
      host += c;
    }
  }
  return host;
}

void check_built(const std::string& host_bytes, std::optional<int> port, const std::string& path,
                 int scheme_choice) {
  const std::string host = plain_host(host_bytes);
  if (host.empty()) return;
  const char* const schemes[] = {"http://", "https://", "HTTP://", "HtTpS://", ""};
  const std::string scheme = schemes[static_cast<unsigned>(scheme_choice) % 5];
  // Without a scheme, an "http://" further on is where the host is taken from.
  const std::string lowered_path = lowercase_text(make_text(path)).bytes;
  if (scheme.empty() && lowered_path.find("http://") != std::string::npos) return;

  const std::string port_part = port ? ":" + format_value(*port).bytes : "";
  const Text url = make_text(scheme + host + port_part + "/" + path);
  const std::string lowered_host = lowercase_text(make_text(host)).bytes;
  fuzz_check(url_host(url).bytes == lowered_host, "url_host: the host of a built URL");
  fuzz_check(url_host(url, false, true).bytes == lowered_host + port_part,
             "url_host: the host and port of a built URL");
  // As the contract has it, any URL whose first five bytes read "https" (a host
  // such as "httpsite" without a scheme, too) defaults to 443.
  const bool https = lowercase_text(left_part(url, 5)).bytes == "https";
  fuzz_check(url_port(url) == (port    ? *port
                               : https ? 443
                                       : 80),
             "url_port: the port of a built URL");
  fuzz_check(url_path(url).bytes == "/" + path, "url_path: the path of a built URL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  check_arbitrary(field_bytes(input, 0), flag_field(input, 1), flag_field(input, 2),
                  number_field(input, 3));
  check_built(field_bytes(input, 4), number_field(input, 5), field_bytes(input, 6),
              number_field(input, 7).value_or(0));
  return 0;
}
