#include "webdata/http_request.h"

#include <ws2tcpip.h>

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <exception>
#include <memory>

#include "foundation/ascii.h"
#include "foundation/logger.h"
#include "webdata/api_call.h"
#include "webdata/api_signing.h"
#include "webdata/http_body.h"
#include "webdata/http_inflate.h"
#include "webdata/reply_limits.h"
#include "webdata/serialize.h"

namespace {

namespace log_level = em_utility::log_level;

// The first read must hold the reply's whole head.
constexpr int kReceiveBufferSize = 10240;
// Later reads take what has arrived, up to this much: every wait and every read is a system call
// (under Wine a round trip to the wineserver), so a few large reads cost far less than many
// small ones.
constexpr int kMorePieceSize = 64 << 10;
constexpr DWORD kConnectWaitMs = 10000;
// Waits for a connection or for data are made of waits of at most this long, so that a cut is
// seen soon.
constexpr DWORD kPollMs = 200;
// ReceiveMore gives up when more than this many whole seconds pass without data.
constexpr DWORD kIdleSeconds = 2;
const char kHeadEnd[] = "\r\n\r\n";

timeval ToTimeval(DWORD milliseconds) {
  timeval wait;
  wait.tv_sec = static_cast<long>(milliseconds / 1000);
  wait.tv_usec = static_cast<long>(milliseconds % 1000 * 1000);
  return wait;
}

// Runs the step and hands back its result; an exception (memory that ran out for a reply) becomes
// the failed result with a log line: nothing a server sends may end the thread that asked.
template <class Result, class Step>
Result Guarded(const char* what, Result failed, Step step) {
  try {
    return step();
  } catch (const std::exception& e) {
    GetLogger()->log(log_level::error, "%s failed: %s", what, e.what());
  } catch (...) {
    GetLogger()->log(log_level::error, "%s failed", what);
  }
  return failed;
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
    : m_vecHosts(web_api::ApiHosts()),
      m_nRequestId(kind),
      m_nId(id),
      m_nTransport(transport),
      m_dwExchangeTime(reply_limits::kWebServiceMilliseconds) {}

CRequest::CRequest(int kind, const std::string& resultType, int id, int transport)
    : m_vecHosts(web_api::ApiHosts()),
      m_nRequestId(kind),
      m_nId(id),
      m_nTransport(transport),
      m_strResultType(resultType),
      m_dwExchangeTime(reply_limits::kWebServiceMilliseconds) {}

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
  return Guarded("web API call", false, [&] {
    CurlHeaderList headers = BuildHeaders(false);
    long status = 0;
    std::string body;
    if (!web_api::PerformGet(BuildUrl(m_strPath, m_strQuery), headers.get(), false,
                             reply_limits::kWebApiBytes, status, body, m_pCut)) {
      return false;
    }
    return status == 200 && record && record->FromJsonString(body);
  });
}

bool CRequest::SendRequest() {
  m_deadline.Start(m_dwExchangeTime);
  m_nReceived = 0;
  m_nStopResult = 0;
  if (IsCut()) return false;
  return Guarded("CRequest send", false, [&] {
    std::string host;
    unsigned short port = 0;
    std::string request;
    if (!SplitHttpUrl(m_strUrl, host, port)) return false;
    BuildRangeRequest(m_strUrl, request, -1, 0xFFFFFFFFu);

    in_addr address;
    if (!ResolveHost(host, address) || !Connect(address, port)) return false;
    int length = static_cast<int>(request.size());
    return SendAll(m_socket, request.data(), length, 0) == length;
  });
}

bool CRequest::Connect(const in_addr& address, unsigned short port) {
  CloseSocket();
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_socket == INVALID_SOCKET) {
    GetLogger()->log(log_level::error, "Failed socket(),error code:%d", WSAGetLastError());
    return false;
  }
  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  target.sin_addr = address;
  // Connecting without blocking: a refused connection shows at once in the failed set, and a
  // peer that never answers gets its 10 s, not the system's own much longer wait.
  u_long nonBlocking = 1;
  ioctlsocket(m_socket, FIONBIO, &nonBlocking);
  int error = 0;
  if (connect(m_socket, reinterpret_cast<sockaddr*>(&target), sizeof target) == SOCKET_ERROR &&
      (error = WSAGetLastError()) == WSAEWOULDBLOCK) {
    fd_set writable, failed;
    int ready = 0;
    // In slices, so that a cut ends the wait soon.
    const DWORD start = GetTickCount();
    for (DWORD spent = 0; ready == 0 && spent < kConnectWaitMs && !IsCut();
         spent = GetTickCount() - start) {
      FD_ZERO(&writable);
      FD_SET(m_socket, &writable);
      FD_ZERO(&failed);
      FD_SET(m_socket, &failed);
      timeval wait = ToTimeval(m_deadline.Cap(std::min<DWORD>(kConnectWaitMs - spent, kPollMs)));
      ready = select(0, nullptr, &writable, &failed, &wait);
      if (m_deadline.IsPast()) break;
    }
    if (ready == SOCKET_ERROR) {
      error = WSAGetLastError();
    } else if (ready == 0) {
      error = WSAETIMEDOUT;
    } else if (FD_ISSET(m_socket, &failed)) {
      int size = sizeof error;
      getsockopt(m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
      if (error == 0) error = WSAECONNREFUSED;
    } else {
      error = 0;
    }
  }
  if (error != 0) {
    GetLogger()->log(log_level::error, "CRequest connect error! nRet = %d", error);
    shutdown(m_socket, SD_SEND);
    CloseSocket();
    return false;
  }
  // The exchange itself reads and writes blocking, each wait bounded by select.
  nonBlocking = 0;
  ioctlsocket(m_socket, FIONBIO, &nonBlocking);
  return true;
}

int CRequest::Receive(std::string& out, unsigned timeout) {
  int result =
      Guarded("CRequest reply", kReceiveFailed, [&] { return ReceiveReply(out, timeout); });
  CloseSocket();
  return result;
}

int CRequest::ReceiveReply(std::string& out, unsigned timeout) {
  const DWORD start = GetTickCount();
  int result = 0;
  std::string body;
  bool gzip = false;
  for (;;) {
    if ((GetTickCount() - start) / 1000 > timeout || MustStop()) {
      result = kReceiveTimedOut;
      break;
    }
    int ready = WaitReadable(kPollMs);
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
    m_nReceived += count;
    buffer[count] = '\0';
    result = ParseReply(buffer.get(), count, body, gzip);
    break;
  }

  GetLogger()->log(log_level::normal, "XML length: %d", static_cast<int>(body.size()));
  if (result == 0 && gzip) result = Inflate(body);
  if (result == 0) out.swap(body);
  return result;
}

int CRequest::Inflate(std::string& body) {
  char* block = nullptr;
  unsigned length = 0;
  int inflated = InflateHttpBody(body.data(), static_cast<unsigned>(body.size()), &block, true,
                                 &length, reply_limits::kWebServiceBytes);
  std::unique_ptr<char, decltype(&std::free)> owned(block, &std::free);
  if (inflated == Z_MEM_ERROR) {
    GetLogger()->log(log_level::error, "CRequest inflated reply too large! nCeiling = %u",
                     reply_limits::kWebServiceBytes);
    return kReceiveTooLarge;
  }
  if (inflated != 0) GetLogger()->log(log_level::error, L"XML解压失败........!");
  body.assign(block ? block : "", block ? length : 0);
  return 0;
}

int CRequest::ParseReply(const char* firstRead, int count, std::string& body, bool& gzip) {
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

  // An error page is no reply: it must neither reach the parser nor fill a cache.
  int status = GetStatusCode(head);
  if (status < 200 || status > 299) {
    GetLogger()->log(log_level::error, "CRequest status error! nStatus = %d", status);
    return kReceiveNotOk;
  }

  std::string value;
  gzip = GetHeaderValue(value, "Content-Encoding: ", head) && value == "gzip";

  int lastRead = count;
  if (GetHeaderValue(value, "Content-Length: ", head)) {
    long long contentLength = std::strtoll(value.c_str(), nullptr, 10);
    if (contentLength < 0) {
      GetLogger()->log(log_level::error, "CRequest nContentLen error! nContentLen = %d",
                       static_cast<int>(std::max<long long>(contentLength, INT_MIN)));
      return 0;
    }
    if (contentLength > reply_limits::kWebServiceBytes) {
      GetLogger()->log(log_level::error, "CRequest reply too large! Content-Length: %s",
                       value.c_str());
      return kReceiveTooLarge;
    }
    // Room for the announced body (within the ceiling, checked above): the reads then fill it
    // without moving it.
    body.reserve(static_cast<size_t>(contentLength));
    body += firstPart;
    while (body.size() < static_cast<size_t>(contentLength) && lastRead > 0) {
      lastRead = ReceiveMore(body);
    }
    GetLogger()->log(log_level::normal, L"当前长度: %d, 总长度: %d", static_cast<int>(body.size()),
                     static_cast<int>(contentLength));
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
  return m_nStopResult;
}

int CRequest::ReceiveMore(std::string& text) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (MustStop()) return -1;
    if ((GetTickCount() - start) / 1000 > kIdleSeconds) return -1;
    int ready = WaitReadable(kPollMs);
    if (ready == 0) continue;
    if (ready == SOCKET_ERROR) {
      GetLogger()->log(log_level::error, "CRequest select error! nRet = %d", WSAGetLastError());
      return -1;
    }
    break;
  }
  // Straight into the text: into its spare room when it has some (a body reserved by its
  // announced length fills without moving), else a piece of kMorePieceSize more.
  const size_t had = text.size();
  const size_t room = text.capacity() - had;
  const int want = room > 0 && room < kMorePieceSize ? static_cast<int>(room) : kMorePieceSize;
  text.resize(had + want);
  int count = recv(m_socket, &text[had], want, 0);
  text.resize(had + (count > 0 ? count : 0));
  if (count > 0) m_nReceived += count;
  return count;
}

bool CRequest::MustStop() {
  if (m_nStopResult != 0) return true;
  if (IsCut()) {
    GetLogger()->log(log_level::normal, "CRequest cut by its owner! nReceived = %u", m_nReceived);
    m_nStopResult = kReceiveCut;
  } else if (m_deadline.IsPast()) {
    GetLogger()->log(log_level::error, "CRequest deadline passed! nLimit = %u ms, nReceived = %u",
                     static_cast<unsigned>(m_dwExchangeTime), m_nReceived);
    m_nStopResult = kReceiveTimedOut;
  } else if (m_nReceived > reply_limits::kWebServiceBytes) {
    GetLogger()->log(log_level::error, "CRequest reply too large! nReceived = %u, nCeiling = %u",
                     m_nReceived, reply_limits::kWebServiceBytes);
    m_nStopResult = kReceiveTooLarge;
  }
  return m_nStopResult != 0;
}

int CRequest::WaitReadable(DWORD milliseconds) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(m_socket, &readable);
  timeval wait = ToTimeval(m_deadline.Cap(milliseconds));
  return select(0, &readable, nullptr, nullptr, &wait);
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
