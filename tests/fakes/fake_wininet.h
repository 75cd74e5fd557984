#pragma once
// A stand-in for the WinInet calls of the page request: it records every call
// with its arguments, null pointers kept apart from empty strings, and answers
// as a test scripts it (failing handles, body pieces, the raw header block).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "web/wininet_calls.h"

// A string argument as received: nullopt for a null pointer.
using CallText = std::optional<std::string>;

struct OpenCall {
  CallText agent;
  std::uint32_t access_type = 0;
  CallText proxy;
  CallText proxy_bypass;
  std::uint32_t flags = 0;
};

struct OptionCall {
  InternetHandle handle = nullptr;
  std::uint32_t option = 0;
  std::uint32_t value = 0;  // the buffer read as one 32-bit number
  std::uint32_t length = 0;
};

struct ConnectCall {
  InternetHandle internet = nullptr;
  CallText server;
  std::uint16_t port = 0;
  CallText user;
  CallText password;
  std::uint32_t service = 0;
  std::uint32_t flags = 0;
  std::uintptr_t context = 0;
};

struct OpenRequestCall {
  InternetHandle connection = nullptr;
  CallText verb;
  CallText object;
  CallText version;
  CallText referrer;
  bool accept_types_null = false;
  std::uint32_t flags = 0;
  std::uintptr_t context = 0;
};

struct SendCall {
  InternetHandle request = nullptr;
  CallText headers;  // up to the first zero byte
  std::uint32_t headers_length = 0;
  CallText body;  // the optional_length bytes given, nullopt for a null pointer
  std::uint32_t body_length = 0;
};

struct QueryCall {
  InternetHandle request = nullptr;
  std::uint32_t info_level = 0;
  std::string buffer_given;  // the buffer's bytes before the call, as long as the length given
  std::uint32_t length_given = 0;
  bool index_null = false;
};

// One answer of InternetReadFile. Bytes beyond the size asked for are kept for
// the next read, as WinInet fills each buffer before it starts the next.
struct ReadReply {
  std::string bytes;
  bool succeeds = true;
};

struct FakeWininet {
  // Script.
  bool open_fails = false;
  bool connect_fails = false;
  bool open_request_fails = false;
  bool send_fails = false;
  std::vector<ReadReply> reads;      // answered first to last; then the body has ended
  std::size_t reads_answered = 0;    // replies used up
  std::size_t reply_bytes_read = 0;  // bytes given from the reply now being read
  std::string raw_headers = "HTTP/1.1 200 OK\r\n\r\n";  // written with a zero after it
  bool query_fails = false;

  // Record.
  std::vector<std::string> calls;  // WinInet names, in call order
  OpenCall open;
  std::vector<OptionCall> options;
  ConnectCall connect;
  OpenRequestCall open_request;
  SendCall send;
  std::vector<std::uint32_t> read_sizes;
  QueryCall query;
  std::vector<InternetHandle> closed;
};

// The handles the fake gives out.
extern const InternetHandle fake_internet_handle;
extern const InternetHandle fake_connection_handle;
extern const InternetHandle fake_request_handle;

FakeWininet& fake_wininet();
// Nothing recorded; every call succeeds, the body is empty, the header block a bare 200.
void reset_fake_wininet();
