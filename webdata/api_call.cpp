#include "webdata/api_call.h"

#include <new>

#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "webdata/curl_transfer.h"
#include "webdata/reply_limits.h"

namespace web_api {

std::vector<std::string> ApiHosts() {
  std::string host = em_utility::wide_to_ansi(static_cast<const wchar_t*>(GetConfig()->ApiURL));
  // The settings load the default host for an empty ApiURL; this covers one emptied since.
  if (host.empty()) host = site::DefaultApiHost();
  return {host};
}

std::vector<std::string> HeaderLines(const std::string& host, bool post) {
  std::vector<std::string> lines = {"Accept: */*", "Accept-Language: zh-cn"};
  if (!post) lines.push_back("Accept-Encoding: gzip, deflate");
  lines.insert(lines.end(),
               {"Accept-Charset: utf8", "User-Agent: lklrc(windows) v0.0.0.1", "host: " + host,
                "Connection: keep-alive", "Pragma: no-cache", "Cache-Control: no-cache"});
  if (post) lines.push_back("Expect:");
  return lines;
}

std::string BuildUrl(const std::string& host, const std::string& path, const std::string& query,
                     const std::string& accessToken) {
  std::string url = host + path;
  if (!query.empty()) url += "?" + query;
  if (!accessToken.empty()) url += "&access_token=" + accessToken;
  return url;
}

void SetTransferOptions(CURL* curl, const std::string& url, curl_slist* headers,
                        CurlReplyBuffer& body, CurlReplyBuffer& head) {
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(body.GetCeiling()));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CurlReplyBuffer::Callback);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CurlReplyBuffer::Callback);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &head);
}

namespace {

// The library's progress callback: non-zero abandons the transfer.
int AbandonWhenCut(void* cut, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(cut)->load() ? 1 : 0;
}

}  // namespace

bool PerformGet(const std::string& url, curl_slist* headers, bool anyEncoding, uint32_t ceiling,
                long& status, std::string& body, const std::atomic<bool>* cut) {
  status = 0;
  body.clear();
  CurlEasyHandle handle(curl_easy_init());
  if (!handle) return false;
  CurlReplyBuffer bodyBuffer(ceiling);
  CurlReplyBuffer headBuffer(reply_limits::kWebApiHeadBytes);
  CURL* curl = handle.get();
  SetTransferOptions(curl, url, headers, bodyBuffer, headBuffer);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "gzip");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  if (anyEncoding) curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  if (cut) {
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &AbandonWhenCut);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cut));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  }

  CURLcode code = PerformWithRetry(curl, bodyBuffer, headBuffer);
  if (!GetResponseCode(curl, status)) status = 0;
  if (code != CURLE_OK) {
    GetLogger()->log(em_utility::log_level::error, "web API transfer failed: %d %s", code,
                     curl_easy_strerror(code));
    return false;
  }
  try {
    body = bodyBuffer.Text();
  } catch (const std::bad_alloc&) {
    GetLogger()->log(em_utility::log_level::error, "web API reply dropped: no memory for its text");
    return false;
  }
  return true;
}

}  // namespace web_api
