#include "fakes/fake_wininet.h"

#include <cstring>

namespace {

char internet_object, connection_object, request_object;

CallText received(const char* text) {
  return text ? CallText(text) : std::nullopt;
}

}  // namespace

const InternetHandle fake_internet_handle = &internet_object;
const InternetHandle fake_connection_handle = &connection_object;
const InternetHandle fake_request_handle = &request_object;

FakeWininet& fake_wininet() {
  static FakeWininet wininet;
  return wininet;
}

void reset_fake_wininet() {
  fake_wininet() = FakeWininet();
}

InternetHandle internet_open(const char* agent, std::uint32_t access_type, const char* proxy,
                             const char* proxy_bypass, std::uint32_t flags) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("InternetOpenA");
  fake.open = {received(agent), access_type, received(proxy), received(proxy_bypass), flags};
  return fake.open_fails ? nullptr : fake_internet_handle;
}

bool internet_set_option(InternetHandle handle, std::uint32_t option, const void* buffer,
                         std::uint32_t buffer_length) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("InternetSetOptionA");
  std::uint32_t value = 0;
  if (buffer != nullptr && buffer_length == sizeof value) std::memcpy(&value, buffer, sizeof value);
  fake.options.push_back({handle, option, value, buffer_length});
  return true;
}

InternetHandle internet_connect(InternetHandle internet, const char* server_name,
                                std::uint16_t server_port, const char* user_name,
                                const char* password, std::uint32_t service, std::uint32_t flags,
                                std::uintptr_t context) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("InternetConnectA");
  fake.connect = {internet,
                  received(server_name),
                  server_port,
                  received(user_name),
                  received(password),
                  service,
                  flags,
                  context};
  return fake.connect_fails ? nullptr : fake_connection_handle;
}

InternetHandle http_open_request(InternetHandle connection, const char* verb,
                                 const char* object_name, const char* version, const char* referrer,
                                 const char** accept_types, std::uint32_t flags,
                                 std::uintptr_t context) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("HttpOpenRequestA");
  fake.open_request = {connection,
                       received(verb),
                       received(object_name),
                       received(version),
                       received(referrer),
                       accept_types == nullptr,
                       flags,
                       context};
  return fake.open_request_fails ? nullptr : fake_request_handle;
}

bool http_send_request(InternetHandle request, const char* headers, std::uint32_t headers_length,
                       const void* optional, std::uint32_t optional_length) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("HttpSendRequestA");
  CallText body;
  if (optional != nullptr) body = std::string(static_cast<const char*>(optional), optional_length);
  fake.send = {request, received(headers), headers_length, body, optional_length};
  return !fake.send_fails;
}

bool internet_read_file(InternetHandle, void* buffer, std::uint32_t bytes_to_read,
                        std::uint32_t* bytes_read) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("InternetReadFile");
  fake.read_sizes.push_back(bytes_to_read);
  *bytes_read = 0;
  if (fake.reads_answered == fake.reads.size()) return true;
  const ReadReply& reply = fake.reads[fake.reads_answered];
  const std::size_t left = reply.bytes.size() - fake.reply_bytes_read;
  const std::size_t count = left < bytes_to_read ? left : bytes_to_read;
  std::memcpy(buffer, reply.bytes.data() + fake.reply_bytes_read, count);
  *bytes_read = static_cast<std::uint32_t>(count);
  fake.reply_bytes_read += count;
  if (fake.reply_bytes_read == reply.bytes.size()) {
    ++fake.reads_answered;
    fake.reply_bytes_read = 0;
  }
  return reply.succeeds;
}

bool http_query_info(InternetHandle request, std::uint32_t info_level, void* buffer,
                     std::uint32_t* buffer_length, std::uint32_t* index) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("HttpQueryInfoA");
  fake.query = {request, info_level, std::string(static_cast<char*>(buffer), *buffer_length),
                *buffer_length, index == nullptr};
  if (fake.query_fails) return false;
  // Like WinInet: a buffer too small stays untouched and the length needed comes back.
  const std::uint32_t needed = static_cast<std::uint32_t>(fake.raw_headers.size()) + 1;
  if (*buffer_length < needed) {
    *buffer_length = needed;
    return false;
  }
  std::memcpy(buffer, fake.raw_headers.c_str(), needed);
  *buffer_length = needed - 1;
  return true;
}

bool internet_close_handle(InternetHandle handle) {
  FakeWininet& fake = fake_wininet();
  fake.calls.push_back("InternetCloseHandle");
  fake.closed.push_back(handle);
  return true;
}
