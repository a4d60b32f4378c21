#include "webdata/curl_transfer.h"

#include "foundation/logger.h"

size_t CurlWriteToBuffer(void* data, size_t size, size_t count, CBuffer* buffer) {
  size_t total = size * count;
  if (!data || !buffer || total == 0) return total;
  return buffer->Write(data, static_cast<uint32_t>(total));
}

CurlReplyBuffer::CurlReplyBuffer(uint32_t ceiling)
    : m_buffer(web_api::kBufferSize), m_nCeiling(ceiling) {}

size_t CurlReplyBuffer::Callback(char* data, size_t size, size_t count, void* self) {
  auto* reply = static_cast<CurlReplyBuffer*>(self);
  const size_t total = size * count;
  if (reply->m_bRefused) return 0;
  if (total <= reply->m_nCeiling - reply->m_buffer.GetCount() &&
      CurlWriteToBuffer(data, size, count, &reply->m_buffer) == total) {
    return total;
  }
  GetLogger()->log(em_utility::log_level::error,
                   "web API reply dropped: more than %u bytes, or no memory for %u more",
                   reply->m_nCeiling, static_cast<unsigned>(total));
  reply->m_bRefused = true;
  reply->m_buffer.Clear();
  return 0;
}

void CurlReplyBuffer::Clear() {
  m_buffer.Clear();
  m_bRefused = false;
}

std::string CurlReplyBuffer::Text() const {
  return BufferText(m_buffer);
}

CurlHeaderList MakeHeaderList(const std::vector<std::string>& lines) {
  CurlHeaderList list;
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (!longer) return CurlHeaderList();
    list.release();
    list.reset(longer);
  }
  return list;
}

CURLcode PerformWithRetry(const std::function<CURLcode()>& perform) {
  CURLcode code = CURLE_OK;
  for (int performs = 0; performs < web_api::kMaxPerforms; ++performs) {
    code = perform();
    if (code != CURLE_COULDNT_CONNECT && code != CURLE_SEND_ERROR) break;
  }
  return code;
}

CURLcode PerformWithRetry(CURL* handle, CurlReplyBuffer& body, CurlReplyBuffer& head) {
  return PerformWithRetry([&] {
    body.Clear();
    head.Clear();
    return curl_easy_perform(handle);
  });
}

bool GetResponseCode(CURL* handle, long& status) {
  status = 0;
  return curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK;
}

std::string BufferText(const CBuffer& buffer) {
  std::string text;
  if (buffer.IsEmpty()) return text;
  text.reserve(buffer.GetCount());
  uint32_t first = buffer.ReadableSpan();
  text.append(reinterpret_cast<const char*>(buffer.PosToPtr(buffer.GetReadPos())), first);
  if (first < buffer.GetCount()) {
    text.append(reinterpret_cast<const char*>(buffer.PosToPtr(0)), buffer.GetCount() - first);
  }
  return text;
}
