#include "app/login_exchange.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "foundation/common_helpers.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"

namespace {

constexpr size_t kRequestFixedSize = 169;
constexpr size_t kDigestOffset = 52;
constexpr size_t kDigestField = 65;
constexpr size_t kUserOffset = 168;
constexpr unsigned kSliceMs = 200;

void PutInt(std::string& bytes, size_t offset, unsigned value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

int GetInt(const std::string& bytes, size_t offset) {
  unsigned value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<int>(value);
}

class Socket {
 public:
  Socket() : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {}
  ~Socket() {
    if (valid()) closesocket(m_socket);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  bool valid() const { return m_socket != INVALID_SOCKET; }
  SOCKET get() const { return m_socket; }

 private:
  SOCKET m_socket;
};

enum class Wait { Ready, TimedOut, Stopped, Failed };

// Waits until the socket can be read (or written, for a connect in progress), in short slices
// that watch the stop flag.
Wait WaitFor(SOCKET s, bool forWrite, unsigned totalMs, const std::atomic<bool>& stop) {
  DWORD start = GetTickCount();
  for (;;) {
    if (stop) return Wait::Stopped;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= totalMs) return Wait::TimedOut;
    unsigned slice = totalMs - elapsed < kSliceMs ? totalMs - elapsed : kSliceMs;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(s, &failed);
    timeval tv = {static_cast<long>(slice / 1000), static_cast<long>((slice % 1000) * 1000)};
    int n = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr,
                   forWrite ? &failed : nullptr, &tv);
    if (n == SOCKET_ERROR) return Wait::Failed;
    if (n > 0) return forWrite && FD_ISSET(s, &failed) ? Wait::Failed : Wait::Ready;
  }
}

LoginOutcome Result(int code, int wsaError = 0) {
  LoginOutcome outcome;
  outcome.code = code;
  outcome.wsaError = wsaError;
  return outcome;
}

LoginOutcome Stopped() {
  LoginOutcome outcome;
  outcome.stopped = true;
  return outcome;
}

bool ResolveHost(const std::string& host, in_addr* address) {
  if (!host.empty() && ((host[0] >= 'a' && host[0] <= 'z') || (host[0] >= 'A' && host[0] <= 'Z'))) {
    hostent* entry = gethostbyname(host.c_str());
    if (!entry || !entry->h_addr_list || !entry->h_addr_list[0]) return false;
    std::memcpy(address, entry->h_addr_list[0], sizeof *address);
    GetLogger()->log(em_utility::log_level::normal, "ip: %s", inet_ntoa(*address));
    return true;
  }
  address->s_addr = inet_addr(host.c_str());
  return true;
}

// Connects without blocking the whole time-out, so that a stop is seen at once.
LoginOutcome Connect(SOCKET s, const sockaddr_in& target, unsigned totalMs,
                     const std::atomic<bool>& stop) {
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  int rc = connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target);
  if (rc == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) {
    return Result(kLoginConnectFailed, WSAGetLastError());
  }
  if (rc == SOCKET_ERROR) {
    Wait wait = WaitFor(s, true, totalMs, stop);
    if (wait == Wait::Stopped) return Stopped();
    if (wait != Wait::Ready) {
      int error = 0;
      int size = sizeof error;
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
      return Result(kLoginConnectFailed, error ? error : WSAETIMEDOUT);
    }
  }
  nonBlocking = 0;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  return Result(kLoginSucceeded);
}

enum class Read { Done, Closed, Error, TimedOut, Stopped };

// Reads exactly count bytes into out, waiting at most totalMs for each piece.
Read ReadExactly(SOCKET s, size_t count, std::string* out, unsigned totalMs,
                 const std::atomic<bool>& stop, int* wsaError) {
  out->clear();
  char piece[4096];
  while (out->size() < count) {
    Wait wait = WaitFor(s, false, totalMs, stop);
    if (wait == Wait::Stopped) return Read::Stopped;
    if (wait == Wait::TimedOut) return Read::TimedOut;
    if (wait == Wait::Failed) {
      *wsaError = WSAGetLastError();
      return Read::Error;
    }
    size_t want = count - out->size();
    int got = recv(s, piece, static_cast<int>(want < sizeof piece ? want : sizeof piece), 0);
    if (got == 0) return Read::Closed;
    if (got < 0) {
      *wsaError = WSAGetLastError();
      return Read::Error;
    }
    out->append(piece, static_cast<size_t>(got));
  }
  return Read::Done;
}

}  // namespace

std::string BuildLoginRequest(const std::string& userUtf8, const std::string& digest) {
  std::string request(kRequestFixedSize + userUtf8.size(), '\0');
  PutInt(request, 0, static_cast<unsigned>(request.size()));
  PutInt(request, 4, 2);
  PutInt(request, 8, 2);
  std::memcpy(&request[12], "logon", 5);
  std::memcpy(&request[kDigestOffset], digest.data(),
              digest.size() < kDigestField - 1 ? digest.size() : kDigestField - 1);
  std::memcpy(&request[kUserOffset], userUtf8.data(), userUtf8.size());
  return request;
}

LoginOutcome InterpretLoginReply(const std::string& reply) {
  if (reply.size() < kLoginReplyMinLength) return Result(kLoginReceiveError);
  int result = GetInt(reply, 36);
  if (result == 1 || result == 2) {
    LoginOutcome outcome = Result(kLoginSucceeded);
    outcome.value = GetInt(reply, 40);
    return outcome;
  }
  if (result == 0) return Result(kLoginBadCredentials);
  // A result the program does not know still ends the wait, so the dialog comes back.
  GetLogger()->log(em_utility::log_level::error, L"登录返回未知结果：%d", result);
  return Result(kLoginReceiveError);
}

LoginOutcome RunLoginExchange(const std::string& host, unsigned short port,
                              const std::string& request, const std::atomic<bool>& stop,
                              const LoginTimeouts& timeouts) {
  Socket s;
  if (!s.valid()) {
    int error = WSAGetLastError();
    ShowMessageBox(nullptr, L"创建套接口失败", L"你好!", MB_OK);
    return Result(kLoginNoSocket, error);
  }
  BOOL on = TRUE;
  setsockopt(s.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  setsockopt(s.get(), SOL_SOCKET, SO_DONTLINGER, reinterpret_cast<const char*>(&on), sizeof on);

  sockaddr_in target = {};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  if (!ResolveHost(host, &target.sin_addr)) return Result(kLoginNoReply, WSAGetLastError());

  LoginOutcome connected = Connect(s.get(), target, timeouts.connectMs, stop);
  if (connected.stopped || connected.code != kLoginSucceeded) return connected;

  int sent = send(s.get(), request.data(), static_cast<int>(request.size()), 0);
  if (sent != static_cast<int>(request.size())) {
    return Result(kLoginConnectionBroken, WSAGetLastError());
  }

  int wsaError = 0;
  std::string prefix;
  switch (ReadExactly(s.get(), 4, &prefix, timeouts.replyMs, stop, &wsaError)) {
    case Read::Done:
      break;
    case Read::Stopped:
      return Stopped();
    case Read::TimedOut:
      return Result(kLoginNoReply);
    case Read::Closed:
      // Nothing at all came back: the server closed on us. A length cut inside its four bytes
      // cannot be read either.
      return Result(prefix.empty() ? kLoginConnectionBroken : kLoginReceiveError);
    case Read::Error:
      return Result(kLoginReceiveError, wsaError);
  }
  unsigned length = static_cast<unsigned>(GetInt(prefix, 0));
  if (length < kLoginReplyMinLength || length > kLoginReplyMaxLength) {
    GetLogger()->log(em_utility::log_level::error, L"登录返回长度错误：%u", length);
    return Result(kLoginReceiveError);
  }
  std::string rest;
  switch (ReadExactly(s.get(), length - 4, &rest, timeouts.replyMs, stop, &wsaError)) {
    case Read::Done:
      break;
    case Read::Stopped:
      return Stopped();
    case Read::TimedOut:
    case Read::Closed:
      return Result(kLoginConnectionBroken);
    case Read::Error:
      return Result(kLoginConnectionBroken, wsaError);
  }
  return InterpretLoginReply(prefix + rest);
}

std::wstring LoginFailureText(int code, int wsaError) {
  switch (code) {
    case kLoginNoSocket:
      return L"创建套接字失败";
    case kLoginConnectFailed:
    case kLoginNoReply:
      return L"请检查您的网络，若网络正常，请稍等片刻重新登录试试";
    case kLoginConnectionBroken:
      return L"登陆失败，请检查您的网络";
    case kLoginReceiveError:
      return FormatWString(L"接收数据时出现网络异常! 错误代码: %d", wsaError);
    case kLoginBadCredentials:
      return L"你输入的用户名或者密码不正确";
    default:
      return std::wstring();
  }
}
