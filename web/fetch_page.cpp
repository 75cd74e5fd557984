#include "web/fetch_page.h"

#include <cstdint>
#include <string>

#include "util/core.h"
#include "util/cutting.h"
#include "web/cookies.h"
#include "web/header_fields.h"
#include "web/url.h"
#include "web/wininet_calls.h"

namespace {

const char* const default_user_agent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KEMRO; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr std::uint32_t read_piece_size = 1024;
constexpr int header_buffer_size = 5000;

// Windows' documented defaults, set explicitly: Wine's WinInet never gives up
// on a server that accepts and stays silent, and the watch would stop for good.
// Wine takes the send and receive time-outs only from the connection handle, so
// they are set there as well as on the Internet handle, whose children inherit them.
constexpr std::uint32_t connect_timeout_ms = 60000;
constexpr std::uint32_t send_timeout_ms = 30000;
constexpr std::uint32_t receive_timeout_ms = 30000;

// The agent comes from a "User-Agent:" line of the caller's header text. When its
// value cannot be cut out (the line ends the text, or its name is in other case),
// what follows the text's first colon stands in: right when that line is the only one.
Text user_agent_of(const Text& extra_headers) {
  if (search_text(extra_headers, "User-Agent:", std::nullopt, true) == -1) {
    return default_user_agent;
  }
  Text agent = trim_blanks(text_between(extra_headers, "User-Agent:", "\r\n"));
  if (text_size(agent) == 0) agent = header_value(extra_headers);
  return agent;
}

InternetHandle open_internet(const Text& agent, const Text* proxy) {
  if (proxy == nullptr) {
    return internet_open(text_pointer(agent), internet_open_type_direct, nullptr, nullptr, 0);
  }
  const Text proxy_list = join_texts({"http=", *proxy});
  return internet_open(text_pointer(agent), internet_open_type_proxy, text_pointer(proxy_list), "",
                       0);
}

void set_timeouts(InternetHandle handle) {
  internet_set_option(handle, internet_option_connect_timeout, &connect_timeout_ms,
                      sizeof connect_timeout_ms);
  internet_set_option(handle, internet_option_send_timeout, &send_timeout_ms,
                      sizeof send_timeout_ms);
  internet_set_option(handle, internet_option_receive_timeout, &receive_timeout_ms,
                      sizeof receive_timeout_ms);
}

std::uint32_t request_flags(const Text& url, bool cookies_given, bool no_redirect) {
  const bool https = text_compare(lowercase_text(left_part(url, 5)), "https") == 0;
  std::uint32_t flags = internet_flag_reload | internet_flag_need_file;
  if (cookies_given) flags |= internet_flag_no_cookies;
  if (no_redirect) flags |= internet_flag_no_auto_redirect;
  flags |= https ? internet_flag_secure : internet_flag_ignore_redirect_to_https;
  return flags;
}

// The caller's lines, then each default line whose name they lack. A name found
// anywhere, even inside another line, counts as present.
Text header_text(const Text& extra_headers, const Text& url, const Text& cookies) {
  Text text = extra_headers;
  if (search_text(text, "Referer:") == -1) {
    text = text_size(text) == 0 ? join_texts({"Referer: ", url})
                                : join_texts({text, "\r\nReferer: ", url});
  }
  if (search_text(text, "Accept:") == -1) text = join_texts({text, "\r\nAccept: */*"});
  if (search_text(text, "Accept-Language:") == -1) {
    text = join_texts({text, "\r\nAccept-Language: zh-cn"});
  }
  if (search_text(text, "Content-Type:") == -1) {
    text = join_texts({text, "\r\nContent-Type: application/x-www-form-urlencoded"});
  }
  if (text_size(cookies) > 0) text = join_texts({text, "\r\nCookie: ", cookies});
  return text;
}

// Reads to the end of the body. Pieces are appended in place, so gathering stays
// linear in the body's size; nothing after a failed read is trusted.
Bytes read_body(InternetHandle request) {
  Bytes body;
  std::string piece(read_piece_size, '\0');
  for (;;) {
    std::uint32_t count = 0;
    const bool read = internet_read_file(request, &piece[0], read_piece_size, &count);
    if (count == 0) break;
    body.data.append(piece, 0, count < read_piece_size ? count : read_piece_size);
    if (!read) break;
  }
  return body;
}

// The header block, or the buffer's blanks untouched when it does not fit or the query fails.
Text query_raw_headers(InternetHandle request) {
  Text block = filled_text(header_buffer_size);
  std::uint32_t length = header_buffer_size;
  http_query_info(request, http_query_raw_headers_crlf, &block.bytes[0], &length, nullptr);
  return make_text(block.bytes);
}

// Takes the cookies the response sets, items joined by "; ", and leaves the value
// of the last "Location:" line in `redirect_url`.
Text scan_headers(const Text& raw_headers, Text& redirect_url) {
  std::string set_cookies;
  const TextArray lines = split_by(raw_headers, "\r\n");
  for (const Text& line : lines.elements) {
    if (search_text(line, "Location:") != -1) redirect_url = header_value(line);
    if (search_text(line, "Set-Cookie") != -1) {
      set_cookies += trim_blanks(text_between(line, "Set-Cookie:", ";")).bytes + "; ";
    }
  }
  return left_part(make_text(set_cookies), static_cast<int>(set_cookies.size()) - 2);
}

void close_handles(InternetHandle first, InternetHandle second, InternetHandle third) {
  for (InternetHandle handle : {first, second, third}) {
    if (handle != nullptr) internet_close_handle(handle);
  }
}

}  // namespace

Bytes fetch_page(const Text& url, int method, const Text* post_text, Text* cookies,
                 Text* new_cookies, Text* extra_headers, Text* redirect_url, bool no_redirect,
                 Bytes* post_bytes, const Text* proxy, Text* raw_headers) {
  // An omitted reference parameter acts as a fresh variable whose value is dropped.
  Text unused_new_cookies, unused_extra_headers, unused_redirect_url, unused_raw_headers;
  Bytes unused_post_bytes;
  Text& new_cookies_out = new_cookies ? *new_cookies : unused_new_cookies;
  Text& headers_inout = extra_headers ? *extra_headers : unused_extra_headers;
  Text& redirect_out = redirect_url ? *redirect_url : unused_redirect_url;
  Text& raw_headers_out = raw_headers ? *raw_headers : unused_raw_headers;
  Bytes& post_bytes_inout = post_bytes ? *post_bytes : unused_post_bytes;
  const Text no_text;
  const Text& body_text = post_text ? *post_text : no_text;
  const Text& cookie_text = cookies ? *cookies : no_text;

  const Text verb = method == 1 ? "POST" : "GET";
  const Text agent = user_agent_of(headers_inout);

  // Nothing the caller handed in is written until all three handles are open.
  InternetHandle internet = open_internet(agent, proxy);
  if (internet == nullptr) return Bytes();
  set_timeouts(internet);
  InternetHandle connection = internet_connect(internet, text_pointer(url_host(url)),
                                               static_cast<std::uint16_t>(url_port(url)), nullptr,
                                               nullptr, internet_service_http, 0, 0);
  if (connection == nullptr) {
    close_handles(internet, nullptr, nullptr);
    return Bytes();
  }
  set_timeouts(connection);
  InternetHandle request =
      http_open_request(connection, text_pointer(verb), text_pointer(url_path(url)), "HTTP/1.1",
                        nullptr, nullptr, request_flags(url, cookies != nullptr, no_redirect), 0);
  if (request == nullptr) {
    close_handles(connection, internet, nullptr);
    return Bytes();
  }

  headers_inout = header_text(headers_inout, url, cookie_text);
  const std::uint32_t headers_length = static_cast<std::uint32_t>(text_size(headers_inout));
  if (method != 0) {
    if (bytes_size(post_bytes_inout) == 0) post_bytes_inout = text_to_bytes(body_text);
    http_send_request(request, text_pointer(headers_inout), headers_length,
                      bytes_pointer(post_bytes_inout),
                      static_cast<std::uint32_t>(bytes_size(post_bytes_inout)));
  } else {
    http_send_request(request, text_pointer(headers_inout), headers_length, "", 0);
  }
  Bytes body = read_body(request);
  raw_headers_out = query_raw_headers(request);
  close_handles(request, connection, internet);

  new_cookies_out = scan_headers(raw_headers_out, redirect_out);
  if (cookies != nullptr) cookie_merge(*cookies, new_cookies_out);
  if (text_size(redirect_out) == 0) redirect_out = raw_headers_out;
  return body;
}
