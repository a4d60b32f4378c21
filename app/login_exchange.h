// The socket login: one length-prefixed "logon" request carrying the user name and the
// password's MD5 digest, answered by a length-prefixed reply whose result sits at offset 36.
// All integers are 32-bit little-endian.
//
// The exchange runs on the login dialog's worker thread; every wait on the network is cut into
// short slices that watch a stop flag, so cancelling the dialog never waits for a whole
// time-out.
#pragma once

#include <atomic>
#include <string>

// What the worker reports to the dialog (WM_LOGIN_RESULT).
enum LoginCode {
  kLoginNoSocket = 0,
  kLoginConnectFailed = 1,
  kLoginConnectionBroken = 2,  // the request was not sent whole, or the reply was cut short
  kLoginSucceeded = 3,
  kLoginNoReply = 4,            // host unknown, or no reply in time
  kLoginReceiveError = 5,       // the length could not be read or makes no sense
  kLoginBadCredentials = 6,
};

struct LoginOutcome {
  int code = kLoginReceiveError;
  int wsaError = 0;   // the Winsock error of the failing call
  int value = 0;      // the second value of a successful reply
  bool stopped = false;  // the stop flag ended the exchange: nobody waits for a result
};

// The request bytes: 169 + n bytes for n bytes of UTF-8 user name.
std::string BuildLoginRequest(const std::string& userUtf8, const std::string& digest);

// The reply's length field must cover the result and the value, and stay small.
constexpr unsigned kLoginReplyMinLength = 44;
constexpr unsigned kLoginReplyMaxLength = 64 * 1024;

// The outcome of a whole reply (its length prefix included), read by ReadLoginReply.
LoginOutcome InterpretLoginReply(const std::string& reply);

struct LoginTimeouts {
  unsigned connectMs = 20000;
  unsigned replyMs = 15000;  // for the first byte of the reply, and again for the rest
};

// Connects to host:port (a name that begins with a letter is looked up, anything else read as a
// dotted address), sends the request and reads the reply. Returns as soon as stop is set.
LoginOutcome RunLoginExchange(const std::string& host, unsigned short port,
                              const std::string& request, const std::atomic<bool>& stop,
                              const LoginTimeouts& timeouts = LoginTimeouts());

// The text a failure shows ("登录失败" box); empty for success.
std::wstring LoginFailureText(int code, int wsaError);
