#include "webdata/http_body.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "foundation/ascii.h"
#include "foundation/common_helpers.h"

namespace {

const char kHttpScheme[] = "http://";
const char kLineEnd[] = "\r\n";
constexpr size_t kMaxHostPart = 260;
constexpr unsigned short kDefaultHttpPort = 80;

}  // namespace

bool SplitHttpUrl(const std::string& url, std::string& host, unsigned short& port) {
  size_t start =
      url.compare(0, sizeof kHttpScheme - 1, kHttpScheme) == 0 ? sizeof kHttpScheme - 1 : 0;
  size_t slash = url.find('/', start);
  if (slash == std::string::npos || slash - start > kMaxHostPart) return false;
  std::string hostPart = url.substr(start, slash - start);
  size_t colon = hostPart.find(':');
  if (colon == std::string::npos) {
    host = hostPart;
    port = kDefaultHttpPort;
  } else {
    host = hostPart.substr(0, colon);
    port = static_cast<unsigned short>(std::atoi(hostPart.c_str() + colon + 1));
  }
  return true;
}

bool BuildRangeRequest(const std::string& url, std::string& text, int first, unsigned last) {
  std::string host;
  unsigned short port = 0;
  if (!SplitHttpUrl(url, host, port)) return false;
  char hostLine[300];
  std::snprintf(hostLine, sizeof hostLine, "Host: %s:%u\r\n", host.c_str(), unsigned{port});
  text = "GET http://" + url + " HTTP/1.1\r\n";
  text += hostLine;
  text +=
      "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)\r\n"
      "Accept: */*\r\n"
      "Accept-Encoding: gzip\r\n"
      "Accept-Language: zh-CN,zh;q=0.8\r\n";
  if (first != -1 && last != 0xFFFFFFFFu) {
    char range[64];
    std::snprintf(range, sizeof range, "Range: bytes=%d-%d\r\n", first, static_cast<int>(last));
    text += range;
  }
  text += "Connection: keep-alive\r\n\r\n";
  return true;
}

bool GetHeaderValue(std::string& value, const std::string& name, const std::string& head) {
  size_t at = head.find(name);
  if (at == std::string::npos) return false;
  size_t start = at + name.size();
  size_t end = head.find(kLineEnd, start);
  value = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
  TrimSpaces(value);
  return true;
}

int GetStatusCode(const std::string& head) {
  // "HTTP/" and the version, one space, three digits, then a space or the end of the line.
  size_t space = head.find(' ');
  if (head.compare(0, 5, "HTTP/") != 0 || space == std::string::npos || head.size() < space + 4) {
    return 0;
  }
  int code = 0;
  for (size_t i = space + 1; i < space + 4; ++i) {
    if (!ascii::IsDigit(static_cast<unsigned char>(head[i]))) return 0;
    code = code * 10 + (head[i] - '0');
  }
  char after = head.size() > space + 4 ? head[space + 4] : ' ';
  return after == ' ' || after == '\r' ? code : 0;
}

bool ParseChunkSize(const std::string& line, long& size) {
  const char* start = line.c_str();
  char* end = nullptr;
  errno = 0;
  long parsed = std::strtol(start, &end, 16);
  // A size the server controls: it must leave room to count the data's own CR LF.
  if (end == start || errno == ERANGE || parsed < 0 || parsed > LONG_MAX - 2) return false;
  size = parsed;
  return true;
}

void DecodeChunkedBody(std::string& text, std::string& body, const ReceiveMoreFn& receiveMore) {
  for (;;) {
    size_t lineEnd;
    while ((lineEnd = text.find(kLineEnd)) == std::string::npos) {
      if (receiveMore(text) <= 0) return;
    }
    long size = 0;
    if (!ParseChunkSize(text.substr(0, lineEnd), size) || size == 0) return;
    text.erase(0, lineEnd + 2);

    const size_t chunk = static_cast<size_t>(size);
    while (text.size() < chunk + 2) {
      if (receiveMore(text) < 1) break;
    }
    if (text.size() < chunk) {
      // The peer stopped inside the chunk: keep what came of it.
      body += text;
      text.clear();
      return;
    }
    body.append(text, 0, chunk);
    text.erase(0, std::min(chunk + 2, text.size()));
  }
}
