// fetch_page through the recording WinInet stand-in, with arbitrary raw header
// blocks, bodies in arbitrary pieces, read failures and caller texts.
// Fields: url, extra header lines, cookies, cookies given (flag), redirect_url on
// entry, method (number), no_redirect (flag), raw header block, blanks after
// the block (number, up to 6000, to reach past the 5000-byte header buffer),
// failures (each byte: 'o' open, 'c' connect, 'r' request, 'q' header query
// fail), read script (each byte one read reply: bits 0-6 times 16 bytes long,
// bit 7 a failing read), body bytes (the rest of the input, zero bytes included).

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_wininet.h"
#include "fuzz_input.h"
#include "util/core.h"
#include "util/cutting.h"
#include "web/fetch_page.h"

namespace {

const size_t fields_before_body = 11;
const size_t header_buffer = 5000;
const int most_padding = 6000;

// The input after the first `fields` zero bytes.
std::string rest_of_input(const uint8_t* data, size_t size, size_t fields) {
  size_t at = 0;
  for (size_t zeros = 0; at < size && zeros < fields; ++at) {
    if (data[at] == 0) ++zeros;
  }
  return std::string(reinterpret_cast<const char*>(data) + at, size - at);
}

// Read replies cut from the body bytes as the script says; the body a caller
// should get: everything up to an empty reply, and of a failing reply only
// what its first read brought.
std::vector<ReadReply> scripted_reads(const std::string& script, const std::string& bytes,
                                      std::string& expected_body) {
  std::vector<ReadReply> reads;
  size_t taken = 0;
  bool ended = false;
  for (char step : script) {
    const unsigned char b = static_cast<unsigned char>(step);
    const size_t length = std::min<size_t>((b & 0x7Fu) * 16u, bytes.size() - taken);
    ReadReply reply{bytes.substr(taken, length), (b & 0x80u) == 0};
    taken += length;
    if (!ended) {
      if (reply.bytes.empty()) {
        ended = true;
      } else if (reply.succeeds) {
        expected_body += reply.bytes;
      } else {
        expected_body += reply.bytes.substr(0, 1024);
        ended = true;
      }
    }
    reads.push_back(reply);
  }
  return reads;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzFields input = split_fields(data, size);
  const Text url = text_field(input, 0);
  const Text extra_given = text_field(input, 1);
  const Text cookies_given = text_field(input, 2);
  const bool give_cookies = flag_field(input, 3);
  const Text redirect_given = text_field(input, 4);
  const int method = number_field(input, 5).value_or(0);
  const bool no_redirect = flag_field(input, 6);
  const int padding = std::clamp(number_field(input, 8).value_or(0), 0, most_padding);
  const std::string raw = field_bytes(input, 7) + std::string(static_cast<size_t>(padding), ' ');
  const std::string failures = field_bytes(input, 9);
  std::string expected_body;

  reset_fake_wininet();
  FakeWininet& fake = fake_wininet();
  fake.open_fails = failures.find('o') != std::string::npos;
  fake.connect_fails = failures.find('c') != std::string::npos;
  fake.open_request_fails = failures.find('r') != std::string::npos;
  fake.query_fails = failures.find('q') != std::string::npos;
  fake.raw_headers = raw;
  fake.reads = scripted_reads(field_bytes(input, 10), rest_of_input(data, size, fields_before_body),
                              expected_body);

  Text cookies = cookies_given;
  Text new_cookies = "untouched";
  Text extra_headers = extra_given;
  Text redirect_url = redirect_given;
  Text raw_headers = "untouched";
  const Text post_text = "a=1";
  const Bytes body =
      fetch_page(url, method, &post_text, give_cookies ? &cookies : nullptr, &new_cookies,
                 &extra_headers, &redirect_url, no_redirect, nullptr, nullptr, &raw_headers);

  if (fake.open_fails || fake.connect_fails || fake.open_request_fails) {
    fuzz_check(body.data.empty(), "fetch_page: no body when a handle cannot be opened");
    fuzz_check(extra_headers == extra_given && cookies == cookies_given &&
                   redirect_url == redirect_given && new_cookies.bytes == "untouched" &&
                   raw_headers.bytes == "untouched",
               "fetch_page: nothing is written when a handle cannot be opened");
    return 0;
  }

  fuzz_check(body.data == expected_body,
             "fetch_page: the body is every piece read, up to the end or a failed read");

  const bool fits = raw.size() + 1 <= header_buffer && !fake.query_fails;
  const std::string expected_raw = fits ? make_text(raw).bytes : std::string(header_buffer, ' ');
  fuzz_check(raw_headers.bytes == expected_raw,
             "fetch_page: the header block, or the buffer's blanks when it does not fit");

  fuzz_check(starts_with(extra_headers.bytes, extra_given.bytes),
             "fetch_page: the caller's header lines come first");
  for (const char* name : {"Referer:", "Accept:", "Accept-Language:", "Content-Type:"}) {
    fuzz_check(search_text(extra_headers, name) != -1, "fetch_page: every default line is there");
  }
  fuzz_check(fake.send.headers && *fake.send.headers == extra_headers.bytes &&
                 fake.send.headers_length == extra_headers.bytes.size(),
             "fetch_page: the header text sent is the one written back");

  if (give_cookies) {
    fuzz_check(strip_blanks(new_cookies).bytes == new_cookies.bytes,
               "fetch_page: with cookies given, the new cookies lose their blanks");
  } else {
    for (const Text& item : split_by(new_cookies, "; ").elements) {
      fuzz_check(raw_headers.bytes.find(item.bytes) != std::string::npos,
                 "fetch_page: each new cookie comes from the header block");
    }
  }

  if (search_text(raw_headers, "Location:") == -1) {
    const Text expected_redirect = redirect_given.bytes.empty() ? raw_headers : redirect_given;
    fuzz_check(redirect_url == expected_redirect,
               "fetch_page: without a Location line, an empty redirect_url gets the block");
  } else {
    fuzz_check(redirect_url == raw_headers ||
                   raw_headers.bytes.find(redirect_url.bytes) != std::string::npos,
               "fetch_page: the redirect comes from a Location line");
  }
  fuzz_check(std::count(fake.calls.begin(), fake.calls.end(), "InternetCloseHandle") == 3,
             "fetch_page: all three handles are closed");
  return 0;
}
