#pragma once
// Building responses and reading recorded requests in the wire tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback_server.h"
#include "util/values.h"

// A whole response with its length given; the connection closes after it, so
// that WinInet keeps no connection to a server that is gone.
inline std::string http_response(const std::string& status, const std::string& header_lines,
                                 const std::string& body) {
  return "HTTP/1.1 " + status + "\r\n" + header_lines +
         "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

inline std::string request_line(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

// The header lines after the request line, in the order they arrived.
inline std::vector<std::string> request_headers(const std::string& request) {
  std::vector<std::string> lines;
  const std::size_t head_end = request.find("\r\n\r\n");
  std::size_t at = request.find("\r\n");
  while (at != std::string::npos && at < head_end) {
    const std::size_t next = request.find("\r\n", at + 2);
    lines.push_back(request.substr(at + 2, next - at - 2));
    at = next;
  }
  return lines;
}

inline std::string request_body(const std::string& request) {
  const std::size_t head_end = request.find("\r\n\r\n");
  return head_end == std::string::npos ? std::string() : request.substr(head_end + 4);
}

// The header block of a request that got no response. Windows fails the header
// query, so the buffer's 5000 blanks stay; Wine answers with an empty block.
inline bool is_unanswered_block(const Text& raw_headers) {
  return raw_headers.bytes == std::string(5000, ' ') || raw_headers.bytes == "\r\n";
}

// Bytes of every value, zero included, in a pattern that shows a shifted piece.
inline std::string patterned_bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 7 + i / 1024) & 0xFF);
  return bytes;
}

// One server per test; the fixture stops it even when a check fails midway.
struct WireTest : testing::Test {
  LoopbackServer server;

  void TearDown() override { stop_loopback_server(server); }

  void start(std::vector<ScriptedReply> replies) {
    stop_loopback_server(server);
    server = start_loopback_server(std::move(replies));
    ASSERT_NE(server.port, 0) << "the loopback server could not listen";
  }

  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(server.port) + path;
  }

  std::vector<std::string> requests() { return stop_loopback_server(server); }
};
