#include "support/standin_client.h"

#include <winsock2.h>
#include <windows.h>

#include <boost/property_tree/json_parser.hpp>

#include <sstream>

#include "support/temp_dir.h"

namespace testsupport {

namespace {

const DWORD kWaitMs = 10000;

class WinsockUser {
 public:
  WinsockUser() { m_ok = WSAStartup(MAKEWORD(2, 2), &m_data) == 0; }
  ~WinsockUser() {
    if (m_ok) WSACleanup();
  }
  bool ok() const { return m_ok; }

 private:
  WSADATA m_data;
  bool m_ok = false;
};

class Socket {
 public:
  Socket() : m_s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
  ~Socket() {
    if (m_s != INVALID_SOCKET) closesocket(m_s);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  SOCKET get() const { return m_s; }

 private:
  SOCKET m_s;
};

// The ports file as Windows names it: Wine shows the Linux root as drive Z:.
std::wstring WindowsPath(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  std::wstring out = L"Z:" + path;
  for (wchar_t& c : out) {
    if (c == L'/') c = L'\\';
  }
  return out;
}

}  // namespace

bool RawExchange(int port, const std::string& request, std::string* reply) {
  reply->clear();
  WinsockUser winsock;
  if (!winsock.ok()) return false;
  Socket s;
  if (s.get() == INVALID_SOCKET) return false;
  DWORD wait = kWaitMs;
  setsockopt(s.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
  setsockopt(s.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
  size_t sent = 0;
  while (sent < request.size()) {
    int n = send(s.get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  char buf[16384];
  for (;;) {
    int n = recv(s.get(), buf, sizeof buf, 0);
    if (n == 0) return true;
    if (n < 0) return false;
    reply->append(buf, static_cast<size_t>(n));
  }
}

// One HTTP/1.1 request in origin form with "Connection: close"; the reply is read until the
// server closes and split into status, head and body (the body as it came on the wire).
static bool HttpExchange(int port, const std::string& method, const std::string& target,
                         const std::string& body, HttpReply* reply) {
  std::ostringstream request;
  request << method << ' ' << target << " HTTP/1.1\r\nHost: 127.0.0.1:" << port
          << "\r\nContent-Length: " << body.size() << "\r\nConnection: close\r\n\r\n"
          << body;
  std::string data;
  *reply = HttpReply();
  if (!RawExchange(port, request.str(), &data)) return false;
  size_t end = data.find("\r\n\r\n");
  if (data.compare(0, 9, "HTTP/1.1 ") != 0 || end == std::string::npos) return false;
  reply->status = atoi(data.c_str() + 9);
  reply->head = data.substr(0, end + 2);
  reply->body = data.substr(end + 4);
  return true;
}

StandinClient::StandinClient() {
  wchar_t path[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"REV_STANDIN_PORTS", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    m_error = "REV_STANDIN_PORTS is not set: the test must require the fixture \"standin\"";
    return;
  }
  std::string text = ReadFileBytes(WindowsPath(path));
  try {
    std::istringstream in(text);
    boost::property_tree::ptree ports;
    boost::property_tree::read_json(in, ports);
    m_http = ports.get<int>("http");
    m_login = ports.get<int>("login");
  } catch (const std::exception& e) {
    m_http = m_login = 0;
    m_error = std::string("cannot read the stand-in's ports file: ") + e.what();
  }
}

std::string StandinClient::Host() const { return "127.0.0.1:" + std::to_string(m_http); }

std::string StandinClient::Url(const std::string& path) const { return "http://" + Host() + path; }

bool StandinClient::Control(const std::string& method, const std::string& name,
                            const std::string& body, HttpReply* reply) {
  return HttpExchange(m_http, method, "/_control/" + name, body, reply) && reply->status == 200;
}

bool StandinClient::Reset() {
  HttpReply reply;
  return Control("POST", "reset", std::string(), &reply);
}

bool StandinClient::SetScenario(const std::string& json) {
  HttpReply reply;
  return Control("POST", "scenario", json, &reply);
}

boost::property_tree::ptree StandinClient::Log(const std::string& pathPrefix) {
  boost::property_tree::ptree log;
  HttpReply reply;
  if (!Control("GET", "log?path=" + pathPrefix, std::string(), &reply)) return log;
  try {
    std::istringstream in(reply.body);
    boost::property_tree::read_json(in, log);
  } catch (const std::exception&) {
    log.clear();
  }
  return log;
}

std::string StandinClient::RawRequest(int seq) {
  HttpReply reply;
  return Control("GET", "raw/http/" + std::to_string(seq), std::string(), &reply) ? reply.body
                                                                                  : std::string();
}

std::string StandinClient::RawLogin(int seq) {
  HttpReply reply;
  return Control("GET", "raw/login/" + std::to_string(seq), std::string(), &reply)
             ? reply.body
             : std::string();
}

bool StandinClient::Get(const std::string& path, HttpReply* reply) {
  return HttpExchange(m_http, "GET", path, std::string(), reply);
}

}  // namespace testsupport
