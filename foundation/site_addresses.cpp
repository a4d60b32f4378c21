#include "foundation/site_addresses.h"

#include <cstdlib>

#ifndef REV_SITE_HOST
#define REV_SITE_HOST "127.0.0.1:18081"
#endif
#ifndef REV_SITE_LOGIN
#define REV_SITE_LOGIN "127.0.0.1:8080"
#endif
#ifndef REV_SITE_DOMAIN_LABEL
#define REV_SITE_DOMAIN_LABEL "daruruvi"
#endif

namespace site {

namespace {

constexpr unsigned short kDefaultLoginPort = 8080;

std::string FromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

struct Addresses {
  std::string site = FromEnvironment("REVIVEROD_SITE", REV_SITE_HOST);
  std::string label = REV_SITE_DOMAIN_LABEL;
  std::string loginHost;
  unsigned short loginPort = kDefaultLoginPort;

  Addresses() {
    std::string login = FromEnvironment("REVIVEROD_LOGIN", REV_SITE_LOGIN);
    size_t colon = login.find(':');
    loginHost = login.substr(0, colon);
    if (colon != std::string::npos) {
      int port = std::atoi(login.c_str() + colon + 1);
      if (port > 0 && port < 65536) loginPort = static_cast<unsigned short>(port);
    }
  }
};

// Read once, on first use, and never changed afterwards, so any thread may ask.
const Addresses& Get() {
  static const Addresses addresses;
  return addresses;
}

}  // namespace

const std::string& DefaultApiHost() {
  return Get().site;
}
const std::string& WebServiceHost() {
  return Get().site;
}
const std::string& StaticFileHost() {
  return Get().site;
}
const std::string& HomeHost() {
  return Get().site;
}
const std::string& DomainLabel() {
  return Get().label;
}
const std::string& LoginHost() {
  return Get().loginHost;
}
unsigned short LoginPort() {
  return Get().loginPort;
}

}  // namespace site
