#include "webdata/http_request.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <memory>

#include "foundation/ascii.h"
#include "foundation/logger.h"
#include "webdata/api_call.h"
#include "webdata/api_signing.h"
#include "webdata/http_body.h"
#include "webdata/http_inflate.h"
#include "webdata/serialize.h"

namespace {

namespace log_level = em_utility::log_level;

// The first read must hold the reply's whole head.
constexpr int kReceiveBufferSize = 10240;
constexpr int kMorePieceSize = 1024;
constexpr long kConnectWaitSeconds = 10;
// ReceiveMore gives up when more than this many whole seconds pass without data.
constexpr DWORD kIdleSeconds = 2;
const char kHeadEnd[] = "\r\n\r\n";

// Waits at most one second for the socket to become readable: 1 readable, 0 not yet, SOCKET_ERROR.
int WaitReadableOneSecond(SOCKET socket) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket, &readable);
  timeval wait = {1, 0};
  return select(0, &readable, nullptr, nullptr, &wait);
}

// The IPv4 address of a host: a letter first means a name; a dotted address is taken as it is,
// and anything else that does not read as one (a name that begins with a digit) is a name too.
bool ResolveHost(const std::string& host, in_addr& address) {
  if (host.empty()) return false;
  if (!ascii::IsAlpha(static_cast<unsigned char>(host[0]))) {
    address.s_addr = inet_addr(host.c_str());
    if (address.s_addr != INADDR_NONE) return true;
  }
  hostent* entry = gethostbyname(host.c_str());
  if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) {
    GetLogger()->log(log_level::normal, "Failed gethostbyname(),error code:%d\n",
                     WSAGetLastError());
    return false;
  }
  address = *reinterpret_cast<in_addr*>(entry->h_addr_list[0]);
  GetLogger()->log(log_level::normal, "ip: %s", inet_ntoa(address));
  return true;
}

}  // namespace

CRequest::CRequest(int kind, int id, int transport)
    : m_vecHosts(web_api::ApiHosts()), m_nRequestId(kind), m_nId(id), m_nTransport(transport) {}

CRequest::CRequest(int kind, const std::string& resultType, int id, int transport)
    : m_vecHosts(web_api::ApiHosts()),
      m_nRequestId(kind),
      m_nId(id),
      m_nTransport(transport),
      m_strResultType(resultType) {}

CRequest::~CRequest() {
  CloseSocket();
}

void CRequest::CloseSocket() {
  if (m_socket != INVALID_SOCKET) {
    closesocket(m_socket);
    m_socket = INVALID_SOCKET;
  }
}

void CRequest::SetApiParams(const std::string& method, const std::vector<ApiParam>& params) {
  m_strQuery = BuildSignedQuery(method, params);
  m_strPath = web_api::kMethodPath;
}

std::string CRequest::BuildSignedQuery(const std::string& method,
                                       const std::vector<ApiParam>& params) {
  return web_api::BuildSignedQuery(method, params, web_api::CurrentCallId());
}

std::string CRequest::UrlEncode(const std::string& text) {
  return web_api::UrlEncode(text);
}

CurlHeaderList CRequest::BuildHeaders(bool post) const {
  return MakeHeaderList(web_api::HeaderLines(m_vecHosts.front(), post));
}

std::string CRequest::BuildUrl(const std::string& path, const std::string& query) const {
  return web_api::BuildUrl(m_vecHosts.front(), path, query, m_strAccessToken);
}

bool CRequest::PerformApi(boost::shared_ptr<ISerialize> record) {
  CurlHeaderList headers = BuildHeaders(false);
  long status = 0;
  std::string body;
  if (!web_api::PerformGet(BuildUrl(m_strPath, m_strQuery), headers.get(), false, status, body)) {
    return false;
  }
  return status == 200 && record && record->FromJsonString(body);
}

bool CRequest::SendRequest() {
  std::string host;
  unsigned short port = 0;
  std::string request;
  if (!SplitHttpUrl(m_strUrl, host, port)) return false;
  BuildRangeRequest(m_strUrl, request, -1, 0xFFFFFFFFu);

  in_addr address;
  if (!ResolveHost(host, address)) return false;

  CloseSocket();
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_socket == INVALID_SOCKET) {
    GetLogger()->log(log_level::error, "Failed socket(),error code:%d", WSAGetLastError());
    return false;
  }
  u_long nonBlocking = 0;
  ioctlsocket(m_socket, FIONBIO, &nonBlocking);
  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr = address;
  // A refused or failed connect shows in the wait for writability below.
  connect(m_socket, reinterpret_cast<sockaddr*>(&target), sizeof target);

  fd_set writable;
  FD_ZERO(&writable);
  FD_SET(m_socket, &writable);
  timeval wait = {kConnectWaitSeconds, 0};
  if (select(0, nullptr, &writable, nullptr, &wait) <= 0) {
    shutdown(m_socket, SD_SEND);
    CloseSocket();
    return false;
  }
  int length = static_cast<int>(request.size());
  return SendAll(m_socket, request.data(), length, 0) == length;
}

int CRequest::Receive(std::string& out, unsigned timeout) {
  const DWORD start = GetTickCount();
  int result = 0;
  std::string body;
  bool gzip = false;
  for (;;) {
    if ((GetTickCount() - start) / 1000 > timeout) {
      result = kReceiveTimedOut;
      break;
    }
    int ready = WaitReadableOneSecond(m_socket);
    if (ready == 0) continue;
    if (ready == SOCKET_ERROR) {
      result = WSAGetLastError();
      GetLogger()->log(log_level::error, "CRequest select error! nRet = %d", result);
      break;
    }
    // Each call has its own buffer, so requests may be received on several threads.
    std::unique_ptr<char[]> buffer(new char[kReceiveBufferSize + 1]());
    int count = recv(m_socket, buffer.get(), kReceiveBufferSize, 0);
    if (count < 1) {
      GetLogger()->log(log_level::error, "CRequest recv error! nRet = %d", WSAGetLastError());
      return kReceiveFailed;
    }
    buffer[count] = '\0';
    ParseReply(buffer.get(), count, body, gzip);
    break;
  }

  GetLogger()->log(log_level::normal, "XML length: %d", static_cast<int>(body.size()));
  if (result == 0) {
    if (gzip) {
      char* block = nullptr;
      unsigned length = 0;
      if (InflateHttpBody(body.data(), static_cast<unsigned>(body.size()), &block, true, &length) !=
          0) {
        GetLogger()->log(log_level::error, L"XML解压失败........!");
      }
      out.assign(block ? block : "", block ? length : 0);
      std::free(block);
    } else {
      out = body;
    }
  }
  CloseSocket();
  return result;
}

void CRequest::ParseReply(const char* firstRead, int count, std::string& body, bool& gzip) {
  const std::string read(firstRead, count);
  // Header names are looked for in the head alone, never in the body that follows it.
  size_t headEnd = read.find(kHeadEnd);
  std::string head, firstPart;
  if (headEnd == std::string::npos) {
    head = firstRead;
  } else {
    head = read.substr(0, headEnd + 2);
    firstPart = read.substr(headEnd + 4);
  }

  std::string value;
  gzip = GetHeaderValue(value, "Content-Encoding: ", head) && value == "gzip";

  int lastRead = count;
  if (GetHeaderValue(value, "Content-Length: ", head)) {
    int contentLength = std::atoi(value.c_str());
    if (contentLength < 0) {
      GetLogger()->log(log_level::error, "CRequest nContentLen error! nContentLen = %d",
                       contentLength);
      return;
    }
    body += firstPart;
    while (body.size() < static_cast<size_t>(contentLength) && lastRead > 0) {
      lastRead = ReceiveMore(body);
    }
    GetLogger()->log(log_level::normal, L"当前长度: %d, 总长度: %d", static_cast<int>(body.size()),
                     contentLength);
  } else if (GetHeaderValue(value, "Transfer-Encoding: ", head)) {
    if (value == "chunked") {
      GetLogger()->log(log_level::important, L"chunked 传输编码");
      DecodeChunked(firstPart, body);
    }
  } else {
    GetLogger()->log(log_level::important, L"third 当前长度: %d", static_cast<int>(body.size()));
    body += firstPart;
    while (lastRead > 0) lastRead = ReceiveMore(body);
    GetLogger()->log(log_level::important, L"third 当前长度: %d", static_cast<int>(body.size()));
  }
}

int CRequest::ReceiveMore(std::string& text) {
  const DWORD start = GetTickCount();
  for (;;) {
    if ((GetTickCount() - start) / 1000 > kIdleSeconds) return -1;
    int ready = WaitReadableOneSecond(m_socket);
    if (ready == 0) continue;
    if (ready == SOCKET_ERROR) {
      GetLogger()->log(log_level::error, "CRequest select error! nRet = %d", WSAGetLastError());
      return -1;
    }
    break;
  }
  char piece[kMorePieceSize];
  int count = recv(m_socket, piece, kMorePieceSize, 0);
  if (count > 0) text.append(piece, count);
  return count;
}

void CRequest::DecodeChunked(std::string& chunkText, std::string& body) {
  DecodeChunkedBody(chunkText, body, [this](std::string& text) { return ReceiveMore(text); });
}

int SendAll(SOCKET socket, const char* data, int length, int flags) {
  if (!data || length < 1) return 0;
  int sent = 0;
  while (sent < length) {
    int count = send(socket, data + sent, length - sent, flags);
    if (count < 1) {
      GetLogger()->log(log_level::error, "send(),error code:%d", WSAGetLastError());
      return sent;
    }
    sent += count;
  }
  return sent;
}
