// The process-wide logger and settings: created once even when threads race for them, and the
// settings that other code saves are the ones the shutdown save writes.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "foundation/config.h"
#include "foundation/logger.h"
#include "support/gtest_cstring.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

namespace {

testsupport::TempProgramFolder* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));


}  // namespace

TEST(Singletons, RacingThreadsShareOneLoggerAndOneConfig) {
  std::atomic<bool> go{false};
  std::vector<em_utility::logger*> loggers(8);
  std::vector<CConfig*> configs(8);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] {
      while (!go) std::this_thread::yield();
      loggers[i] = GetLogger();
      configs[i] = GetConfig();
    });
  }
  go = true;
  for (auto& t : threads) t.join();
  EXPECT_EQ(1u, std::set<em_utility::logger*>(loggers.begin(), loggers.end()).size());
  EXPECT_EQ(1u, std::set<CConfig*>(configs.begin(), configs.end()).size());

  GetLogger()->flush();
  std::string log = testsupport::ReadFileBytes(g_folder->path() + L"log\\main.log.txt.1.txt");
  EXPECT_EQ(1u, testsupport::CountOccurrences(log, "normal : application run!\r\n"));
  EXPECT_EQ(CString(g_folder->path().c_str()), GetConfig()->GetAppDir());
}

TEST(Singletons, ASavedLocalConfigIsWhatTheSharedOneSavesLater) {
  CConfig* shared = GetConfig();
  shared->m_bAutoLogin = 1;  // changed, not saved yet
  {
    CConfig local;  // as the login and the settings dialog do
    local.m_strEmail = L"remembered";
    local.SuccessLoginSum = 3;
    ASSERT_TRUE(local.Save());
  }
  EXPECT_EQ(L"remembered", shared->m_strEmail);
  EXPECT_EQ(1, shared->m_bAutoLogin);  // the local save changed only what it changed
  ASSERT_TRUE(shared->Save());  // the shutdown save
  CConfig reread;
  EXPECT_EQ(L"remembered", reread.m_strEmail);
  EXPECT_EQ(3, reread.SuccessLoginSum);
  EXPECT_EQ(1, reread.m_bAutoLogin);
}
