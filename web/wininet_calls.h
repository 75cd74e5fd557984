#pragma once
// The WinInet calls the page request makes, one plain function each, with
// WinInet's own arguments and results. Windows builds bind them to "wininet.dll"
// (wininet_calls_win.cpp); native tests link a recording fake instead.
// Strings are null where WinInet takes a null pointer; handles are null on failure.

#include <cstdint>

using InternetHandle = void*;

// Values of the WinInet constants the request uses.
constexpr std::uint32_t internet_open_type_direct = 1;
constexpr std::uint32_t internet_open_type_proxy = 3;
constexpr std::uint32_t internet_service_http = 3;
constexpr std::uint32_t internet_option_connect_timeout = 2;
constexpr std::uint32_t internet_option_send_timeout = 5;
constexpr std::uint32_t internet_option_receive_timeout = 6;
constexpr std::uint32_t internet_flag_reload = 0x80000000;
constexpr std::uint32_t internet_flag_need_file = 0x10;
constexpr std::uint32_t internet_flag_no_cookies = 0x80000;
constexpr std::uint32_t internet_flag_no_auto_redirect = 0x200000;
constexpr std::uint32_t internet_flag_secure = 0x800000;
constexpr std::uint32_t internet_flag_ignore_redirect_to_https = 0x4000;
constexpr std::uint32_t http_query_raw_headers_crlf = 22;

// InternetOpenA.
InternetHandle internet_open(const char* agent, std::uint32_t access_type, const char* proxy,
                             const char* proxy_bypass, std::uint32_t flags);
// InternetSetOptionA.
bool internet_set_option(InternetHandle handle, std::uint32_t option, const void* buffer,
                         std::uint32_t buffer_length);
// InternetConnectA.
InternetHandle internet_connect(InternetHandle internet, const char* server_name,
                                std::uint16_t server_port, const char* user_name,
                                const char* password, std::uint32_t service, std::uint32_t flags,
                                std::uintptr_t context);
// HttpOpenRequestA.
InternetHandle http_open_request(InternetHandle connection, const char* verb,
                                 const char* object_name, const char* version, const char* referrer,
                                 const char** accept_types, std::uint32_t flags,
                                 std::uintptr_t context);
// HttpSendRequestA.
bool http_send_request(InternetHandle request, const char* headers, std::uint32_t headers_length,
                       const void* optional, std::uint32_t optional_length);
// InternetReadFile.
bool internet_read_file(InternetHandle file, void* buffer, std::uint32_t bytes_to_read,
                        std::uint32_t* bytes_read);
// HttpQueryInfoA.
bool http_query_info(InternetHandle request, std::uint32_t info_level, void* buffer,
                     std::uint32_t* buffer_length, std::uint32_t* index);
// InternetCloseHandle.
bool internet_close_handle(InternetHandle handle);
