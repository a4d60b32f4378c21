// The transfer library's handles and rules shared by every web-API exchange: owned handles, the
// write callback into a CBuffer, and the retry of transfers that could not connect or send.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/buffer.h"

struct CurlEasyCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyCleanup>;

struct CurlSlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHeaderList = std::unique_ptr<curl_slist, CurlSlistFree>;

namespace web_api {
// Total time of one perform.
constexpr long kTimeoutSeconds = 10;
constexpr long kMaxRedirects = 2;
// Performs of one exchange while it cannot connect or send.
constexpr int kMaxPerforms = 3;
// Initial size of the body and head buffers of an exchange.
constexpr unsigned kBufferSize = 8192;
}  // namespace web_api

// Appends size * count bytes to the buffer when both data and buffer are given; the count the
// buffer took: size * count, or 0 when it could not grow (the library then ends the transfer
// instead of believing the bytes kept).
size_t CurlWriteToBuffer(void* data, size_t size, size_t count, CBuffer* buffer);

// The body or the head of a transfer, collected up to a ceiling. A reply that passes it, or that
// the buffer cannot hold, stops the transfer (the callback takes none of its bytes) and is
// dropped whole with a log line, so that a cut reply is never taken for the whole one.
class CurlReplyBuffer {
 public:
  explicit CurlReplyBuffer(uint32_t ceiling);
  // The library's write and header callback; user data: a CurlReplyBuffer*.
  static size_t Callback(char* data, size_t size, size_t count, void* self);

  void Clear();
  bool IsRefused() const { return m_bRefused; }
  uint32_t GetCeiling() const { return m_nCeiling; }
  // The bytes collected, as text.
  std::string Text() const;

 private:
  CBuffer m_buffer;
  uint32_t m_nCeiling;
  bool m_bRefused = false;
};

// The lines as a header list, in their order; null when the list cannot be made.
CurlHeaderList MakeHeaderList(const std::vector<std::string>& lines);

// Runs perform until it succeeds or fails for another reason than "could not connect" (7) or
// "send error" (55), at most web_api::kMaxPerforms times, without a pause; the last result.
CURLcode PerformWithRetry(const std::function<CURLcode()>& perform);
// The same for the handle's transfer, whose callbacks write into body and head. Both are emptied
// before every perform: a reply that a failed attempt began must not stand in front of the one
// that counts.
CURLcode PerformWithRetry(CURL* handle, CurlReplyBuffer& body, CurlReplyBuffer& head);

// The response code of the last transfer of the handle; false when it cannot be read.
bool GetResponseCode(CURL* handle, long& status);

// The buffer's readable bytes as text; the buffer keeps them.
std::string BufferText(const CBuffer& buffer);
