#pragma once
// A small HTTP server on 127.0.0.1 for the wire tests, run on a thread of the
// test process. It answers connections one after another as scripted and keeps
// the raw bytes of every request it read. Windows builds only.

#include <memory>
#include <string>
#include <vector>

// How the server leaves a connection once the reply is sent.
enum class ReplyEnd {
  close,        // an orderly close
  reset,        // an abortive close: the client sees a reset
  stay_silent,  // nothing is sent; the connection stays open until the client leaves
};

struct ScriptedReply {
  std::string response;  // the bytes sent once the whole request has been read
  ReplyEnd end = ReplyEnd::close;
};

struct ServerState;

struct LoopbackServer {
  int port = 0;
  std::shared_ptr<ServerState> state;
};

// Listens on `port` of 127.0.0.1, by default a free one. The n-th connection
// gets the n-th reply; connections beyond the script are closed at once.
LoopbackServer start_loopback_server(std::vector<ScriptedReply> replies, int port = 0);

// The requests read so far.
int server_request_count(const LoopbackServer& server);

// Stops the server, waits for its thread and closes every socket; returns the
// requests read, one per connection. Safe to call again, or on a server never started.
std::vector<std::string> stop_loopback_server(LoopbackServer& server);

// A port of 127.0.0.1 on which nothing listens, so a connection is refused.
int unused_loopback_port();
