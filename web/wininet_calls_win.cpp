#include "web/wininet_calls.h"

#include <windows.h>
#include <wininet.h>

namespace {

// The entry points, bound by name so that the program needs no import library
// and starts even where "wininet.dll" is missing; a missing one makes its call fail.
struct WininetEntries {
  decltype(&InternetOpenA) internet_open_a = nullptr;
  decltype(&InternetSetOptionA) internet_set_option_a = nullptr;
  decltype(&InternetConnectA) internet_connect_a = nullptr;
  decltype(&HttpOpenRequestA) http_open_request_a = nullptr;
  decltype(&HttpSendRequestA) http_send_request_a = nullptr;
  decltype(&InternetReadFile) internet_read_file = nullptr;
  decltype(&HttpQueryInfoA) http_query_info_a = nullptr;
  decltype(&InternetCloseHandle) internet_close_handle = nullptr;
};

template <typename Entry>
void bind(HMODULE module, const char* name, Entry& entry) {
  // Through the generic function type, which the compiler accepts as a cast target.
  entry = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

WininetEntries bind_entries() {
  WininetEntries entries;
  // Never freed: the calls are needed until the process ends.
  HMODULE module = LoadLibraryA("wininet.dll");
  if (module == nullptr) return entries;
  bind(module, "InternetOpenA", entries.internet_open_a);
  bind(module, "InternetSetOptionA", entries.internet_set_option_a);
  bind(module, "InternetConnectA", entries.internet_connect_a);
  bind(module, "HttpOpenRequestA", entries.http_open_request_a);
  bind(module, "HttpSendRequestA", entries.http_send_request_a);
  bind(module, "InternetReadFile", entries.internet_read_file);
  bind(module, "HttpQueryInfoA", entries.http_query_info_a);
  bind(module, "InternetCloseHandle", entries.internet_close_handle);
  return entries;
}

// Bound on first use; the language makes the first use from racing threads bind once.
const WininetEntries& wininet() {
  static const WininetEntries entries = bind_entries();
  return entries;
}

}  // namespace

InternetHandle internet_open(const char* agent, std::uint32_t access_type, const char* proxy,
                             const char* proxy_bypass, std::uint32_t flags) {
  const auto call = wininet().internet_open_a;
  return call ? call(agent, access_type, proxy, proxy_bypass, flags) : nullptr;
}

bool internet_set_option(InternetHandle handle, std::uint32_t option, const void* buffer,
                         std::uint32_t buffer_length) {
  const auto call = wininet().internet_set_option_a;
  return call && call(handle, option, const_cast<void*>(buffer), buffer_length);
}

InternetHandle internet_connect(InternetHandle internet, const char* server_name,
                                std::uint16_t server_port, const char* user_name,
                                const char* password, std::uint32_t service, std::uint32_t flags,
                                std::uintptr_t context) {
  const auto call = wininet().internet_connect_a;
  return call ? call(internet, server_name, server_port, user_name, password, service, flags,
                     context)
              : nullptr;
}

InternetHandle http_open_request(InternetHandle connection, const char* verb,
                                 const char* object_name, const char* version, const char* referrer,
                                 const char** accept_types, std::uint32_t flags,
                                 std::uintptr_t context) {
  const auto call = wininet().http_open_request_a;
  return call ? call(connection, verb, object_name, version, referrer, accept_types, flags, context)
              : nullptr;
}

bool http_send_request(InternetHandle request, const char* headers, std::uint32_t headers_length,
                       const void* optional, std::uint32_t optional_length) {
  const auto call = wininet().http_send_request_a;
  return call &&
         call(request, headers, headers_length, const_cast<void*>(optional), optional_length);
}

bool internet_read_file(InternetHandle file, void* buffer, std::uint32_t bytes_to_read,
                        std::uint32_t* bytes_read) {
  const auto call = wininet().internet_read_file;
  DWORD read = 0;
  const bool succeeded = call && call(file, buffer, bytes_to_read, &read);
  *bytes_read = read;
  return succeeded;
}

bool http_query_info(InternetHandle request, std::uint32_t info_level, void* buffer,
                     std::uint32_t* buffer_length, std::uint32_t* index) {
  const auto call = wininet().http_query_info_a;
  DWORD length = *buffer_length;
  DWORD position = index ? *index : 0;
  const bool succeeded =
      call && call(request, info_level, buffer, &length, index ? &position : nullptr);
  *buffer_length = length;
  if (index) *index = position;
  return succeeded;
}

bool internet_close_handle(InternetHandle handle) {
  const auto call = wininet().internet_close_handle;
  return call && call(handle);
}
