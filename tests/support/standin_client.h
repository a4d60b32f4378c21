// Test-side client of the stand-in site: finds the background stand-in that the ctest fixture
// "standin" started, chooses its scenarios, resets it and reads what the program sent to it.
// Plain Winsock to 127.0.0.1 with bounded waits.
#pragma once

#include <boost/property_tree/ptree.hpp>

#include <string>

namespace testsupport {

struct HttpReply {
  int status = 0;
  std::string head;  // status line and header lines, each ended by CR LF
  std::string body;
};

// Connects to 127.0.0.1:port, sends the bytes, and reads until the peer closes (at most
// 10 seconds per wait). False when the connection could not be made or broke.
bool RawExchange(int port, const std::string& request, std::string* reply);

class StandinClient {
 public:
  // Reads the ports file named by the environment variable REV_STANDIN_PORTS (set for tests
  // that require the fixture "standin").
  StandinClient();

  bool ok() const { return m_http > 0; }
  const std::string& error() const { return m_error; }
  int loginPort() const { return m_login; }
  // "127.0.0.1:N" of the HTTP port, as the program's host settings name it.
  std::string Host() const;
  // "http://127.0.0.1:N" + path.
  std::string Url(const std::string& path) const;

  // Forgets scenarios, the request log, uploads and issued tokens.
  bool Reset();
  // Replaces the scenario rules: JSON text such as {"http": {"framing": "chunked"}}.
  bool SetScenario(const std::string& json);
  // The request log {"requests": [...], "logins": [...]}, requests filtered by path prefix.
  // An empty tree when it cannot be read.
  boost::property_tree::ptree Log(const std::string& pathPrefix = std::string());
  // Exact bytes of the n-th request (counted from 1) or login since the last reset.
  std::string RawRequest(int seq);
  std::string RawLogin(int seq);
  bool Get(const std::string& path, HttpReply* reply);

 private:
  bool Control(const std::string& method, const std::string& name, const std::string& body,
               HttpReply* reply);

  int m_http = 0;
  int m_login = 0;
  std::string m_error;
};

}  // namespace testsupport
