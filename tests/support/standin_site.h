// Puts the whole site on the stand-in for a test executable: the hosts that the build names
// (site_addresses.h) move to the stand-in through REVIVEROD_SITE and REVIVEROD_LOGIN, and
// Winsock is started as the program's start-up does. Register it before anything can read the
// site's addresses:
//   static auto* const kSite = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class StandinSite : public ::testing::Environment {
 public:
  StandinSite();
  ~StandinSite() override;
  // "127.0.0.1:N" of the stand-in; empty when the ports file could not be read.
  const std::string& host() const { return m_host; }

 private:
  std::string m_host;
};

}  // namespace testsupport
