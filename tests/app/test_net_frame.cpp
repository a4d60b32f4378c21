// The main frame against the stand-in site: the update check by hand and automatic, with the
// update dialog answered as a user would.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>

#include "app/main_frame.h"
#include "foundation/config.h"
#include "resources/app_resource.h"
#include "support/child_process.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

std::string UpdateXml(const char* version) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?><update><version>") + version +
         "</version><url>http://127.0.0.1/setup.exe</url><tip>修复问题#新增功能</tip></update>";
}

class FrameOnSiteTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GetConfig()->auto_check_update = 0;  // the frame's own hourly check stays out of the way
    CMainFrame* frame = CMainFrame::GetInstance();
    if (!frame->IsWindow()) {
      frame->Create(nullptr, CWindow::rcDefault, nullptr, 0x06CF0000,
                    WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
    }
  }
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
  }
  void ServeUpdate(const std::string& xml) {
    std::string body;
    for (char c : xml) body += c == '"' ? std::string("\\\"") : std::string(1, c);
    ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/daruruvidev/update.xml", "body": ")" +
                                    body + "\"}}"));
  }
  // Answers the update dialog (from another thread, as the check waits in it) with OK, unless
  // stop comes first; its tip.
  std::future<std::wstring> AnswerUpdateDialog(const std::atomic<bool>& stop) {
    return std::async(std::launch::async, [&stop] {
      HWND dialog = nullptr;
      testsupport::WaitUntil([&] {
        dialog = testsupport::FindProcessWindow(GetCurrentProcessId(), L"#32770", L"发现新版本",
                                                false);
        return dialog || stop;
      });
      if (!dialog) return std::wstring(L"(no dialog)");
      wchar_t tip[128] = {};
      GetDlgItemTextW(dialog, IDC_UPDATE_TIP, tip, 128);
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      return std::wstring(tip);
    });
  }
  testsupport::StandinClient standin;
  CMainFrame* frame = CMainFrame::GetInstance();
};

TEST_F(FrameOnSiteTest, AManualCheckTellsOfTheSameVersionOrABusyNetwork) {
  testsupport::MessageBoxRecorder boxes(IDOK);
  ServeUpdate(UpdateXml("1.0.15.17"));
  frame->CheckUpdate(true);
  EXPECT_EQ(L"您当前使用的为最新版本！", boxes.last().text);
  EXPECT_EQ(L"检查更新", boxes.last().caption);

  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/daruruvidev/", "status": 404}})"));
  frame->CheckUpdate(true);
  EXPECT_EQ(L"网络忙，请稍后重试！", boxes.last().text);
  EXPECT_EQ(2u, boxes.count());
}

TEST_F(FrameOnSiteTest, AFailedDownloadNeverReadsTheFileAnEarlierCheckLeft) {
  GetConfig()->auto_check_update = 1;
  ASSERT_TRUE(testsupport::WriteFileBytes(GetConfig()->GetUpdateXmlPath().GetString(),
                                          UpdateXml("9.9.9.9")));
  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/daruruvidev/", "status": 404}})"));
  testsupport::MessageBoxRecorder boxes(IDOK);
  std::atomic<bool> done{false};
  auto answer = AnswerUpdateDialog(done);
  frame->CheckUpdate(false);
  done = true;
  GetConfig()->auto_check_update = 0;
  EXPECT_EQ(L"(no dialog)", answer.get());  // no newer version was taken from the old file
  EXPECT_TRUE(frame->IsKeepChecking());
  EXPECT_EQ(0u, boxes.count());
}

TEST_F(FrameOnSiteTest, ANewerVersionShowsTheDialogOnceAndEndsTheAutomaticChecks) {
  GetConfig()->auto_check_update = 1;
  ServeUpdate(UpdateXml("1.0.16.0"));
  std::atomic<bool> never{false};
  auto answer = AnswerUpdateDialog(never);
  frame->CheckUpdate(false);
  GetConfig()->auto_check_update = 0;
  EXPECT_EQ(L"修复问题\r\n新增功能", answer.get());
  EXPECT_FALSE(frame->IsKeepChecking());
}

}  // namespace
