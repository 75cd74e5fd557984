#include "loopback_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

struct ServerState {
  SOCKET listener = INVALID_SOCKET;
  std::vector<ScriptedReply> replies;
  std::atomic<bool> stopping{false};
  std::mutex mutex;
  std::vector<std::string> requests;
  std::thread thread;
};

namespace {

// How long one wait for a socket lasts before the stop request is looked at again.
constexpr long poll_microseconds = 50 * 1000;

enum class Ready { yes, no, failed };

Ready wait_for(SOCKET socket, bool for_writing) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait = {0, poll_microseconds};
  const int result = for_writing ? select(0, nullptr, &set, nullptr, &wait)
                                 : select(0, &set, nullptr, nullptr, &wait);
  if (result == SOCKET_ERROR) return Ready::failed;
  return result > 0 ? Ready::yes : Ready::no;
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The size of the whole request once its head is complete, or 0 while it is not.
std::size_t request_size(const std::string& received) {
  const std::size_t head_end = received.find("\r\n\r\n");
  if (head_end == std::string::npos) return 0;
  const std::string head = lowered(received.substr(0, head_end + 2));
  const std::size_t field = head.find("\r\ncontent-length:");
  std::size_t body = 0;
  if (field != std::string::npos) body = std::strtoul(head.c_str() + field + 17, nullptr, 10);
  return head_end + 4 + body;
}

// Reads one request; false when the client left or the server is stopping first.
bool read_request(ServerState& state, SOCKET client, std::string& received) {
  char buffer[16384];
  while (!state.stopping) {
    const std::size_t size = request_size(received);
    if (size != 0 && received.size() >= size) return true;
    const Ready ready = wait_for(client, false);
    if (ready == Ready::failed) return false;
    if (ready == Ready::no) continue;
    const int count = recv(client, buffer, sizeof buffer, 0);
    if (count <= 0) return false;
    received.append(buffer, static_cast<std::size_t>(count));
  }
  return false;
}

void send_all(ServerState& state, SOCKET client, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size() && !state.stopping) {
    const Ready ready = wait_for(client, true);
    if (ready == Ready::failed) return;
    if (ready == Ready::no) continue;
    const int piece = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
    const int count = send(client, bytes.data() + sent, piece, 0);
    if (count == SOCKET_ERROR) {
      if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return;
    }
    sent += static_cast<std::size_t>(count);
  }
}

// Waits until the client closes its side, the server stops or the time is up.
void wait_for_client_to_leave(ServerState& state, SOCKET client,
                              std::chrono::milliseconds longest = std::chrono::hours(1)) {
  const auto deadline = std::chrono::steady_clock::now() + longest;
  char buffer[4096];
  while (!state.stopping && std::chrono::steady_clock::now() < deadline) {
    const Ready ready = wait_for(client, false);
    if (ready == Ready::failed) return;
    if (ready == Ready::no) continue;
    if (recv(client, buffer, sizeof buffer, 0) <= 0) return;
  }
}

void answer(ServerState& state, SOCKET client, const ScriptedReply& reply) {
  std::string received;
  const bool complete = read_request(state, client, received);
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.requests.push_back(received);
  }
  if (!complete) return;
  if (reply.end == ReplyEnd::stay_silent) {
    wait_for_client_to_leave(state, client);
    return;
  }
  send_all(state, client, reply.response);
  if (reply.end == ReplyEnd::reset) {
    // Give the bytes time to reach the client before the reset overtakes them.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    linger abortive = {1, 0};
    setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
               sizeof abortive);
    return;
  }
  shutdown(client, SD_SEND);
  // Bytes arriving after the close would make it a reset; let the client finish first.
  wait_for_client_to_leave(state, client, std::chrono::seconds(2));
}

void serve(ServerState* state) {
  std::size_t next_reply = 0;
  while (!state->stopping) {
    const Ready ready = wait_for(state->listener, false);
    if (ready == Ready::failed) return;
    if (ready == Ready::no) continue;
    SOCKET client = accept(state->listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    u_long non_blocking = 1;
    ioctlsocket(client, FIONBIO, &non_blocking);
    if (next_reply < state->replies.size()) answer(*state, client, state->replies[next_reply++]);
    closesocket(client);
  }
}

SOCKET loopback_socket(int port) {
  SOCKET socket_handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket_handle == INVALID_SOCKET) return socket_handle;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  if (bind(socket_handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    closesocket(socket_handle);
    return INVALID_SOCKET;
  }
  return socket_handle;
}

int port_of(SOCKET socket_handle) {
  sockaddr_in address = {};
  int length = sizeof address;
  getsockname(socket_handle, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

void start_winsock() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

}  // namespace

LoopbackServer start_loopback_server(std::vector<ScriptedReply> replies, int port) {
  start_winsock();
  LoopbackServer server;
  server.state = std::make_shared<ServerState>();
  server.state->replies = std::move(replies);
  server.state->listener = loopback_socket(port);
  if (server.state->listener == INVALID_SOCKET || listen(server.state->listener, 8) != 0) {
    return server;  // port 0: the test's request fails and its checks show it
  }
  server.port = port_of(server.state->listener);
  server.state->thread = std::thread(serve, server.state.get());
  return server;
}

int server_request_count(const LoopbackServer& server) {
  if (!server.state) return 0;
  std::lock_guard<std::mutex> lock(server.state->mutex);
  return static_cast<int>(server.state->requests.size());
}

std::vector<std::string> stop_loopback_server(LoopbackServer& server) {
  if (!server.state) return {};
  ServerState& state = *server.state;
  state.stopping = true;
  if (state.thread.joinable()) state.thread.join();
  if (state.listener != INVALID_SOCKET) {
    closesocket(state.listener);
    state.listener = INVALID_SOCKET;
    WSACleanup();
  }
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.requests;
}

int unused_loopback_port() {
  start_winsock();
  SOCKET probe = loopback_socket(0);
  const int port = port_of(probe);
  closesocket(probe);
  WSACleanup();
  return port;
}
