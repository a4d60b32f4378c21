// The API host when the settings name none, also when the settings file cannot be written.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/config.h"
#include "foundation/site_addresses.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "webdata/api_call.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));

}  // namespace

TEST(ApiHosts, DefaultHostStillServesWhenTheSettingsCannotBeSaved) {
  // A folder where the settings' side file would go: every save fails.
  const std::wstring blocker = g_folder->path() + L"RevIverod.cfg.tmp";
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  GetConfig()->ApiURL = L"";
  EXPECT_EQ(std::vector<std::string>{site::DefaultApiHost()}, web_api::ApiHosts());
  RemoveDirectoryW(blocker.c_str());

  const std::string log = g_folder->MainLogText();
  EXPECT_NE(std::string::npos,
            log.find("ApiURL " + site::DefaultApiHost() + ": settings not saved"));
}
