// The inflate of compressed reply bodies: InflateHttpBody on the bytes as they came off the
// socket, with the reply ceiling the raw-socket client gives it; gzip and zlib streams alike.
#include "fuzz/fuzz_harness.h"

#include <cstdlib>

#include "webdata/http_inflate.h"
#include "webdata/reply_limits.h"

namespace fuzz {

namespace {

void Run(const uint8_t* data, size_t size) {
  // Both ways of reading the header: as gzip-or-zlib (the raw-socket client) and as zlib only.
  for (bool gzip : {true, false}) {
    char* out = nullptr;
    unsigned length = 0;
    InflateHttpBody(reinterpret_cast<const char*>(data), static_cast<unsigned>(size), &out, gzip,
                    &length, reply_limits::kWebServiceBytes);
    std::free(out);
  }
}

}  // namespace

extern const Target kInflateTarget = {"inflate", "inflate", 16 << 10, false,
                                      nullptr,   &Run,      nullptr};

}  // namespace fuzz
