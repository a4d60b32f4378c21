#include "support/standin_site.h"

#include <winsock2.h>

#include <cstdlib>
#include <string>

#include "support/standin_client.h"

namespace testsupport {

// Runs at static initialisation, before any test can make the site's addresses be read.
StandinSite::StandinSite() {
  StandinClient standin;
  if (standin.ok()) {
    m_host = standin.Host();
    _putenv(("REVIVEROD_SITE=" + m_host).c_str());
    _putenv(("REVIVEROD_LOGIN=127.0.0.1:" + std::to_string(standin.loginPort())).c_str());
  }
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
}

StandinSite::~StandinSite() {
  WSACleanup();
}

}  // namespace testsupport
