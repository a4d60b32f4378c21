// The login reply: RunLoginExchange reads the input from a loopback peer as the login server's
// answer (the length field, then the rest, then the result inside).
#include "fuzz/fuzz_harness.h"

#include <atomic>
#include <cstring>
#include <string>

#include "app/login_exchange.h"

namespace fuzz {

namespace {

// The login request carries its length in its first four bytes.
bool RequestComplete(const std::string& request) {
  if (request.size() < 4) return false;
  uint32_t length = 0;
  std::memcpy(&length, request.data(), 4);
  return request.size() >= length;
}

LoopbackPeer& Peer() {
  static LoopbackPeer* const peer = new LoopbackPeer(&RequestComplete);
  return *peer;
}

void SetUp(std::vector<Bytes>&) {
  Peer();
}

void Run(const uint8_t* data, size_t size) {
  static const std::string request =
      BuildLoginRequest("editor@example.com", "0f7e8b0f7c3e5a4f4f4de4c3a8c3a5ba");
  LoopbackPeer& peer = Peer();
  peer.Serve(data, size);
  std::atomic<bool> stop(false);
  LoginTimeouts timeouts;
  timeouts.connectMs = 5000;
  timeouts.replyMs = 5000;
  LoginOutcome outcome = RunLoginExchange("127.0.0.1", peer.port(), request, stop, timeouts);
  (void)LoginFailureText(outcome.code, outcome.wsaError);
  peer.WaitServed(5000);
}

}  // namespace

// The reply may announce up to 64 KiB.
extern const Target kLoginReplyTarget = {"login_reply", "login_reply", 72 << 10, false,
                                         &SetUp,        &Run,          nullptr};

}  // namespace fuzz
