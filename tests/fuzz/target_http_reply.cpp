// The reply framing of the raw-socket client: CRequest reads the input from a loopback peer as a
// server's reply (the head in the first read, then Content-Length, chunked coding or the peer's
// close, and the inflate of a gzip body), through its own socket code.
#include "fuzz/fuzz_harness.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "webdata/http_request.h"
#include "webdata/web_request_kind.h"

namespace fuzz {

namespace {

bool HeadComplete(const std::string& request) {
  return request.find("\r\n\r\n") != std::string::npos;
}

LoopbackPeer& Peer() {
  static LoopbackPeer* const peer = new LoopbackPeer(&HeadComplete);
  return *peer;
}

void SetUp(std::vector<Bytes>&) {
  Peer();
}

void Run(const uint8_t* data, size_t size) {
  LoopbackPeer& peer = Peer();
  peer.Serve(data, size);
  CRequest request(WebRequestKind::SongDetail, 123, kTransportWebService);
  request.SetUrl("127.0.0.1:" + std::to_string(peer.port()) + "/app/ws/song-detail?id=123");
  if (!request.SendRequest()) {
    std::fprintf(stderr, "fuzz http_reply: the request did not reach the loopback peer\n");
    std::exit(4);
  }
  std::string body;
  request.Receive(body, 0);
  peer.WaitServed(5000);
}

}  // namespace

// The first read takes at most 10 KiB; a few times that reaches every later read.
extern const Target kHttpReplyTarget = {"http_reply", "http_reply", 32 << 10, false,
                                        &SetUp,       &Run,         nullptr};

}  // namespace fuzz
